// Command-line batch tool over the joining engine.
#include "ImgJoinCommand.h"
#include "ProgramLanguage.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    // The engine draws through QPainter on images only; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ProgramLanguage language;
    language.installForSystem();
    QTextStream out(stdout);
    QTextStream err(stderr);
    ImgJoinCommand command(out, err);
    const int status = command.run(app.arguments().mid(1));
    out.flush();
    return status;
}
