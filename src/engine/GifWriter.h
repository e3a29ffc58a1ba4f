#pragma once

#include "IoResult.h"

#include <QCoreApplication>
#include <QImage>
#include <QString>

class QIODevice;

// Writes a picture as a single-image GIF89a file. A picture of at most 256
// colours keeps them exactly; others are reduced by ColorQuantizer. Pixels
// whose alpha is below 128 become the file's transparent colour.
class GifWriter
{
    Q_DECLARE_TR_FUNCTIONS(GifWriter)

public:
    static IoStatus write(const QImage& image, QIODevice* device);
};
