#pragma once

#include "GlobalHotKey.h"

// Where the window system offers no global keys: registering says so.
class GlobalHotKeyNone : public GlobalHotKey
{
    Q_OBJECT

public:
    explicit GlobalHotKeyNone(QObject* parent = nullptr);
    void registerKey(char letter) override;
};
