#include "CaptureAligner.h"

int CaptureAligner::Result::placedCount() const
{
    return int(placed.count(true));
}

QRect CaptureAligner::findDrawingArea(const QList<QImage>&)
{
    return {};
}

CaptureAligner::Result CaptureAligner::align(const QList<QImage>& captures, const Options&)
{
    Result result;
    result.placed = QList<bool>(captures.size(), false);
    result.offsets = QList<QPoint>(captures.size());
    result.confidence = QList<double>(captures.size(), 0.0);
    result.whyLeftOut = QList<QString>(captures.size());
    return result;
}

bool CaptureAligner::locate(const QImage&, const QImage&, QPoint&, double&)
{
    return false;
}

CaptureAligner::Check CaptureAligner::verify(const QImage&, const QImage&, const QPoint&, QRgb)
{
    return {};
}

QImage CaptureAligner::compose(const QList<QImage>&, const Result&)
{
    return {};
}
