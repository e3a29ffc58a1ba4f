#include "DesktopShortcut.h"

#include <QFileInfo>
#include <QStandardPaths>

// Systems without a launcher format of their own here find the desktop
// folder but make no launcher.
namespace DesktopShortcut {

QString desktopDir()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return !dir.isEmpty() && QFileInfo(dir).isDir() ? dir : QString();
}

Result create(const Launcher& launcher, const QString& desktop)
{
    Q_UNUSED(launcher);
    Result result;
    result.outcome = desktop.isEmpty() ? Outcome::NoDesktop : Outcome::Unsupported;
    return result;
}

} // namespace DesktopShortcut
