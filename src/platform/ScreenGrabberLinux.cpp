#include "ScreenGrabber.h"
#include "ScreenGrabberPortal.h"
#include "ScreenGrabberQt.h"
#include "ScreenGrabberX11.h"

#include <QDBusConnection>
#include <QGuiApplication>

ScreenGrabber* ScreenGrabber::create(QObject* parent)
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb"))
        return new ScreenGrabberX11(parent);
    if (platform.startsWith(QLatin1String("wayland")))
        return new ScreenGrabberPortal(QDBusConnection::sessionBus(), parent);
    return new ScreenGrabberQt(parent);
}
