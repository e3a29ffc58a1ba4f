// imgjoin stitch over a 2 x 2 grid of small tiles, one of which is the input:
// the first byte picks the tile (0 to 3), the rest is its file.
#include "FuzzScratch.h"

#include "ImageCodec.h"
#include "ImgJoinCommand.h"

#include <QTextStream>

#include <cstdlib>

namespace {

QString tileName(int index)
{
    return QStringLiteral("t%1%2.png").arg(index / 2).arg(index % 2);
}

void addTiles(FuzzScratch& scratch)
{
    for (int index = 0; index < 4; ++index)
        scratch.addFixture(tileName(index),
                           FuzzScratch::picture(6, 4, qRgb(60 * index, 90, 200), "PNG"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzScratch& scratch = FuzzScratch::instance();
    static const bool tiles = (addTiles(scratch), true);
    (void)tiles;
    if (size < 1)
        return 0;

    scratch.reset();
    const int mutated = data[0] % 4;
    scratch.write(tileName(mutated), FuzzScratch::bytes(data + 1, size - 1));

    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    ImgJoinCommand command(out, err);
    const QString output = QStringLiteral("out.png");
    const int status = command.run({ QStringLiteral("stitch"), QStringLiteral("t"),
                                     QStringLiteral("2"), QStringLiteral("2"), output });
    err.flush();
    if (status != ImgJoinCommand::Ok) {
        if (status != ImgJoinCommand::Failed || errText.isEmpty())
            std::abort();
        return 0;
    }
    // The grid's pitch is the first tile's size.
    const IoResult<QSize> first = ImageCodec::readSize(scratch.filePath(tileName(0)));
    const IoResult<QSize> joined = ImageCodec::readSize(scratch.filePath(output));
    if (!first.ok() || !joined.ok() || joined.value != first.value * 2)
        std::abort();
    return 0;
}
