#pragma once

#include "IoResult.h"
#include "PngStreamWriter.h"

#include <QCoreApplication>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class PngRowReader;

// Composes the joined picture band by band, top to bottom: every band gets
// exactly the pixels the same rows of a whole-canvas composition would hold,
// the pictures drawn in order over a transparent ground. A picture lying as
// it is in a PNG file is decoded row by row as the bands reach it; any other
// (turned, stretched, of another format, or already decoded) is made whole
// when the first band reaches it and dropped after the last. So no file is
// decoded twice, and besides the band only the pictures the band crosses are
// held.
class BandComposer
{
    Q_DECLARE_TR_FUNCTIONS(BandComposer)

public:
    struct Layer
    {
        QString file;
        QRect box;          // where the unturned picture lies, in canvas pixels
        float angle = 0.0f; // degrees, clockwise, about the box centre (integer halves)
        QImage image;       // the decoded picture when it is at hand already
    };

    // Decodes a whole file (a picture not at hand and not read row by row).
    using Decoder = std::function<IoResult<QImage>(const QString& file)>;

    BandComposer(QSize canvas, QList<Layer> layers, Decoder decoder);
    ~BandComposer();
    BandComposer(const BandComposer&) = delete;
    BandComposer& operator=(const BandComposer&) = delete;

    // Reads the headers of the pictures; a failure names the one that cannot
    // be read.
    IoStatus open();

    // What the headers tell of the joined picture's alpha: opaque when opaque
    // unturned pictures cover the canvas, translucent when some canvas pixel
    // lies outside every picture.
    PngStreamWriter::Alpha alpha() const { return m_alpha; }

    QSize size() const { return m_canvas; }
    int rowsDone() const { return m_rowsDone; }

    // Composes the next band.height() rows into band (Format_ARGB32_Premultiplied,
    // as wide as the canvas; the caller may hand in a view of a larger picture).
    IoStatus compose(QImage& band);

private:
    struct Source;

    IoStatus prepare(Source& source);

    QSize m_canvas;
    Decoder m_decoder;
    std::vector<std::unique_ptr<Source>> m_sources;
    PngStreamWriter::Alpha m_alpha = PngStreamWriter::Alpha::Unknown;
    int m_rowsDone = 0;
};
