#include "CToolButtonMenu.h"

#include "CViewCommands.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <QToolBar>

std::unique_ptr<QMenu> CToolButtonMenu::build(const QList<int>& ids, const CViewCommands& commands)
{
    auto menu = std::make_unique<QMenu>();
    menu->setObjectName(QStringLiteral("toolButtonMenu"));
    for (int id : ids) {
        if (QAction* action = commands.action(id))
            menu->addAction(action);
    }
    return menu;
}

QPoint CToolButtonMenu::belowButton(const QToolBar& toolBar, QAction* action)
{
    QWidget* button = action != nullptr ? toolBar.widgetForAction(action) : nullptr;
    if (button == nullptr || !button->isVisible())
        return QCursor::pos();
    return button->mapToGlobal(QPoint(0, button->height()));
}

void CToolButtonMenu::exec(QMenu& menu, const QPoint& at)
{
    menu.exec(at);
}
