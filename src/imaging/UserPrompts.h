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

    UserPrompts();

    bool ask(QWidget* parent, const QString& title, const QString& text) const;
    void tell(QWidget* parent, const QString& title, const QString& text) const;

    void setAsk(Ask ask) { m_ask = std::move(ask); }
    void setTell(Tell tell) { m_tell = std::move(tell); }

private:
    Ask m_ask;
    Tell m_tell;
};
