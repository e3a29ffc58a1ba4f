#pragma once

#include "IoResult.h"

#include <QCoreApplication>
#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

class QIODevice;

// Decoding and encoding of picture files. Every picture the engine reads or
// writes goes through here, so the size limits, the error texts and the choice
// of encoder are the same everywhere.
class ImageCodec
{
    Q_DECLARE_TR_FUNCTIONS(ImageCodec)

public:
    enum class Format
    {
        Bmp,
        Jpeg,
        Png,
        Gif
    };

    // How much effort a PNG encoder spends: temporary files favour speed.
    enum class Effort
    {
        Normal,
        Fast
    };

    // Largest picture we decode, in pixels (a 16000 x 12000 drawing fits).
    static constexpr qint64 MaxPixels = qint64(16000) * 12000;

    using ReadResult = IoResult<QImage>;

    // Decodes the whole file. Fails with a reason for missing, unreadable,
    // truncated or too large files.
    static ReadResult read(const QString& path);

    // Decodes only the top-left keep.width() x keep.height() pixels (fewer
    // where the picture is smaller), as Format_ARGB32. A PNG file is decoded
    // only as far as needed; other formats are decoded whole and cut.
    static ReadResult readTopLeft(const QString& path, QSize keep);

    // Reads only the header.
    static IoResult<QSize> readSize(const QString& path);

    // Encoder for a file suffix, compared without regard to case ("jpg",
    // "JPEG", "Png"...). A suffix no encoder serves gives PNG and sets
    // *served to false.
    static Format formatForSuffix(const QString& suffix, bool* served = nullptr);

    // The suffix a file written in this format should carry ("bmp", "jpg", ...).
    static QString suffixFor(Format format);

    // The format a file's content is in, told by its first bytes whatever
    // its name says; none for a file that cannot be read or holds another.
    static std::optional<Format> storedFormat(const QString& path);

    // Index of the encoder for a MIME type ("image/jpeg", "image/bmp",
    // "image/png", "image/gif"), or -1 when none serves it.
    static int FindImageEncoder(const QString& mimeType);

    // Whether a file may be written at path by writing a new file and
    // renaming it over the old one: it does not exist yet, or it is a plain
    // file the user may write. Devices, pipes, read-only files and files with
    // more than one hard link are refused.
    static IoStatus replaceableTarget(const QString& path);

    // Writes the picture atomically: on failure an existing file at path is
    // left as it was; targets replaceableTarget refuses are left alone. JPEG
    // is written at quality 100 without colour subsampling.
    static IoStatus write(const QImage& image, const QString& path, Format format,
                          Effort effort = Effort::Normal);

    // Writes a file atomically as write() does, with the bytes encode writes
    // to the device it is given; a failure of encode leaves the old file.
    static IoStatus writeWith(const QString& path,
                              const std::function<IoStatus(QIODevice*)>& encode);

    // The zlib level PNG files are written at, for an effort.
    static int pngLevel(Effort effort);

    // Same, with the format taken from the path's suffix (formatForSuffix: a
    // suffix no encoder serves is written as PNG).
    static IoStatus write(const QImage& image, const QString& path, Effort effort = Effort::Normal);
};
