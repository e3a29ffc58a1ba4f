#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QString>

// A picture of the whole screen (every monitor, side by side as the desktop
// lays them out) with the mouse cursor drawn where it is. Some desktops
// answer later, so grab() reports through a signal, never both.
class ScreenGrabber : public QObject
{
    Q_OBJECT

public:
    // The grabber of the running window system: X11 with its cursor, the
    // desktop portal on Wayland, and Qt's own screen grab elsewhere.
    static ScreenGrabber* create(QObject* parent = nullptr);

    // Starts a capture; grabbed or failed follows, possibly before the return.
    virtual void grab() = 0;

    // Every screen Qt knows, each at its place on the desktop; the desktop's
    // top-left corner is the picture's origin.
    static QImage grabAllScreens();
    // Draws a cursor picture over the screen so that its hot spot lies at
    // position (screen pixels).
    static void paintCursor(QImage& screen, const QImage& cursor, const QPoint& position,
                            const QPoint& hotSpot);

signals:
    void grabbed(const QImage& screen);
    void failed(const QString& reason);

protected:
    explicit ScreenGrabber(QObject* parent);
};
