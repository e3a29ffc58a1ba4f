#pragma once

#include <QImage>

// Turns a picture into 8-bit indexes over a colour table, for encoders that
// need a palette (GIF always, PNG when the picture has few colours).
class ColorQuantizer
{
public:
    // The picture as indexes over its own ARGB values when it has at most
    // maxColours of them, otherwise a null image. Pixels are kept exactly.
    static QImage exactIndexed(const QImage& image, int maxColours = 256);

    // The picture over at most maxColours (2..256) colours. A pixel whose alpha
    // is below 128 becomes transparent and takes the entry qRgba(0, 0, 0, 0),
    // which then counts against maxColours; every other pixel is treated as
    // opaque. A picture with few enough colours keeps them exactly; others get
    // a median-cut palette and each pixel the entry nearest to its colour.
    static QImage quantize(const QImage& image, int maxColours = 256);

    // The picture with a colour table that covers every index its pixels
    // use. Decoders may hand over indexes past the end of a file's palette;
    // Qt shows such a pixel as opaque black (transparent when the table has
    // alpha), and the added entries keep exactly that colour, so the pixels
    // look the same and no encoder writes an index outside its palette.
    // Pictures without a colour table come back unchanged.
    static QImage withWholePalette(const QImage& image);
};
