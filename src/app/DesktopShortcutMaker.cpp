#include "DesktopShortcutMaker.h"

#include "DesktopShortcut.h"
#include "IoErrorText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString iconName = QStringLiteral("qznImgSplitJoint");

} // namespace

QString DesktopShortcutMaker::fileBaseName()
{
    // The file name stays the same in every language, so that a launcher
    // made again replaces the earlier one.
    return QStringLiteral("Lumo图片拼接及打印软件");
}

QString DesktopShortcutMaker::iconFor(const QString& program)
{
    // An installed program has its picture in the icon folders of its prefix.
    const QString installed = QFileInfo(program).absolutePath() +
                              QStringLiteral("/../share/icons/hicolor/scalable/apps/") + iconName +
                              QStringLiteral(".svg");
    if (QFileInfo::exists(installed))
        return QFileInfo(installed).canonicalFilePath();
    // Run from where it was built: the picture built into the program is
    // kept where the launcher can find it.
    const QString bundled = QStringLiteral(":/icons/") + iconName + QStringLiteral(".svg");
    const QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (QFileInfo::exists(bundled) && !dataDir.isEmpty()) {
        const QString kept = QDir(dataDir).filePath(iconName + QStringLiteral(".svg"));
        if (QFileInfo::exists(kept) || (QDir().mkpath(dataDir) && QFile::copy(bundled, kept)))
            return kept;
    }
    return iconName;
}

bool DesktopShortcutMaker::make(QWidget* parent, const UserPrompts& prompts,
                                const QString& programDir)
{
    DesktopShortcut::Launcher launcher;
    launcher.fileName = fileBaseName();
    launcher.name = tr("Lumo图片拼接及打印软件");
    launcher.comment = tr("Lumo图片拼接及打印软件");
    launcher.program = QCoreApplication::applicationFilePath();
    launcher.workingDir = QDir::toNativeSeparators(programDir);
    launcher.icon = iconFor(launcher.program);
    const DesktopShortcut::Result result =
        DesktopShortcut::create(launcher, DesktopShortcut::desktopDir());
    if (result.outcome == DesktopShortcut::Outcome::Created)
        return true;
    QString text = tr("创建桌面图标失败，请稍后自行创建!");
    if (result.outcome == DesktopShortcut::Outcome::WriteFailed) {
        QString reason = IoErrorText::systemReason(result.errorNumber);
        if (reason.isEmpty())
            reason = IoErrorText::reason(result.fileError);
        text += '\n' + tr("无法写入 %1: %2").arg(QDir::toNativeSeparators(result.path), reason);
    }
    prompts.tell(parent, tr("Lumo图片拼接软件"), text);
    return false;
}
