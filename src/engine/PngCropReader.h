#pragma once

#include "IoResult.h"

#include <QCoreApplication>
#include <QImage>
#include <QSize>

#include <optional>

class QIODevice;

// Decodes only the top-left part of a PNG picture, row by row, so that a
// large picture of which little is needed never sits whole in memory: rows
// below the part are not decoded at all, columns right of it are dropped as
// each row comes.
class PngCropReader
{
    Q_DECLARE_TR_FUNCTIONS(PngCropReader)

public:
    // The top-left keep.width() x keep.height() pixels (fewer where the
    // picture is smaller) as Format_ARGB32, read from the start of device.
    // No value when the picture is of a kind left to the general decoder
    // (16 bits per sample, interlaced); a failure names shownPath.
    static std::optional<IoResult<QImage>> read(QIODevice& device, QSize keep,
                                                const QString& shownPath);
};
