#include "ScreenGrabber.h"
#include "ScreenGrabberQt.h"

ScreenGrabber* ScreenGrabber::create(QObject* parent)
{
    return new ScreenGrabberQt(parent);
}
