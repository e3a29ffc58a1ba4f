#pragma once

#include "ScreenGrabber.h"

// Qt's own grab of every screen, without the cursor: for window systems
// that have no way of their own.
class ScreenGrabberQt : public ScreenGrabber
{
    Q_OBJECT

public:
    explicit ScreenGrabberQt(QObject* parent = nullptr);
    void grab() override;
};
