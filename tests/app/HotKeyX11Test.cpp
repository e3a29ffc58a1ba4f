#include "CImgJoinEngine.h"
#include "CMainFrame.h"
#include "GlobalHotKey.h"
#include "GlobalHotKeyX11.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>

namespace {

// A real X server of our own, with a small window manager so that windows
// can be minimised, started before the application connects to it.
class XSession
{
public:
    ~XSession()
    {
        for (QProcess* process : { &m_windowManager, &m_server }) {
            if (process->state() != QProcess::NotRunning) {
                process->terminate();
                if (!process->waitForFinished(3000))
                    process->kill();
                process->waitForFinished(1000);
            }
        }
    }

    // Starts the server and points DISPLAY at it; says why not otherwise.
    QString start()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
            return QStringLiteral("Xvfb is not installed");
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            return QStringLiteral("xdotool is not installed");
        // The server picks a free display and writes its number to us.
        m_server.start(QStringLiteral("Xvfb"),
                       { QStringLiteral("-displayfd"), QStringLiteral("1"),
                         QStringLiteral("-screen"), QStringLiteral("0"),
                         QStringLiteral("640x480x24"), QStringLiteral("-nolisten"),
                         QStringLiteral("tcp") });
        if (!m_server.waitForStarted(5000))
            return QStringLiteral("Xvfb did not start");
        QByteArray number;
        while (!number.contains('\n') && m_server.waitForReadyRead(10000))
            number += m_server.readAllStandardOutput();
        if (number.trimmed().isEmpty())
            return QStringLiteral("Xvfb gave no display");
        m_display = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
        qputenv("DISPLAY", m_display.toLatin1());
        if (!QStandardPaths::findExecutable(QStringLiteral("openbox")).isEmpty()) {
            m_windowManager.start(QStringLiteral("openbox"), { QStringLiteral("--sm-disable") });
            m_windowManager.waitForStarted(5000);
            QThread::msleep(700);
        }
        return {};
    }

    bool hasWindowManager() const { return m_windowManager.state() == QProcess::Running; }

private:
    QProcess m_server;
    QProcess m_windowManager;
    QString m_display;
};

QString g_skipReason;

bool xdotool(const QStringList& arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

// The desktop below the program: left half red, right half blue.
class Backdrop : public QWidget
{
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(QRect(0, 0, width() / 2, height()), QColor(200, 0, 0));
        painter.fillRect(QRect(width() / 2, 0, width() - width() / 2, height()), QColor(0, 0, 200));
    }
};

} // namespace

class HotKeyX11Test : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void keyWorksWhateverTheLockKeys();
    void minimisedWindowCapturesTheScreen();
    void keyOverTheWindowDoesNothing();

private:
    std::unique_ptr<QTemporaryDir> m_dataDir;
    std::unique_ptr<CImgJoinEngine> m_engine;
};

void HotKeyX11Test::init()
{
    if (!g_skipReason.isEmpty())
        QSKIP(qPrintable(g_skipReason));
    m_dataDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dataDir->isValid());
    m_engine = std::make_unique<CImgJoinEngine>();
    m_engine->SetDataDir(m_dataDir->path());
}

void HotKeyX11Test::cleanup()
{
    m_engine.reset();
    m_dataDir.reset();
}

