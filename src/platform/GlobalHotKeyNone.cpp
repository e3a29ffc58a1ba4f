#include "GlobalHotKeyNone.h"

GlobalHotKeyNone::GlobalHotKeyNone(QObject* parent)
    : GlobalHotKey(parent)
{
}

void GlobalHotKeyNone::registerKey(char /*letter*/)
{
    setState(State::Unavailable);
}
