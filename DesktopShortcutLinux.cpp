#include "DesktopShortcut.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>

// Freedesktop desktops start a "<name>.desktop" file of the desktop folder
// that is executable and says how to start the program in its Exec line.
namespace DesktopShortcut {

namespace {

// A value of string type: backslashes and control characters are escaped.
QString escaped(const QString& value)
{
    QString text;
    text.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
            case '\\': text += QStringLiteral("\\\\"); break;
            case '\n': text += QStringLiteral("\\n"); break;
            case '\t': text += QStringLiteral("\\t"); break;
            case '\r': text += QStringLiteral("\\r"); break;
            default: text += c;
        }
    }
    // Leading blanks would be taken for the space after '='.
    if (text.startsWith(QLatin1Char(' ')))
        text.replace(0, 1, QStringLiteral("\\s"));
    return text;
}

// One argument of an Exec line: quoted when it holds a character the line
// reserves, with '"', '`', '$' and '\' escaped inside the quotes, and '%'
// doubled so it is not taken for a field code.
QString execArgument(const QString& argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = argument.isEmpty();
    for (const QChar c : argument)
        quote = quote || reserved.contains(c);
    QString text;
    for (const QChar c : argument) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\'))
            text += QLatin1Char('\\');
        text += c;
        if (c == '%')
            text += c;
    }
    return quote ? QLatin1Char('"') + text + QLatin1Char('"') : text;
}

QByteArray entryText(const Launcher& launcher)
{
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Version=1.0\n");
    text += QStringLiteral("Name=") + escaped(launcher.name) + '\n';
    if (!launcher.comment.isEmpty())
        text += QStringLiteral("Comment=") + escaped(launcher.comment) + '\n';
    // The quoting of the Exec line comes first; the string escapes then
    // apply to the line as a whole.
    text += QStringLiteral("Exec=") + escaped(execArgument(launcher.program)) + '\n';
    text += QStringLiteral("Path=") + escaped(launcher.workingDir) + '\n';
    if (!launcher.icon.isEmpty())
        text += QStringLiteral("Icon=") + escaped(launcher.icon) + '\n';
    text += QStringLiteral("Terminal=false\n");
    return text.toUtf8();
}

Result failed(Result result, const QFileDevice& file, int errorNumber)
{
    result.outcome = Outcome::WriteFailed;
    result.fileError = file.error();
    result.errorNumber = errorNumber;
    return result;
}

} // namespace

QString desktopDir()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return {};
    if (QDir(dir).canonicalPath() == QDir::home().canonicalPath())
        return {};
    return dir;
}

Result create(const Launcher& launcher, const QString& desktop)
{
    Result result;
    if (desktop.isEmpty() || !QFileInfo(desktop).isDir()) {
        result.outcome = Outcome::NoDesktop;
        return result;
    }
    result.path = QDir(desktop).filePath(launcher.fileName + QStringLiteral(".desktop"));
    // The new launcher replaces an earlier one in one step.
    QSaveFile file(result.path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(result, file, errno);
    const QByteArray text = entryText(launcher);
    errno = 0;
    if (file.write(text) != text.size())
        return failed(result, file, errno);
    if (!file.commit())
        return failed(result, file, errno);
    const QFileDevice::Permissions executable =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
        QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
        QFileDevice::ExeOther;
    QFile written(result.path);
    errno = 0;
    if (!written.setPermissions(executable))
        return failed(result, written, errno);
    result.outcome = Outcome::Created;
    return result;
}

} // namespace DesktopShortcut
