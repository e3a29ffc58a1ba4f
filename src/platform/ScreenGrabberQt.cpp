#include "ScreenGrabberQt.h"

ScreenGrabberQt::ScreenGrabberQt(QObject* parent)
    : ScreenGrabber(parent)
{
}

void ScreenGrabberQt::grab()
{
    const QImage screen = grabAllScreens();
    if (screen.isNull())
        emit failed(tr("无法截取屏幕图"));
    else
        emit grabbed(screen);
}
