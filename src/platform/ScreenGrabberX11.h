#pragma once

#include "ScreenGrabber.h"

// The X11 grab: every screen through Qt, the cursor picture from the XFixes
// extension, drawn at the pointer with its hot spot there.
class ScreenGrabberX11 : public ScreenGrabber
{
    Q_OBJECT

public:
    explicit ScreenGrabberX11(QObject* parent = nullptr);
    void grab() override;

private:
    void addCursor(QImage& screen);
};
