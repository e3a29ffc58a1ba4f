#pragma once

#include "ScreenGrabber.h"

#include <QDBusConnection>

// The grab on Wayland: the desktop portal's screenshot, taken without
// asking the user, read from the file the portal names.
class ScreenGrabberPortal : public ScreenGrabber
{
    Q_OBJECT

public:
    ScreenGrabberPortal(const QDBusConnection& bus, QObject* parent = nullptr);
    void grab() override;

private:
    QDBusConnection m_bus;
};
