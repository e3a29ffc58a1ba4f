#include "ScreenGrabber.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>

ScreenGrabber::ScreenGrabber(QObject* parent)
    : QObject(parent)
{
}

QImage ScreenGrabber::grabAllScreens()
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return {};
    const QRect desktop = screens.constFirst()->virtualGeometry();
    QImage whole(desktop.size(), QImage::Format_RGB32);
    whole.fill(Qt::black);
    QPainter painter(&whole);
    for (QScreen* screen : screens) {
        const QPixmap shot = screen->grabWindow(0);
        if (shot.isNull())
            continue;
        // At the screen's place and size in desktop pixels.
        painter.drawPixmap(
            QRect(screen->geometry().topLeft() - desktop.topLeft(), screen->geometry().size()),
            shot);
    }
    return whole;
}

void ScreenGrabber::paintCursor(QImage& screen, const QImage& cursor, const QPoint& position,
                                const QPoint& hotSpot)
{
    if (screen.isNull() || cursor.isNull())
        return;
    QPainter painter(&screen);
    painter.drawImage(position - hotSpot, cursor);
}
