#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

// Where a picture goes on one printed page: margins of a sixteenth of the
// page on each side (at least MinMargin device units), and the picture
// scaled by one factor for both directions to the largest size that fits
// between them. Pure arithmetic in device units, for the printer, the PDF
// writer and the tests alike.
class PageLayout
{
public:
    static constexpr int MinMargin = 80;

    enum class Placement
    {
        TopLeft, // against the top and left margins
        Centred  // in the middle of the space between the margins
    };

    static QMargins margins(const QSize& page);
    // The picture's box on a page; empty when the picture or the space
    // between the margins is empty.
    static QRect fitted(const QRect& page, const QSize& picture, Placement placement);
};
