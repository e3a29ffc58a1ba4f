#pragma once

#include "ColorRef.h"

#include <QImage>
#include <QRect>

#include <array>
#include <optional>

// The small patch of the canvas the background-colour tool works on: at most
// MaxWidth x MaxHeight pixels cut from the view's own rendering, from the
// band's top-left corner. The tool picks a colour in it or averages it, and
// tries a tolerance on it before the same replacement goes to the picture.
class BkColorSample
{
public:
    static constexpr int MaxWidth = 120;
    static constexpr int MaxHeight = 60;

    // Lowest and highest value of each channel (red, green, blue) that lies
    // within a tolerance of a colour, clamped to 0 and 255.
    struct Range
    {
        std::array<uchar, 3> lo{};
        std::array<uchar, 3> hi{};
    };

    BkColorSample() = default;
    // The pixels of the clamped band (clampBand) cut from a rendering; what
    // lies beyond the rendering is black.
    BkColorSample(const QImage& rendering, const QRect& band);

    // The band cut to at most MaxWidth x MaxHeight, keeping its left and top edge.
    static QRect clampBand(const QRect& band);
    static Range range(ColorRef colour, int tolerance);

    int width() const { return m_pixels.width(); }
    int height() const { return m_pixels.height(); }
    bool isEmpty() const { return m_pixels.isNull(); }
    // The sample as it is now, opaque RGB.
    const QImage& image() const { return m_pixels; }

    // The pixel in column x of row y; none outside the sample.
    std::optional<ColorRef> pick(int x, int y) const;
    // The integer mean of each channel; none for an empty sample.
    std::optional<ColorRef> average() const;
    // How many different colours the sample holds.
    int colourCount() const;
    // Every pixel whose three channels lie within the range of colour,
    // both ends included, becomes colour.
    void replaceWithin(ColorRef colour, int tolerance);

private:
    QImage m_pixels; // Format_RGB32
};
