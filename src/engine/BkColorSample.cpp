#include "BkColorSample.h"

#include <QPainter>
#include <QSet>

#include <algorithm>

BkColorSample::BkColorSample(const QImage& rendering, const QRect& band)
{
    const QRect cut = clampBand(band.normalized());
    if (cut.isEmpty())
        return;
    m_pixels = QImage(cut.size(), QImage::Format_RGB32);
    m_pixels.fill(Qt::black);
    QPainter painter(&m_pixels);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QRect inside = cut & rendering.rect();
    if (!inside.isEmpty())
        painter.drawImage(inside.topLeft() - cut.topLeft(), rendering, inside);
}

QRect BkColorSample::clampBand(const QRect& band)
{
    return QRect(band.topLeft(),
                 QSize(std::min(band.width(), MaxWidth), std::min(band.height(), MaxHeight)));
}

BkColorSample::Range BkColorSample::range(ColorRef colour, int tolerance)
{
    const int channels[3] = { colorRefRed(colour), colorRefGreen(colour), colorRefBlue(colour) };
    Range result;
    for (int i = 0; i < 3; ++i) {
        result.lo[i] = uchar(std::clamp(channels[i] - tolerance, 0, 255));
        result.hi[i] = uchar(std::clamp(channels[i] + tolerance, 0, 255));
    }
    return result;
}

std::optional<ColorRef> BkColorSample::pick(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width() || y >= height())
        return std::nullopt;
    return rgbToColorRef(m_pixels.pixel(x, y));
}

std::optional<ColorRef> BkColorSample::average() const
{
    if (isEmpty())
        return std::nullopt;
    qint64 sum[3] = {};
    for (int y = 0; y < height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(m_pixels.constScanLine(y));
        for (int x = 0; x < width(); ++x) {
            sum[0] += qRed(row[x]);
            sum[1] += qGreen(row[x]);
            sum[2] += qBlue(row[x]);
        }
    }
    const qint64 count = qint64(width()) * height();
    return makeColorRef(int(sum[0] / count), int(sum[1] / count), int(sum[2] / count));
}

int BkColorSample::colourCount() const
{
    QSet<QRgb> seen;
    for (int y = 0; y < height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(m_pixels.constScanLine(y));
        for (int x = 0; x < width(); ++x)
            seen.insert(row[x] | 0xFF000000u);
    }
    return int(seen.size());
}

void BkColorSample::replaceWithin(ColorRef colour, int tolerance)
{
    const Range r = range(colour, tolerance);
    const QRgb replacement = colorRefToRgb(colour);
    const auto within = [&r](int value, int channel) {
        return r.lo[channel] <= value && value <= r.hi[channel];
    };
    for (int y = 0; y < height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(m_pixels.scanLine(y));
        for (int x = 0; x < width(); ++x) {
            if (within(qRed(row[x]), 0) && within(qGreen(row[x]), 1) && within(qBlue(row[x]), 2))
                row[x] = replacement;
        }
    }
}
