#pragma once

#include <QImage>
#include <QString>

class QIODevice;

// Writes a picture as a single-image GIF89a file. A picture of at most 256
// colours keeps them exactly; others are reduced by ColorQuantizer. Pixels
// whose alpha is below 128 become the file's transparent colour.
class GifWriter
{
public:
    static bool write(const QImage& image, QIODevice* device, QString* error = nullptr);
};
