#include "DesktopShortcut.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

DesktopShortcut::Launcher launcherFor(const QString& program, const QString& workingDir)
{
    DesktopShortcut::Launcher launcher;
    launcher.fileName = QStringLiteral("Lumo图片拼接及打印软件");
    launcher.name = QStringLiteral("Lumo图片拼接及打印软件");
    launcher.comment = QStringLiteral("图片拼接及打印");
    launcher.program = program;
    launcher.workingDir = workingDir;
    launcher.icon = QStringLiteral("qznImgSplitJoint");
    return launcher;
}

QStringList linesOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

// The value of key in the launcher's lines; empty when it is missing.
QString valueOf(const QStringList& lines, const QString& key)
{
    for (const QString& line : lines) {
        if (line.startsWith(key + '='))
            return line.mid(key.size() + 1);
    }
    return {};
}

// Points the desktop folder lookup at a fresh home folder with its own
// user-dirs.dirs; the variables come back when it goes.
class HomeUnderTest
{
public:
    explicit HomeUnderTest(const QByteArray& desktopLine)
        : m_oldHome(qgetenv("HOME"))
        , m_oldConfig(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(".config")));
        QDir(m_home.path()).mkpath(QStringLiteral(".config"));
        QFile dirs(m_home.filePath(QStringLiteral(".config/user-dirs.dirs")));
        if (dirs.open(QIODevice::WriteOnly))
            dirs.write(desktopLine + '\n');
    }
    ~HomeUnderTest()
    {
        qputenv("HOME", m_oldHome);
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
    }
    QString path(const QString& name) const { return m_home.filePath(name); }

private:
    QTemporaryDir m_home;
    QByteArray m_oldHome;
    QByteArray m_oldConfig;
};

} // namespace

#ifdef Q_OS_LINUX

