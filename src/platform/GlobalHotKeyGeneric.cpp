#include "GlobalHotKey.h"
#include "GlobalHotKeyNone.h"

GlobalHotKey* GlobalHotKey::create(QObject* parent)
{
    return new GlobalHotKeyNone(parent);
}
