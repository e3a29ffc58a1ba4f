#pragma once

#include <QList>
#include <QPoint>

#include <memory>

class CViewCommands;
class QAction;
class QMenu;
class QToolBar;

// The popup menus that tool bar buttons open: built on the fly from command
// ids, each item the command's own action with its picture, enabled as the
// command table says, and shown directly below the button.
class CToolButtonMenu
{
public:
    static std::unique_ptr<QMenu> build(const QList<int>& ids, const CViewCommands& commands);
    // Global position of the bottom-left corner of the action's button,
    // wherever the tool bar is docked; the cursor position without a button.
    static QPoint belowButton(const QToolBar& toolBar, QAction* action);
    // Shows the menu modally at that point.
    static void exec(QMenu& menu, const QPoint& at);
};