TEST(DesktopShortcutTest, LauncherStartsTheProgramInItsFolderAndReplacesAnEarlierOne)
{
    QTemporaryDir desktop;
    ASSERT_TRUE(desktop.isValid());
    const DesktopShortcut::Launcher first = launcherFor(
        QStringLiteral("/opt/lumo/bin/qznImgSplitJoint"), QStringLiteral("/home/u/图纸"));
    DesktopShortcut::Result result = DesktopShortcut::create(first, desktop.path());
    ASSERT_EQ(result.outcome, DesktopShortcut::Outcome::Created);
    EXPECT_EQ(result.path, desktop.filePath(QStringLiteral("Lumo图片拼接及打印软件.desktop")));

    QStringList lines = linesOf(result.path);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), QStringLiteral("[Desktop Entry]"));
    EXPECT_EQ(valueOf(lines, QStringLiteral("Type")), QStringLiteral("Application"));
    EXPECT_EQ(valueOf(lines, QStringLiteral("Name")), QStringLiteral("Lumo图片拼接及打印软件"));
    EXPECT_EQ(valueOf(lines, QStringLiteral("Exec")),
              QStringLiteral("/opt/lumo/bin/qznImgSplitJoint"));
    EXPECT_EQ(valueOf(lines, QStringLiteral("Path")), QStringLiteral("/home/u/图纸"));
    EXPECT_EQ(valueOf(lines, QStringLiteral("Icon")), QStringLiteral("qznImgSplitJoint"));
    const QFileDevice::Permissions mode = QFile::permissions(result.path);
    EXPECT_TRUE(mode.testFlag(QFileDevice::ExeOwner));
    EXPECT_TRUE(mode.testFlag(QFileDevice::ExeGroup));
    EXPECT_TRUE(mode.testFlag(QFileDevice::ExeOther));
    EXPECT_FALSE(mode.testFlag(QFileDevice::WriteOther));

    // Made again from another program folder: still one launcher, the new one.
    const DesktopShortcut::Launcher second =
        launcherFor(QStringLiteral("/usr/bin/qznImgSplitJoint"), QStringLiteral("/srv/work"));
    result = DesktopShortcut::create(second, desktop.path());
    ASSERT_EQ(result.outcome, DesktopShortcut::Outcome::Created);
    EXPECT_EQ(QDir(desktop.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    lines = linesOf(result.path);
    EXPECT_EQ(valueOf(lines, QStringLiteral("Exec")), QStringLiteral("/usr/bin/qznImgSplitJoint"));
    EXPECT_EQ(valueOf(lines, QStringLiteral("Path")), QStringLiteral("/srv/work"));
}

TEST(DesktopShortcutTest, ProgramPathsWithReservedCharactersAreQuotedForTheExecLine)
{
    QTemporaryDir desktop;
    ASSERT_TRUE(desktop.isValid());
    struct Case
    {
        QString program;
        QString exec; // as the file holds it
    };
    const QList<Case> cases = {
        { QStringLiteral("/home/u/My Programs/qznImgSplitJoint"),
          QStringLiteral("\"/home/u/My Programs/qznImgSplitJoint\"") },
        // '$' and '"' get a backslash inside the quotes, which the string
        // escapes double; '%' is doubled.
        { QStringLiteral("/opt/a$b/\"q\"/100%/run"),
          QStringLiteral("\"/opt/a\\\\$b/\\\\\"q\\\\\"/100%%/run\"") },
        // A backslash is four in the file.
        { QStringLiteral("/opt/back\\slash/run"),
          QStringLiteral("\"/opt/back\\\\\\\\slash/run\"") },
        // No reserved character: no quotes, but '%' is still doubled.
        { QStringLiteral("/opt/100%/run"), QStringLiteral("/opt/100%%/run") },
    };
    for (const Case& c : cases) {
        const DesktopShortcut::Result result =
            DesktopShortcut::create(launcherFor(c.program, QStringLiteral("/w")), desktop.path());
        ASSERT_EQ(result.outcome, DesktopShortcut::Outcome::Created);
        EXPECT_EQ(valueOf(linesOf(result.path), QStringLiteral("Exec")), c.exec)
            << c.program.toStdString();
    }
    // A working folder with a backslash keeps it as a string value does.
    const DesktopShortcut::Result result = DesktopShortcut::create(
        launcherFor(QStringLiteral("/bin/x"), QStringLiteral("/w/a\\b c")), desktop.path());
    EXPECT_EQ(valueOf(linesOf(result.path), QStringLiteral("Path")), QStringLiteral("/w/a\\\\b c"));
}

TEST(DesktopShortcutTest, NothingIsWrittenWithoutADesktopFolderOrWhereTheNameIsTaken)
{
    QTemporaryDir base;
    ASSERT_TRUE(base.isValid());
    const DesktopShortcut::Launcher launcher =
        launcherFor(QStringLiteral("/usr/bin/qznImgSplitJoint"), base.path());
    const QString missing = base.filePath(QStringLiteral("Desktop"));
    EXPECT_EQ(DesktopShortcut::create(launcher, missing).outcome,
              DesktopShortcut::Outcome::NoDesktop);
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_EQ(DesktopShortcut::create(launcher, QString()).outcome,
              DesktopShortcut::Outcome::NoDesktop);

    // A folder that holds the launcher's name is not replaced, and the
    // failure says so.
    ASSERT_TRUE(QDir(base.path()).mkpath(QStringLiteral("Desktop/Lumo图片拼接及打印软件.desktop")));
    const DesktopShortcut::Result result = DesktopShortcut::create(launcher, missing);
    EXPECT_EQ(result.outcome, DesktopShortcut::Outcome::WriteFailed);
    EXPECT_NE(result.fileError, QFileDevice::NoError);
    EXPECT_TRUE(QFileInfo(result.path).isDir());
}

TEST(DesktopShortcutTest, DesktopFolderComesFromTheUsersFolderSettings)
{
    {
        HomeUnderTest home("XDG_DESKTOP_DIR=\"$HOME/桌面\"");
        EXPECT_TRUE(DesktopShortcut::desktopDir().isEmpty()); // named but not there
        ASSERT_TRUE(QDir().mkpath(home.path(QStringLiteral("桌面"))));
        EXPECT_EQ(QDir(DesktopShortcut::desktopDir()).canonicalPath(),
                  QDir(home.path(QStringLiteral("桌面"))).canonicalPath());
    }
    {
        // The home folder as desktop folder means there is none.
        HomeUnderTest home("XDG_DESKTOP_DIR=\"$HOME/\"");
        EXPECT_TRUE(DesktopShortcut::desktopDir().isEmpty());
    }
}

#endif
