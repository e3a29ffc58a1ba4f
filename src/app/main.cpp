#include "CImgJoinEngine.h"
#include "CMainFrame.h"
#include "ProgramLanguage.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("qznImgSplitJoint"));
    app.setWindowIcon(QIcon(QStringLiteral(":/icons/qznImgSplitJoint.svg")));
    // Desktops without an icon theme of their own still find the common
    // action icons; the bundled pictures stand in where none is installed.
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
    // Chinese, or English for users of other languages, before any text is
    // made; Qt's own dialogs follow in Chinese.
    ProgramLanguage language;
    language.installForSystem();

    // The one engine of the program. The program directory is the working
    // directory at start-up; data files and the temporary folder live there,
    // and the settings are read before the window exists.
    CImgJoinEngine engine;
    // Failures during start-up come before any window can show them.
    QObject::connect(&engine, &CImgJoinEngine::errorOccurred,
                     [](const QString& message) { qWarning().noquote() << message; });
    engine.SetDataDir(QDir::currentPath());
    engine.LoadSettings();

    CMainFrame frame(engine);
    frame.show();
    return app.exec();
}
