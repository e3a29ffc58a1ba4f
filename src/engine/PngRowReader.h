#pragma once

#include "IoResult.h"
#include "SpngDevice.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QSize>
#include <QString>

#include <vector>

// Decodes a PNG file a few rows at a time, top to bottom, so that a picture
// is never held whole: 8-bit (and fewer bits) non-interlaced pictures of every
// colour type. The rows come as Qt's decoder gives the picture's pixels:
// Format_RGB32 for pictures without transparency, Format_ARGB32 otherwise.
class PngRowReader
{
    Q_DECLARE_TR_FUNCTIONS(PngRowReader)

public:
    PngRowReader();

    // Reads the file's header. true when the rows can be read here; false
    // when the file is no PNG or one of a kind left to the whole-picture
    // decoder (16 bits, interlaced, too large); a failure for a broken file.
    IoResult<bool> open(const QString& path);

    QSize size() const { return m_size; }
    bool opaque() const { return m_opaque; }
    QImage::Format format() const
    {
        return m_opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32;
    }
    int rowsRead() const { return m_rowsRead; }

    // Decodes the next rows into the top rows of into, which must be as wide
    // as the picture, at least that high, and in format().
    IoStatus read(QImage& into, int rows);

private:
    IoStatus failed(int code);

    QFile m_file;
    SpngDevice::Context m_context;
    QSize m_size;
    bool m_opaque = true;
    bool m_rgb = false; // stored as RGB without transparency
    std::vector<uchar> m_rowBuffer;
    int m_rowsRead = 0;
};
