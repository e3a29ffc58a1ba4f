#pragma once

#include "IoResult.h"

#include <QCoreApplication>
#include <QFuture>
#include <QHash>
#include <QImage>
#include <QList>
#include <QSize>

#include <deque>
#include <memory>
#include <vector>

class QIODevice;

// A PNG encoder that takes the picture a band of rows at a time, so that a
// picture far larger than memory can be written while it is being made.
// Every band is filtered and deflated on a worker as soon as it comes in,
// several bands at once, and written out in order; the bands are joined into
// one zlib stream (each ends on a byte boundary with a full flush, and the
// checksums are combined).
//
// The file holds the smallest exact form of the whole picture, as the
// whole-picture encoder chooses it: an 8-bit palette when the picture is
// opaque with at most 256 colours, RGB when it is opaque, RGBA otherwise.
// Until the rows seen so far settle the choice, the compressed bands are
// held in memory; when a later band overturns it (a 257th colour, a first
// translucent pixel), the held bands are turned into the new form. For a
// picture known to be opaque or translucent in advance, only its first band
// is held (and only while its colours are counted).
class PngStreamWriter
{
    Q_DECLARE_TR_FUNCTIONS(PngStreamWriter)

public:
    // What the caller knows of the picture's alpha before it is made.
    enum class Alpha
    {
        Opaque,      // no pixel is translucent
        Unknown,     // the rows tell
        Translucent, // some pixel is (the file is RGBA whatever the rows hold)
    };

    enum class ColourType
    {
        Palette,
        Rgb,
        Rgba
    };

    // level: zlib compression level, 1 (fastest) to 9 (smallest).
    PngStreamWriter(QIODevice* device, QSize size, Alpha alpha, int level);
    ~PngStreamWriter();
    PngStreamWriter(const PngStreamWriter&) = delete;
    PngStreamWriter& operator=(const PngStreamWriter&) = delete;

    // The next rows of the picture, top to bottom: as wide as the picture,
    // in Format_ARGB32_Premultiplied, Format_ARGB32 or Format_RGB32. The
    // rows are shared, not copied: the caller must not write to them after
    // (a QPainter or scanLine() on its own copy detaches it).
    IoStatus add(const QImage& rows);

    // Writes what is still held and ends the file; every row must have come.
    IoStatus finish();

    // The form the file takes, as far as the rows so far tell.
    ColourType colourType() const { return m_type; }

private:
    struct Band;
    using BandPtr = std::shared_ptr<Band>;

    IoStatus submit(const QImage& rows);
    IoStatus collect(bool all);
    IoStatus emitBand(const BandPtr& band);
    IoStatus commit();
    IoStatus changeType(ColourType type);
    IoStatus writeChunk(const char* type, const char* data, qsizetype size);
    IoStatus failedWrite();
    bool mapToPalette(const QImage& rows, QByteArray& indices);

    QIODevice* m_device;
    QSize m_size;
    Alpha m_alpha;
    int m_level;
    ColourType m_type;
    int m_rowsAdded = 0;
    bool m_committed = false;
    bool m_failed = false;
    QImage m_lastRows; // the band before the next one: its last row is the next one's "above"

    std::deque<std::pair<BandPtr, QFuture<void>>> m_inFlight;
    std::vector<BandPtr> m_held; // compressed bands not yet written
    // Checksum of the rows already written (adler32 over the filtered rows).
    unsigned long m_adler = 1;

    QHash<QRgb, int> m_palette;
    QList<QRgb> m_colours;
};
