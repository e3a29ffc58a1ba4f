#include "ScreenGrabberPortal.h"

#include "PortalRequest.h"

#include <QUrl>

ScreenGrabberPortal::ScreenGrabberPortal(const QDBusConnection& bus, QObject* parent)
    : ScreenGrabber(parent)
    , m_bus(bus)
{
}

void ScreenGrabberPortal::grab()
{
    auto* request = new PortalRequest(m_bus, this);
    connect(request, &PortalRequest::finished, this,
            [this, request](uint response, const QVariantMap& results) {
                request->deleteLater();
                if (response != 0) {
                    emit failed(tr("桌面没有给出屏幕图"));
                    return;
                }
                const QUrl uri(results.value(QStringLiteral("uri")).toString());
                const QImage screen(uri.toLocalFile());
                if (screen.isNull())
                    emit failed(tr("无法读取桌面给出的屏幕图 %1").arg(uri.toDisplayString()));
                else
                    emit grabbed(screen);
            });
    connect(request, &PortalRequest::failed, this, [this, request](const QString&) {
        request->deleteLater();
        emit failed(tr("这个桌面不提供截取屏幕的服务"));
    });
    request->start(
        QStringLiteral("org.freedesktop.portal.Screenshot"), QStringLiteral("Screenshot"),
        { QString() },
        { { QStringLiteral("interactive"), false }, { QStringLiteral("modal"), false } });
}
