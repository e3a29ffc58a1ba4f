#include "GlobalHotKeyPortal.h"
#include "PortalRequest.h"
#include "ScreenGrabberPortal.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

namespace {

const QString ShortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString SessionPath = QStringLiteral("/org/freedesktop/portal/desktop/session/1_1/s1");

QVariantMap optionsOf(const QDBusMessage& message)
{
    return qdbus_cast<QVariantMap>(message.arguments().constLast());
}

// A desktop portal that answers as the real one does: each call returns the
// request object named by our token, whose Response signal follows.
class FakePortal : public QDBusVirtualObject
{
public:
    explicit FakePortal(const QDBusConnection& bus)
        : m_bus(bus)
    {
    }

    bool offersShortcuts = true;
    uint response = 0;
    QString screenshotFile;
    QList<QDBusMessage> calls;
    QString boundId;
    QVariantMap boundProperties;

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        calls << message;
        const QString member = message.member();
        if (member == QLatin1String("Get")) {
            if (offersShortcuts && message.arguments().value(0).toString() == ShortcutsInterface)
                connection.send(message.createReply(QVariant::fromValue(QDBusVariant(1u))));
            else
                connection.send(message.createErrorReply(
                    QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                    QStringLiteral("No such interface")));
            return true;
        }
        QVariantMap results;
        if (member == QLatin1String("Screenshot")) {
            results.insert(QStringLiteral("uri"), QUrl::fromLocalFile(screenshotFile).toString());
        } else if (member == QLatin1String("CreateSession")) {
            results.insert(QStringLiteral("session_handle"), SessionPath);
        } else if (member == QLatin1String("BindShortcuts")) {
            const auto shortcuts = message.arguments().value(1).value<QDBusArgument>();
            shortcuts.beginArray();
            while (!shortcuts.atEnd()) {
                shortcuts.beginStructure();
                shortcuts >> boundId >> boundProperties;
                shortcuts.endStructure();
            }
            shortcuts.endArray();
        } else {
            return false;
        }
        QString sender = message.service();
        sender.remove(0, 1).replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString request =
            QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2")
                .arg(sender, optionsOf(message).value(QStringLiteral("handle_token")).toString());
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage answer = QDBusMessage::createSignal(
            request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
        answer << response << results;
        connection.send(answer);
        return true;
    }

    void activate(const QString& session, const QString& shortcut)
    {
        QDBusMessage signal = QDBusMessage::createSignal(PortalRequest::Path, ShortcutsInterface,
                                                         QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(session)) << shortcut << qulonglong(1)
               << QVariantMap();
        m_bus.send(signal);
    }

private:
    QDBusConnection m_bus;
};

} // namespace

// The exchanges with the desktop portal, against a fake portal on a private
// session bus that the test starts; no desktop is needed.
class PortalTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void screenshotIsReadFromTheFileThePortalNames();
    void hotKeyIsBoundAndHearsOnlyItsOwnActivation();
    void withoutGlobalShortcutsTheKeyIsUnavailable();
    void refusedShortcutCountsAsTaken();

private:
    QProcess m_daemon;
    QString m_address;
    int m_connections = 0;
    std::unique_ptr<QDBusConnection> m_client;
    std::unique_ptr<QDBusConnection> m_portalBus;
    std::unique_ptr<FakePortal> m_portal;
};

void PortalTest::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
        QSKIP("dbus-daemon is not installed");
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   { QStringLiteral("--session"), QStringLiteral("--nofork"),
                     QStringLiteral("--print-address=1") });
    QVERIFY(m_daemon.waitForStarted(5000));
    QByteArray line;
    while (!line.contains('\n') && m_daemon.waitForReadyRead(10000))
        line += m_daemon.readAllStandardOutput();
    m_address = QString::fromLatin1(line.trimmed());
    QVERIFY(!m_address.isEmpty());
}

void PortalTest::init()
{
    ++m_connections;
    const QString suffix = QString::number(m_connections);
    m_client = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(m_address, QStringLiteral("client") + suffix));
    m_portalBus = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(m_address, QStringLiteral("portal") + suffix));
    QVERIFY(m_client->isConnected() && m_portalBus->isConnected());
    m_portal = std::make_unique<FakePortal>(*m_portalBus);
    QVERIFY(m_portalBus->registerVirtualObject(PortalRequest::Path, m_portal.get(),
                                               QDBusConnection::SubPath));
    QVERIFY(m_portalBus->registerService(PortalRequest::Service));
}

void PortalTest::cleanup()
{
    if (m_portalBus) {
        m_portalBus->unregisterService(PortalRequest::Service);
        m_portalBus->unregisterObject(PortalRequest::Path, QDBusConnection::UnregisterTree);
    }
    m_portal.reset();
    m_client.reset();
    m_portalBus.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("client") + QString::number(m_connections));
    QDBusConnection::disconnectFromBus(QStringLiteral("portal") + QString::number(m_connections));
}

