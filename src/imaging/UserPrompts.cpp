#include "UserPrompts.h"

#include <QMessageBox>

UserPrompts::UserPrompts()
    : m_ask([](QWidget* parent, const QString& title, const QString& text) {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Yes) == QMessageBox::Yes;
    })
    , m_tell([](QWidget* parent, const QString& title, const QString& text) {
        QMessageBox::critical(parent, title, text);
    })
{
}

bool UserPrompts::ask(QWidget* parent, const QString& title, const QString& text) const
{
    return m_ask && m_ask(parent, title, text);
}

void UserPrompts::tell(QWidget* parent, const QString& title, const QString& text) const
{
    if (m_tell)
        m_tell(parent, title, text);
}
