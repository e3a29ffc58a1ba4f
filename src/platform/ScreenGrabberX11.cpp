#include "ScreenGrabberX11.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>
#include <memory>

namespace {

struct FreeDeleter
{
    void operator()(void* pointer) const { std::free(pointer); }
};

} // namespace

ScreenGrabberX11::ScreenGrabberX11(QObject* parent)
    : ScreenGrabber(parent)
{
}

void ScreenGrabberX11::grab()
{
    QImage screen = grabAllScreens();
    if (screen.isNull()) {
        emit failed(tr("无法截取屏幕图"));
        return;
    }
    addCursor(screen);
    emit grabbed(screen);
}

void ScreenGrabberX11::addCursor(QImage& screen)
{
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr)
        return;
    // The extension answers only a client that said which version it speaks.
    const std::unique_ptr<xcb_xfixes_query_version_reply_t, FreeDeleter> version(
        xcb_xfixes_query_version_reply(connection,
                                       xcb_xfixes_query_version(connection,
                                                                XCB_XFIXES_MAJOR_VERSION,
                                                                XCB_XFIXES_MINOR_VERSION),
                                       nullptr));
    if (!version)
        return;
    const std::unique_ptr<xcb_xfixes_get_cursor_image_reply_t, FreeDeleter> cursor(
        xcb_xfixes_get_cursor_image_reply(connection, xcb_xfixes_get_cursor_image(connection),
                                          nullptr));
    if (!cursor || cursor->width == 0 || cursor->height == 0)
        return;
    // 32-bit premultiplied ARGB, row after row.
    const std::uint32_t* pixels = xcb_xfixes_get_cursor_image_cursor_image(cursor.get());
    const QImage picture(reinterpret_cast<const uchar*>(pixels), cursor->width, cursor->height,
                         int(cursor->width) * 4, QImage::Format_ARGB32_Premultiplied);
    const QPoint desktop = QGuiApplication::primaryScreen()->virtualGeometry().topLeft();
    paintCursor(screen, picture, QPoint(cursor->x, cursor->y) - desktop,
                QPoint(cursor->xhot, cursor->yhot));
}
