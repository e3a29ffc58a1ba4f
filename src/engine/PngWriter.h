#pragma once

#include "IoResult.h"

#include <QCoreApplication>
#include <QImage>
#include <QString>

class QIODevice;

// A PNG encoder that compresses the rows on all cores: the rows are cut into
// bands, each band is deflated on its own thread, and the bands are joined
// into one zlib stream (each band ends on a byte boundary with a full flush,
// and the checksums are combined). Palette, grey, RGB and RGBA pictures are
// written at 8 bits per sample, without interlacing.
class PngWriter
{
    Q_DECLARE_TR_FUNCTIONS(PngWriter)

public:
    // level: zlib compression level, 1 (fastest) to 9 (smallest).
    static IoStatus write(const QImage& image, QIODevice* device, int level);
};