void HotKeyX11Test::keyWorksWhateverTheLockKeys()
{
    GlobalHotKeyX11 key;
    QSignalSpy pressed(&key, &GlobalHotKey::activated);
    key.registerKey(',');
    QCOMPARE(key.state(), GlobalHotKey::State::Registered);
    QVERIFY(xdotool({ QStringLiteral("key"), QStringLiteral("ctrl+Print") }));
    QTRY_COMPARE(pressed.size(), 1);
    // Print alone, or with Shift as well, is not the key.
    QVERIFY(xdotool({ QStringLiteral("key"), QStringLiteral("Print") }));
    QVERIFY(xdotool({ QStringLiteral("key"), QStringLiteral("ctrl+shift+Print") }));
    QTest::qWait(200);
    QCOMPARE(pressed.size(), 1);

    // Another letter replaces the grab; Caps Lock and Num Lock do not matter.
    key.registerKey('k');
    QCOMPARE(key.state(), GlobalHotKey::State::Registered);
    for (const char* lock : { "Caps_Lock", "Num_Lock" }) {
        QVERIFY(xdotool({ QStringLiteral("key"), QString::fromLatin1(lock) }));
        QVERIFY(xdotool({ QStringLiteral("key"), QStringLiteral("ctrl+k") }));
    }
    QTRY_COMPARE(pressed.size(), 3);
    for (const char* lock : { "Caps_Lock", "Num_Lock" })
        QVERIFY(xdotool({ QStringLiteral("key"), QString::fromLatin1(lock) }));
    QVERIFY(xdotool({ QStringLiteral("key"), QStringLiteral("ctrl+Print") }));
    QTest::qWait(200);
    QCOMPARE(pressed.size(), 3);
}

void HotKeyX11Test::minimisedWindowCapturesTheScreen()
{
    Backdrop backdrop;
    backdrop.setGeometry(QGuiApplication::primaryScreen()->geometry());
    backdrop.show();
    QVERIFY(QTest::qWaitForWindowExposed(&backdrop));

    CMainFrame frame(*m_engine);
    QCOMPARE(frame.hotKey()->state(), GlobalHotKey::State::Registered);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    frame.showMinimized();
    QTRY_VERIFY(frame.isMinimized());
    QTRY_VERIFY(!frame.isActiveWindow());
    // The window manager has taken the window off the screen.
    QTest::qWait(300);
    QVERIFY(xdotool({ QStringLiteral("mousemove"), QStringLiteral("100"), QStringLiteral("100") }));
    QVERIFY(xdotool({ QStringLiteral("key"), QStringLiteral("ctrl+g") }));

    QTRY_COMPARE(m_engine->GetPictureCount(), 1);
    const QString file = m_engine->picture(0).file;
    QCOMPARE(QFileInfo(file).fileName(), QStringLiteral("hotCaptureScrn_gcc345.bmp"));
    const QImage capture(file);
    QCOMPARE(capture.size(), QSize(640, 480));
    // What was on the screen: the backdrop, not the program's window...
    QCOMPARE(capture.pixelColor(300, 400), QColor(200, 0, 0));
    QCOMPARE(capture.pixelColor(340, 50), QColor(0, 0, 200));
    QCOMPARE(capture.pixelColor(20, 300), QColor(200, 0, 0));
    // ...with the mouse cursor drawn around its hot spot.
    bool cursorDrawn = false;
    for (int y = 95; y < 120 && !cursorDrawn; ++y) {
        for (int x = 95; x < 120 && !cursorDrawn; ++x)
            cursorDrawn = capture.pixelColor(x, y) != QColor(200, 0, 0);
    }
    QVERIFY(cursorDrawn);
    // The window comes back.
    QTRY_VERIFY(!frame.isMinimized());
    QTRY_VERIFY(frame.isVisible());
}

void HotKeyX11Test::keyOverTheWindowDoesNothing()
{
    CMainFrame frame(*m_engine);
    frame.show();
    frame.activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QCOMPARE(frame.hotKey()->state(), GlobalHotKey::State::Registered);
    QVERIFY(xdotool({ QStringLiteral("key"), QStringLiteral("ctrl+g") }));
    QTest::qWait(500);
    QCOMPARE(m_engine->GetPictureCount(), 0);
    QVERIFY(!frame.capturing());
    QVERIFY(!QFileInfo::exists(
        QDir(m_engine->tempDir()).filePath(QStringLiteral("hotCaptureScrn_gcc345.bmp"))));
}

int main(int argc, char** argv)
{
    XSession session;
    g_skipReason = session.start();
    qputenv("QT_QPA_PLATFORM", g_skipReason.isEmpty() ? "xcb" : "offscreen");
    QApplication app(argc, argv);
    HotKeyX11Test test;
    return QTest::qExec(&test, argc, argv);
}

#include "HotKeyX11Test.moc"
