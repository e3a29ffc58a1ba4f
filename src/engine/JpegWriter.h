#pragma once

#include "IoResult.h"

#include <QCoreApplication>
#include <QImage>
#include <QString>

class QIODevice;

// Writes a picture as a baseline JPEG file through TurboJPEG. Colour is kept
// at full resolution (no chroma subsampling), so one-pixel coloured lines of
// a drawing keep their colour; grey pictures are written with one channel. A
// transparent pixel shows as its colour over black, as in the other opaque
// formats. 32-bit and RGB888 pictures are compressed straight from their own
// rows: a joined drawing is never copied before it is encoded.
class JpegWriter
{
    Q_DECLARE_TR_FUNCTIONS(JpegWriter)

public:
    // Largest width or height a JPEG file can have.
    static constexpr int MaxSide = 65500;

    // quality: 1 to 100.
    static IoStatus write(const QImage& image, QIODevice* device, int quality = 100);
};
