#pragma once

#include <QString>

#include <functional>

class QWidget;

// The questions and messages the output commands and their dialogs put to
// the user. By default they are message boxes; a caller (or a test) may
// answer them another way.
class UserPrompts
{
public:
    // A Yes/No question; true means Yes.
    using Ask = std::function<bool(QWidget* parent, const QString& title, const QString& text)>;
    // A message that stops what the user asked for.
    using Tell = std::function<void(QWidget* parent, const QString& title, const QString& text)>;
    // The answer to "save the changes first?".
    enum class SaveChoice
    {
        Save,
        Discard,
        Cancel
    };
    using AskSave =
        std::function<SaveChoice(QWidget* parent, const QString& title, const QString& text)>;
    // A file to open or to save to; empty when the user cancelled. The
    // filter is in the file dialog's form ("名称 (*.ora)").
    using ChooseFile = std::function<QString(QWidget* parent, const QString& title,
                                             const QString& start, const QString& filter)>;

    UserPrompts();

    bool ask(QWidget* parent, const QString& title, const QString& text) const;
    void tell(QWidget* parent, const QString& title, const QString& text) const;
    // 保存 / 不保存 / 取消; closing the box is 取消.
    SaveChoice askSave(QWidget* parent, const QString& title, const QString& text) const;
    QString chooseOpenFile(QWidget* parent, const QString& title, const QString& start,
                           const QString& filter) const;
    QString chooseSaveFile(QWidget* parent, const QString& title, const QString& start,
                           const QString& filter) const;

    void setAsk(Ask ask) { m_ask = std::move(ask); }
    void setTell(Tell tell) { m_tell = std::move(tell); }
    void setAskSave(AskSave askSave) { m_askSave = std::move(askSave); }
    void setChooseOpenFile(ChooseFile choose) { m_chooseOpenFile = std::move(choose); }
    void setChooseSaveFile(ChooseFile choose) { m_chooseSaveFile = std::move(choose); }

private:
    Ask m_ask;
    Tell m_tell;
    AskSave m_askSave;
    ChooseFile m_chooseOpenFile;
    ChooseFile m_chooseSaveFile;
};
