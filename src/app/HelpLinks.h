#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// The help menu's targets: the user manual that comes with the program and
// the pages under the project's home page. The addresses are fixed by the
// build; the opener is the desktop's (the browser) unless a caller puts its
// own in, as the tests do.
class HelpLinks
{
public:
    // Opens an address; false when nothing could open it.
    using Opener = std::function<bool(const QUrl&)>;

    HelpLinks();
    explicit HelpLinks(Opener opener);

    static QUrl homePage();
    static QUrl onlineManual();
    static QUrl manualDownload();
    // The host of the home page, as the web-site menu item shows it.
    static QString homePageHost();

    // The manual's first page: the installed copy next to the program
    // (<prefix>/bin/../share/doc/...), else the copy in the source tree the
    // program was built from; empty when neither is there.
    static QString localManualFile(const QString& executableDir);

    // Opens the help target of a command id (LocalManual, OnlineManual,
    // ManualDownload, WebSite). Returns an empty text on success, else the
    // reason in the program's words.
    QString open(int commandId, const QString& executableDir) const;

private:
    Opener m_opener;
};
