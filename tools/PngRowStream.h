#pragma once

#include "IoResult.h"

#include <QCoreApplication>
#include <QImage>
#include <QString>

#include <functional>

// Streams one PNG file into another through a function applied row by row.
// The input is decoded and transformed on the calling thread while a second
// thread compresses the rows already done, so the two halves of the work
// overlap and a large drawing is never held whole in memory. The output is
// replaced only when it has been written completely.
class PngRowStream
{
    Q_DECLARE_TR_FUNCTIONS(PngRowStream)

public:
    enum class Output
    {
        Grey, // one byte a pixel
        Rgb   // 0xFFRRGGBB a pixel
    };

    // How a run that did not fail ended.
    enum class Streamed
    {
        Done,
        NotStreamable // not a PNG this class reads row by row: use the whole-picture path
    };

    // Gets width pixels 0xAARRGGBB (not premultiplied) and fills one output row.
    using RowFunction = std::function<void(const QRgb* in, uchar* out, int width)>;

    static IoResult<Streamed> run(const QString& input, const QString& output, Output kind,
                                  const RowFunction& rowFunction);
};
