#pragma once

#include "UserPrompts.h"

#include <QCoreApplication>
#include <QString>

class QWidget;

// The command that puts a launcher of this program on the user's desktop.
// The launcher starts the executable that runs now, in the program folder,
// so the program finds its settings file and temporary folder there.
class DesktopShortcutMaker
{
    Q_DECLARE_TR_FUNCTIONS(DesktopShortcutMaker)

public:
    // The launcher's file on the desktop, without its extension.
    static QString fileBaseName();

    // Writes the launcher, replacing an earlier one. When it cannot, the user
    // is told through prompts; a made launcher is not announced. True when
    // the launcher was written.
    static bool make(QWidget* parent, const UserPrompts& prompts, const QString& programDir);

    // The launcher's icon for the program at program: the picture installed
    // beside it, else the program's own picture kept in the user's data
    // folder, else the icon theme's name of the program.
    static QString iconFor(const QString& program);
};
