#include "UserPrompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>

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

QString chooseSaveFileInDialog(QWidget* parent, const QString& title, const QString& start,
                               const QString& filter)
{
    QFileDialog dialog(parent, title, start, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // A name typed without an ending gets the filter's, before the dialog
    // asks whether to replace an existing file of that name.
    static const QRegularExpression firstSuffix(QStringLiteral("\\*\\.(\\w+)"));
    const QRegularExpressionMatch match = firstSuffix.match(filter);
    if (match.hasMatch())
        dialog.setDefaultSuffix(match.captured(1));
    dialog.selectFile(start);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
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
    , m_chooseSaveFile(chooseSaveFileInDialog)
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
