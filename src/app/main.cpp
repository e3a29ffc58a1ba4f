#include "CImgJoinEngine.h"
#include "CMainFrame.h"
#include "ProgramLanguage.h"
#include "StartOptions.h"

#include <QApplication>
#include <QDebug>
#include <QIcon>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("qznImgSplitJoint"));
    // The installed desktop entry, so that desktops match the window to it.
    app.setDesktopFileName(QStringLiteral(JOIN_DESKTOP_ID));
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/qznImgSplitJoint.svg")));
    // Desktops without an icon theme of their own still find the common
    // action icons; the bundled pictures stand in where none is installed.
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    // Chinese, or English for users of other languages, before any text is
    // made; Qt's own dialogs follow in Chinese.
    ProgramLanguage language;
    language.installForSystem();

    StartOptions options;
    switch (options.parse(app.arguments())) {
        case StartOptions::Outcome::Run: break;
        case StartOptions::Outcome::ShowHelp:
            std::fputs(qPrintable(options.helpText()), stdout);
            return 0;
        case StartOptions::Outcome::Failed:
            std::fprintf(stderr, "%s\n", qPrintable(options.errorText()));
            return 2;
    }
    if (!options.prepareDataDir()) {
        std::fprintf(stderr, "%s\n", qPrintable(options.errorText()));
        return 1;
    }

    // The one engine of the program. The program directory is the working
    // directory at start-up, or the folder the command line chose; data files
    // and the temporary folder live there, and the settings are read before
    // the window exists.
    CImgJoinEngine engine;
    // Failures during start-up come before any window can show them.
    QObject::connect(&engine, &CImgJoinEngine::errorOccurred,
                     [](const QString& message) { qWarning().noquote() << message; });
    engine.SetDataDir(options.dataDir());
    engine.LoadSettings();

    CMainFrame frame(engine);
    frame.show();
    return app.exec();
}
