#pragma once

#include "JoinCodes.h"
#include "JoinPicture.h"

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>

// The pictures on the joining canvas in layer order (index 0 at the bottom),
// which of them is current, and how canvas units map to view pixels:
// screen = trunc(canvas × zoom) + origin. It also keeps what the view told
// the canvas about itself: its client rectangle and whether the current
// picture is shown transparent.
class Canvas
{
public:
    static constexpr int MaxPictures = 60;
    // How far zooming about a point may go either way.
    static constexpr double MinZoom = 1.0 / 64;
    static constexpr double MaxZoom = 64.0;

    // Appends a picture on top and makes it current; false when the canvas
    // is full.
    bool add(const QString& file);
    void clear();

    int count() const { return int(m_pictures.size()); }
    bool isEmpty() const { return m_pictures.isEmpty(); }
    bool hasCurrent() const { return m_current >= 0 && m_current < m_pictures.size(); }
    int currentIndex() const { return m_current; }
    // Puts back which picture is current, as an undo step found it.
    void setCurrentIndex(int index) { m_current = index; }
    JoinPicture* current() { return hasCurrent() ? &m_pictures[m_current] : nullptr; }
    const JoinPicture& at(int index) const { return m_pictures.at(index); }
    JoinPicture& at(int index) { return m_pictures[index]; }
    QList<JoinPicture>& pictures() { return m_pictures; }
    const QList<JoinPicture>& pictures() const { return m_pictures; }
    // The index of the picture that shows this file, or -1.
    int indexOfFile(const QString& file) const;

    // Nudges or turns the current picture, or steps to the next picture
    // (after the last comes the first).
    void modify(ModifyCode code);
    // Deletes the current picture or moves it one layer; false when nothing changed.
    bool reorder(LayerCode code);
    // Moves the current picture, or the whole drawing (the origin), by a
    // distance on the view.
    void move(int dx, int dy, bool wholeDrawing);

    float zoom() const { return m_zoom; }
    QPoint origin() const { return m_origin; }
    void setMapping(float zoom, const QPoint& origin);
    // A zoom step; Fit fits the drawn bounds into the client rectangle.
    void zoomStep(ZoomCode code, const QRect& drawn);
    // A zoom step that keeps the drawing point under a view point where it
    // is; Fit fits as zoomStep does.
    void zoomAt(ZoomCode code, const QPoint& viewPoint, const QRect& drawn);
    // A distance on the view in canvas units, to the nearest unit.
    qint64 canvasDistance(qint64 viewDistance) const;
    // The canvas point under a view point, to the nearest unit.
    QPoint canvasPoint(const QPoint& viewPoint) const;
    // Multiplies the zoom by factor, keeping the canvas point under the
    // screen point at where it is (to within a pixel); the zoom stays inside
    // [MinZoom, MaxZoom]. False when the zoom is already at that end.
    bool zoomAbout(double factor, const QPoint& at);
    // Slides the canvas across the view by a screen distance.
    void scroll(int dx, int dy);
    // The canvas point, in canvas units, under a screen point.
    QPointF canvasPoint(const QPointF& screen) const;
    // The screen box of a picture's unrotated box.
    QRect screenBox(const JoinPicture& picture) const;

    QRect clientRect() const { return m_clientRect; }
    void setClientRect(const QRect& rect) { m_clientRect = rect; }
    bool hotTransparent() const { return m_hotTransparent; }
    void setHotTransparent(bool on) { m_hotTransparent = on; }

private:
    QList<JoinPicture> m_pictures;
    int m_current = 0;
    float m_zoom = 1.0f;
    QPoint m_origin;
    QRect m_clientRect;
    bool m_hotTransparent = false;
};
