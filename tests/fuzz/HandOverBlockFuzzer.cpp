// Hand-over files of any content: the block's fields, then the engine taking
// over the request. The engine writes the joined picture into the folder the
// block names, so for that part the folder is always the scratch folder;
// everything else comes from the input.
#include "FuzzScratch.h"

#include "CImgJoinEngine.h"
#include "PrintInfoBlock.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstdlib>

namespace {

// Tiles t00 ... t11 of a 2 x 2 grid.
void addTiles(FuzzScratch& scratch)
{
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column)
            scratch.addFixture(QStringLiteral("t%1%2.png").arg(row).arg(column),
                               FuzzScratch::picture(6, 4, qRgb(40 * row, 90, 40 * column), "PNG"));
    }
}

// A field read back from the block is stored again unchanged.
void checkFields(const PrintInfoBlock& block)
{
    PrintInfoBlock copy = block;
    if (copy.setName(block.name()) && copy.name() != block.name())
        std::abort();
    if (copy.setDirectory(block.directory()) && copy.directory() != block.directory())
        std::abort();
    copy.setRows(block.rows());
    copy.setColumns(block.columns());
    if (copy.rows() != block.rows() || copy.columns() != block.columns() ||
        copy.status() != block.status() || copy.bytes().size() != PrintInfoBlock::Size)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzScratch& scratch = FuzzScratch::instance();
    static const bool tiles = (addTiles(scratch), true);
    (void)tiles;

    PrintInfoBlock block;
    block.fill(FuzzScratch::bytes(data, size));
    checkFields(block);

    // Only tile names inside the scratch folder are taken over.
    if (block.name().contains(QLatin1Char('/')) || !block.setDirectory(scratch.path()))
        return 0;
    scratch.reset();
    CImgJoinEngine engine;
    engine.SetDataDir(scratch.path());
    const QString handOver = QFileInfo(engine.printInfoFile()).fileName();
    // A short file is kept short, but never cut inside the folder field.
    const QByteArray request =
        block.bytes().left(std::max<qsizetype>(qsizetype(size), PrintInfoBlock::NameOffset));
    scratch.write(handOver, request);

    const char status = block.status();
    const bool asks = status == PrintInfoBlock::Pending || status == PrintInfoBlock::Raise;
    if (engine.HasPendingPrintImage() != (asks ? 1 : 0))
        std::abort();
    const int taken = engine.TakePendingPrintImage();
    if (taken != 0 && status != PrintInfoBlock::Pending)
        std::abort();

    // A served request is marked as served; anything else leaves the file as
    // it was.
    QFile file(scratch.filePath(handOver));
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    const QByteArray after = file.readAll();
    if (taken != 0 && after.at(0) != PrintInfoBlock::TakenOver)
        std::abort();
    if (!asks && after != request)
        std::abort();
    return 0;
}
