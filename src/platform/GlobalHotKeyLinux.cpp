#include "GlobalHotKey.h"
#include "GlobalHotKeyNone.h"
#include "GlobalHotKeyPortal.h"
#include "GlobalHotKeyX11.h"

#include <QDBusConnection>
#include <QGuiApplication>

GlobalHotKey* GlobalHotKey::create(QObject* parent)
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb"))
        return new GlobalHotKeyX11(parent);
    if (platform.startsWith(QLatin1String("wayland")))
        return new GlobalHotKeyPortal(QDBusConnection::sessionBus(), parent);
    return new GlobalHotKeyNone(parent);
}
