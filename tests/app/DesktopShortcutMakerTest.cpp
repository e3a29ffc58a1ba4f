#include "DesktopShortcutMaker.h"
#include "CImgJoinEngine.h"
#include "CMainFrame.h"
#include "CQznImgEdtJoinView.h"
#include "CViewCommands.h"
#include "CommandIds.h"
#include "UserPrompts.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QString valueOf(const QString& path, const QString& key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    for (const QString& line : lines) {
        if (line.startsWith(key + '='))
            return line.mid(key.size() + 1);
    }
    return {};
}

} // namespace

// The desktop launcher command of the help menu, with the user's folders in
// a temporary home.
class DesktopShortcutMakerTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void launcherStartsThisProgramInTheProgramFolder();
    void missingDesktopFolderIsTold();
    void iconInstalledBesideTheProgramIsUsed();

private:
    CMainFrame& frame();
    QString launcherPath() const;

    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<QTemporaryDir> m_programDir;
    std::unique_ptr<CImgJoinEngine> m_engine;
    std::unique_ptr<CMainFrame> m_frame;
    QStringList m_told;
    QByteArray m_oldHome;
    QByteArray m_oldConfig;
};

void DesktopShortcutMakerTest::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    m_programDir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid() && m_programDir->isValid());
    m_oldHome = qgetenv("HOME");
    m_oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(m_home->path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home->filePath(QStringLiteral(".config"))));
    QVERIFY(QDir(m_home->path()).mkpath(QStringLiteral(".config")));
    QVERIFY(QDir(m_home->path()).mkpath(QStringLiteral("桌面")));
    QFile dirs(m_home->filePath(QStringLiteral(".config/user-dirs.dirs")));
    QVERIFY(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DESKTOP_DIR=\"$HOME/桌面\"\n");
    dirs.close();
    m_engine = std::make_unique<CImgJoinEngine>();
    m_engine->SetDataDir(m_programDir->path());
    m_told.clear();
}

void DesktopShortcutMakerTest::cleanup()
{
    m_frame.reset();
    m_engine.reset();
    qputenv("HOME", m_oldHome);
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
    m_home.reset();
    m_programDir.reset();
}

CMainFrame& DesktopShortcutMakerTest::frame()
{
    if (!m_frame) {
        m_frame = std::make_unique<CMainFrame>(*m_engine);
        UserPrompts prompts;
        prompts.setTell([this](QWidget*, const QString& title, const QString& text) {
            m_told << title + '|' + text;
        });
        m_frame->setPrompts(prompts);
    }
    return *m_frame;
}

QString DesktopShortcutMakerTest::launcherPath() const
{
    return m_home->filePath(QStringLiteral("桌面/Lumo图片拼接及打印软件.desktop"));
}

void DesktopShortcutMakerTest::launcherStartsThisProgramInTheProgramFolder()
{
    CViewCommands& commands = frame().view()->commands();
    frame().view()->updateActions();
    QVERIFY(commands.action(CommandId::DesktopShortcut)->isEnabled());
    commands.trigger(CommandId::DesktopShortcut);
    QVERIFY(m_told.isEmpty());
    QVERIFY(QFileInfo::exists(launcherPath()));
    QVERIFY(QFileInfo(launcherPath()).isExecutable());
    // The program path of this run has no character the Exec line reserves.
    QCOMPARE(valueOf(launcherPath(), QStringLiteral("Exec")),
             QCoreApplication::applicationFilePath());
    QCOMPARE(valueOf(launcherPath(), QStringLiteral("Path")),
             QDir::toNativeSeparators(m_programDir->path()));
    QCOMPARE(valueOf(launcherPath(), QStringLiteral("Name")),
             QStringLiteral("Lumo图片拼接及打印软件"));
    QVERIFY(!valueOf(launcherPath(), QStringLiteral("Icon")).isEmpty());

    // The second time replaces the first.
    commands.trigger(CommandId::DesktopShortcut);
    QVERIFY(m_told.isEmpty());
    QCOMPARE(QDir(m_home->filePath(QStringLiteral("桌面"))).entryList(QDir::Files | QDir::Hidden),
             QStringList({ QStringLiteral("Lumo图片拼接及打印软件.desktop") }));
}

void DesktopShortcutMakerTest::missingDesktopFolderIsTold()
{
    QVERIFY(QDir(m_home->filePath(QStringLiteral("桌面"))).removeRecursively());
    frame().view()->commands().trigger(CommandId::DesktopShortcut);
    QCOMPARE(m_told,
             QStringList({ QStringLiteral("Lumo图片拼接软件|创建桌面图标失败，请稍后自行创建!") }));
    QVERIFY(!QFileInfo::exists(m_home->filePath(QStringLiteral("桌面"))));
}

void DesktopShortcutMakerTest::iconInstalledBesideTheProgramIsUsed()
{
    // A program installed under a prefix: <prefix>/bin/<program> with its
    // picture in <prefix>/share/icons.
    QTemporaryDir prefix;
    QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("bin")));
    QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("share/icons/hicolor/scalable/apps")));
    const QString icon =
        prefix.filePath(QStringLiteral("share/icons/hicolor/scalable/apps/qznImgSplitJoint.svg"));
    QFile file(icon);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<svg xmlns=\"http://www.w3.org/2000/svg\"/>");
    file.close();
    QCOMPARE(DesktopShortcutMaker::iconFor(prefix.filePath(QStringLiteral("bin/qznImgSplitJoint"))),
             QFileInfo(icon).canonicalFilePath());
}

QTEST_MAIN(DesktopShortcutMakerTest)
#include "DesktopShortcutMakerTest.moc"
