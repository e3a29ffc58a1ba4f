#include "GlobalHotKeyPortal.h"

#include "PortalRequest.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>

// One shortcut as the portal takes it: its id and its properties, (sa{sv}).
struct PortalShortcut
{
    QString id;
    QVariantMap properties;
};
Q_DECLARE_METATYPE(PortalShortcut)

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

namespace {

const QString ShortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

} // namespace

const QString GlobalHotKeyPortal::ShortcutId = QStringLiteral("capture-screen");

GlobalHotKeyPortal::GlobalHotKeyPortal(const QDBusConnection& bus, QObject* parent)
    : GlobalHotKey(parent)
    , m_bus(bus)
{
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
}

QString GlobalHotKeyPortal::triggerText(char letter)
{
    if (letter == ',')
        return QStringLiteral("CTRL+Print");
    return QStringLiteral("CTRL+") + QChar::fromLatin1(letter).toLower();
}

void GlobalHotKeyPortal::registerKey(char letter)
{
    if (!isValidLetter(letter)) {
        setState(State::Unregistered);
        return;
    }
    if (!m_bus.isConnected()) {
        setState(State::Unavailable);
        return;
    }
    m_letter = letter;
    setState(State::Pending);
    // The interface's version tells whether the portal offers it at all.
    QDBusMessage ask = QDBusMessage::createMethodCall(
        PortalRequest::Service, PortalRequest::Path,
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    ask.setArguments({ ShortcutsInterface, QStringLiteral("version") });
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(ask), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                if (call->isError())
                    setState(State::Unavailable);
                else
                    createSession();
            });
}

void GlobalHotKeyPortal::createSession()
{
    auto* request = new PortalRequest(m_bus, this);
    connect(request, &PortalRequest::failed, this, [this, request] {
        request->deleteLater();
        setState(State::Unavailable);
    });
    connect(request, &PortalRequest::finished, this,
            [this, request](uint response, const QVariantMap& results) {
                request->deleteLater();
                const QVariant handle = results.value(QStringLiteral("session_handle"));
                const QString session = handle.canConvert<QDBusObjectPath>()
                                            ? handle.value<QDBusObjectPath>().path()
                                            : handle.toString();
                if (response != 0 || session.isEmpty()) {
                    setState(State::Taken);
                    return;
                }
                bindShortcut(session);
            });
    request->start(ShortcutsInterface, QStringLiteral("CreateSession"), {},
                   { { QStringLiteral("session_handle_token"), PortalRequest::newToken() } });
}

void GlobalHotKeyPortal::bindShortcut(const QString& session)
{
    m_session = session;
    m_bus.connect(PortalRequest::Service, PortalRequest::Path, ShortcutsInterface,
                  QStringLiteral("Activated"), this,
                  SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    const QList<PortalShortcut> shortcuts = {
        { ShortcutId,
          { { QStringLiteral("description"), tr("截取屏幕") },
            { QStringLiteral("preferred_trigger"), triggerText(m_letter) } } }
    };
    auto* request = new PortalRequest(m_bus, this);
    connect(request, &PortalRequest::failed, this, [this, request] {
        request->deleteLater();
        setState(State::Taken);
    });
    connect(request, &PortalRequest::finished, this, [this, request](uint response) {
        request->deleteLater();
        setState(response == 0 ? State::Registered : State::Taken);
    });
    request->start(ShortcutsInterface, QStringLiteral("BindShortcuts"),
                   { QVariant::fromValue(QDBusObjectPath(session)), QVariant::fromValue(shortcuts),
                     QString() },
                   {});
}

void GlobalHotKeyPortal::onActivated(const QDBusObjectPath& session, const QString& shortcut,
                                     qulonglong /*timestamp*/, const QVariantMap& /*options*/)
{
    if (state() == State::Registered && session.path() == m_session && shortcut == ShortcutId)
        emit activated();
}
