#pragma once

#include <QObject>
#include <QString>

// A key combination that reaches the program wherever the keyboard focus is,
// even while its window is minimised: Ctrl plus a letter, or Ctrl+Print for
// the letter ','. Each window system has its own way of offering one; create()
// picks the one of the running window system.
class GlobalHotKey : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Unregistered, // nothing asked for yet
        Pending,      // asked for; the desktop has not answered yet
        Registered,   // the key works
        Taken,        // another program holds the combination, or the user refused it
        Unavailable   // this desktop offers no global keys at all
    };
    Q_ENUM(State)

    // The hot key of the running window system: X11, the desktop portal on
    // Wayland, and one that is never available elsewhere.
    static GlobalHotKey* create(QObject* parent = nullptr);

    // 'A' to 'Z' (any case) and ','.
    static bool isValidLetter(char letter);
    // How the combination reads, e.g. "Ctrl+G" or "Ctrl+Print".
    static QString keyText(char letter);

    // Asks for Ctrl plus letter; the answer shows in state(). A letter that
    // is not valid leaves the key unregistered.
    virtual void registerKey(char letter) = 0;
    State state() const { return m_state; }

signals:
    // The combination was pressed.
    void activated();
    void stateChanged(GlobalHotKey::State state);

protected:
    explicit GlobalHotKey(QObject* parent);
    void setState(State state);

private:
    State m_state = State::Unregistered;
};
