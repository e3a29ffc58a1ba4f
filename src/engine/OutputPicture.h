#pragma once

#include "JoinCodes.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// The single picture of print-output mode: the file shown now (a processed
// or trimmed result in the temporary folder, or the picture itself), the file
// it came from, and where and how large the view shows it. The first paint
// after a change fits it into the view.
class OutputPicture
{
public:
    // A new output picture, shown fitted at the next paint.
    void open(const QString& file);
    // Back to the file it came from.
    void restore() { m_file = m_originalFile; }
    // A new picture in place of this one, which is also what restore returns
    // to; the position and the zoom stay.
    void replace(const QString& file)
    {
        m_file = file;
        m_originalFile = file;
    }
    // A result that replaces what is shown; the original stays.
    void setFile(const QString& file) { m_file = file; }
    // Position and zoom back to their defaults, fitted at the next paint.
    void resetPlacement();

    QString file() const { return m_file; }
    QString originalFile() const { return m_originalFile; }
    QPoint position() const { return m_position; }
    float zoom() const { return m_zoom; }
    bool fitted() const { return m_fitted; }

    // Moves the picture; the position stays inside the int range.
    void move(int dx, int dy);
    // A zoom step; Fit refits at the next paint, 1:1 keeps the position.
    void zoomStep(ZoomCode code);
    // Multiplies the zoom by factor, keeping the picture point under the
    // screen point at where it is (to within a pixel); the zoom stays inside
    // [minZoom, maxZoom]. False when the zoom is already at that end.
    bool zoomAbout(double factor, const QPoint& at, double minZoom, double maxZoom);
    // Fits a picture of this size into the clip box when a fit is due and
    // the box is wide enough (more than 300 pixels).
    void fitInto(const QRect& clip, const QSize& pictureSize);
    // Where the picture lies on the view.
    QRect screenBox(const QSize& pictureSize) const;

    // The one of two names that is not the file shown now, so a result is
    // never written over the file it is read from.
    QString otherName(const QString& first, const QString& second) const
    {
        return first == m_file ? second : first;
    }

private:
    QString m_file;
    QString m_originalFile;
    QPoint m_position;
    float m_zoom = 1.0f;
    bool m_fitted = false;
};
