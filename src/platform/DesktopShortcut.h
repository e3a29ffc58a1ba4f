#pragma once

#include <QFileDevice>
#include <QString>

// A launcher of a program on the user's desktop, as the desktop of the
// system understands one.
namespace DesktopShortcut {

struct Launcher
{
    QString fileName;   // the launcher's file, without its extension
    QString name;       // shown under the icon
    QString comment;    // shown as the icon's tip
    QString program;    // the executable, an absolute path
    QString workingDir; // where the program starts
    QString icon;       // an absolute picture path or an icon theme name
};

enum class Outcome
{
    Created,     // written, or an earlier launcher of that name replaced
    NoDesktop,   // the user has no desktop folder
    Unsupported, // this system's launchers are not made here
    WriteFailed  // the folder exists but the launcher could not be written
};

struct Result
{
    Outcome outcome = Outcome::Unsupported;
    QString path; // the launcher's file (empty without a desktop folder)
    // Why writing failed: Qt's code and the system's error number (0 when
    // unknown), for the caller to put into words.
    QFileDevice::FileError fileError = QFileDevice::NoError;
    int errorNumber = 0;
};

// The user's desktop folder; empty when there is none. A desktop folder that
// is the home folder itself means the user turned the desktop folder off.
QString desktopDir();

// Writes the launcher into desktop, replacing one of the same name, so that
// the desktop starts it (executable, as desktops require).
Result create(const Launcher& launcher, const QString& desktop);

} // namespace DesktopShortcut