void PortalTest::cleanupTestCase()
{
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(3000))
            m_daemon.kill();
    }
}

void PortalTest::screenshotIsReadFromTheFileThePortalNames()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QImage shot(64, 48, QImage::Format_RGB32);
    shot.fill(QColor(10, 200, 30));
    m_portal->screenshotFile = QDir(dir.path()).filePath(QStringLiteral("Screenshot.png"));
    QVERIFY(shot.save(m_portal->screenshotFile));

    ScreenGrabberPortal grabber(*m_client);
    QSignalSpy grabbed(&grabber, &ScreenGrabber::grabbed);
    QSignalSpy failed(&grabber, &ScreenGrabber::failed);
    grabber.grab();
    QTRY_COMPARE(grabbed.size(), 1);
    QCOMPARE(failed.size(), 0);
    const auto screen = grabbed.at(0).at(0).value<QImage>();
    QCOMPARE(screen.size(), shot.size());
    QCOMPARE(screen.pixelColor(5, 5), QColor(10, 200, 30));
    // Taken at once, without a dialog for the user.
    const QVariantMap options = optionsOf(m_portal->calls.constLast());
    QCOMPARE(options.value(QStringLiteral("interactive")).toBool(), false);

    // The user cancelled, or the file cannot be read: a reason, no picture.
    m_portal->response = 1;
    grabber.grab();
    QTRY_COMPARE(failed.size(), 1);
    m_portal->response = 0;
    m_portal->screenshotFile = QDir(dir.path()).filePath(QStringLiteral("missing.png"));
    grabber.grab();
    QTRY_COMPARE(failed.size(), 2);
    QCOMPARE(grabbed.size(), 1);
    QVERIFY(!failed.at(1).at(0).toString().isEmpty());
}

void PortalTest::hotKeyIsBoundAndHearsOnlyItsOwnActivation()
{
    GlobalHotKeyPortal key(*m_client);
    QSignalSpy pressed(&key, &GlobalHotKey::activated);
    key.registerKey('g');
    QCOMPARE(key.state(), GlobalHotKey::State::Pending);
    QTRY_COMPARE(key.state(), GlobalHotKey::State::Registered);
    QCOMPARE(m_portal->boundId, GlobalHotKeyPortal::ShortcutId);
    QCOMPARE(m_portal->boundProperties.value(QStringLiteral("preferred_trigger")).toString(),
             QStringLiteral("CTRL+g"));
    QCOMPARE(GlobalHotKeyPortal::triggerText(','), QStringLiteral("CTRL+Print"));

    m_portal->activate(QStringLiteral("/org/freedesktop/portal/desktop/session/1_1/other"),
                       GlobalHotKeyPortal::ShortcutId);
    m_portal->activate(SessionPath, QStringLiteral("something-else"));
    m_portal->activate(SessionPath, GlobalHotKeyPortal::ShortcutId);
    QTRY_COMPARE(pressed.size(), 1);
    QTest::qWait(100);
    QCOMPARE(pressed.size(), 1);
}

void PortalTest::withoutGlobalShortcutsTheKeyIsUnavailable()
{
    m_portal->offersShortcuts = false;
    GlobalHotKeyPortal key(*m_client);
    key.registerKey('g');
    QTRY_COMPARE(key.state(), GlobalHotKey::State::Unavailable);

    // No portal on the bus at all: the same, and the grab says why.
    QVERIFY(m_portalBus->unregisterService(PortalRequest::Service));
    GlobalHotKeyPortal lonely(*m_client);
    lonely.registerKey('g');
    QTRY_COMPARE(lonely.state(), GlobalHotKey::State::Unavailable);
    ScreenGrabberPortal grabber(*m_client);
    QSignalSpy failed(&grabber, &ScreenGrabber::failed);
    grabber.grab();
    QTRY_COMPARE(failed.size(), 1);
}

void PortalTest::refusedShortcutCountsAsTaken()
{
    m_portal->response = 2;
    GlobalHotKeyPortal key(*m_client);
    key.registerKey('q');
    QTRY_COMPARE(key.state(), GlobalHotKey::State::Taken);
    // A letter the program does not offer asks nothing.
    const qsizetype calls = m_portal->calls.size();
    GlobalHotKeyPortal other(*m_client);
    other.registerKey('7');
    QCOMPARE(other.state(), GlobalHotKey::State::Unregistered);
    QCOMPARE(m_portal->calls.size(), calls);
}

QTEST_GUILESS_MAIN(PortalTest)
#include "PortalTest.moc"
