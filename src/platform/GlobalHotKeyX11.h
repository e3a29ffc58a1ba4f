#pragma once

#include "GlobalHotKey.h"

#include <QAbstractNativeEventFilter>
#include <QList>

#include <cstdint>

// The hot key on X11: a passive grab of the key on the root window, for every
// state of the lock keys (Caps Lock, Num Lock), so the key works whatever
// lights are on. The presses arrive through a native event filter.
class GlobalHotKeyX11
    : public GlobalHotKey
    , public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    explicit GlobalHotKeyX11(QObject* parent = nullptr);
    ~GlobalHotKeyX11() override;

    void registerKey(char letter) override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void ungrab();

    struct Grab
    {
        std::uint8_t keyCode;
        std::uint16_t modifiers;
    };
    QList<Grab> m_grabs;
    std::uint32_t m_root = 0;
    std::uint16_t m_lockMask = 0; // Caps Lock and Num Lock together
};
