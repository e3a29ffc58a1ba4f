#include "UserPrompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString text(const char* source)
{
    return QCoreApplication::translate("UserPrompts", source);
}

UserPrompts::SaveChoice askSaveInBox(QWidget* parent, const QString& title, const QString& question)
{
    QMessageBox box(QMessageBox::Warning, title, question, QMessageBox::NoButton, parent);
    QPushButton* save =
        box.addButton(text(QT_TRANSLATE_NOOP("UserPrompts", "保存")), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(text(QT_TRANSLATE_NOOP("UserPrompts", "不保存")),
                                         QMessageBox::DestructiveRole);
    QPushButton* cancel =
        box.addButton(text(QT_TRANSLATE_NOOP("UserPrompts", "取消")), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return UserPrompts::SaveChoice::Save;
    if (box.clickedButton() == discard)
        return UserPrompts::SaveChoice::Discard;
    return UserPrompts::SaveChoice::Cancel;
}

} // namespace

UserPrompts::UserPrompts()
    : m_ask([](QWidget* parent, const QString& title, const QString& text) {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Yes) == QMessageBox::Yes;
    })
    , m_tell([](QWidget* parent, const QString& title, const QString& text) {
        QMessageBox::critical(parent, title, text);
    })
    , m_askSave(askSaveInBox)
    , m_chooseOpenFile(
          [](QWidget* parent, const QString& title, const QString& start, const QString& filter) {
              return QFileDialog::getOpenFileName(parent, title, start, filter);
          })
    , m_chooseSaveFile(
          [](QWidget* parent, const QString& title, const QString& start, const QString& filter) {
              return QFileDialog::getSaveFileName(parent, title, start, filter);
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

UserPrompts::SaveChoice UserPrompts::askSave(QWidget* parent, const QString& title,
                                             const QString& text) const
{
    return m_askSave ? m_askSave(parent, title, text) : SaveChoice::Cancel;
}

QString UserPrompts::chooseOpenFile(QWidget* parent, const QString& title, const QString& start,
                                    const QString& filter) const
{
    return m_chooseOpenFile ? m_chooseOpenFile(parent, title, start, filter) : QString();
}

QString UserPrompts::chooseSaveFile(QWidget* parent, const QString& title, const QString& start,
                                    const QString& filter) const
{
    return m_chooseSaveFile ? m_chooseSaveFile(parent, title, start, filter) : QString();
}
