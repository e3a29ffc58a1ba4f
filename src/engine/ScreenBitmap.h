#pragma once

#include "IoResult.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QString>

// A screen capture as a 24-bit Windows bitmap: the 14-byte file header, the
// 40-byte info header with no resolution and no colour counts, then the rows
// bottom-up, each in blue, green, red order and padded with zeros to a
// multiple of four bytes.
class ScreenBitmap
{
    Q_DECLARE_TR_FUNCTIONS(ScreenBitmap)

public:
    static constexpr int HeaderSize = 54;

    // Bytes of one pixel row of a picture this wide, padding included.
    static qint64 rowLength(int width);
    // The whole file; empty for a null picture.
    static QByteArray encode(const QImage& screen);
    // Writes the file at path whole or not at all, saying why on failure.
    static IoStatus write(const QImage& screen, const QString& path);
};
