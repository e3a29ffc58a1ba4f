#include "GlobalHotKey.h"

#include <QString>

GlobalHotKey::GlobalHotKey(QObject* parent)
    : QObject(parent)
{
}

bool GlobalHotKey::isValidLetter(char letter)
{
    return letter == ',' || (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

QString GlobalHotKey::keyText(char letter)
{
    if (letter == ',')
        return QStringLiteral("Ctrl+Print");
    return QStringLiteral("Ctrl+") + QChar::fromLatin1(letter).toUpper();
}

void GlobalHotKey::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}
