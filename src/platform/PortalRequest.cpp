#include "PortalRequest.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

const QString PortalRequest::Service = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalRequest::Path = QStringLiteral("/org/freedesktop/portal/desktop");

namespace {

const QString RequestInterface = QStringLiteral("org.freedesktop.portal.Request");

} // namespace

PortalRequest::PortalRequest(const QDBusConnection& bus, QObject* parent)
    : QObject(parent)
    , m_bus(bus)
{
}

QString PortalRequest::newToken()
{
    static int counter = 0;
    return QStringLiteral("qznImgSplitJoint%1").arg(++counter);
}

void PortalRequest::listen(const QString& path)
{
    if (!m_path.isEmpty())
        m_bus.disconnect(Service, m_path, RequestInterface, QStringLiteral("Response"), this,
                         SLOT(onResponse(uint, QVariantMap)));
    m_path = path;
    m_bus.connect(Service, m_path, RequestInterface, QStringLiteral("Response"), this,
                  SLOT(onResponse(uint, QVariantMap)));
}

void PortalRequest::start(const QString& interface, const QString& method,
                          const QVariantList& arguments, QVariantMap options)
{
    const QString token = newToken();
    options.insert(QStringLiteral("handle_token"), token);
    // ":1.42" answers on .../request/1_42/<token>.
    QString sender = m_bus.baseService();
    sender.remove(0, 1).replace(QLatin1Char('.'), QLatin1Char('_'));
    listen(QStringLiteral("%1/request/%2/%3").arg(Path, sender, token));

    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, interface, method);
    call.setArguments(QVariantList(arguments) << options);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                call->deleteLater();
                const QDBusPendingReply<QDBusObjectPath> reply = *call;
                if (reply.isError()) {
                    if (!m_done) {
                        m_done = true;
                        emit failed(reply.error().message());
                    }
                    return;
                }
                // Older portals choose the path themselves.
                if (reply.value().path() != m_path && !m_done)
                    listen(reply.value().path());
            });
}

void PortalRequest::onResponse(uint response, const QVariantMap& results)
{
    if (m_done)
        return;
    m_done = true;
    emit finished(response, results);
}
