// The engine's data files: the settings file, the print-image hand-over file
// with the tiles it names, and the temporary folder.
#include "CImgJoinEngine.h"

#include "ImageCodec.h"
#include "ParallelFor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

constexpr int SingleFileResult = 100; // StitchTiles used the named file as it is
constexpr int MaxTileRows = 99;       // tile names carry the row and column as decimals
constexpr int MaxTileColumns = 99;
constexpr char AskHotKey = ' ';

QString joinedPictureName()
{
    return QStringLiteral("qznPrtJoinImg123.png");
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// A name whose fourth-last character is '.' is a whole file, not a tile stem.
bool isSingleFile(const QString& stem)
{
    return stem.size() > 3 && stem.at(stem.size() - 4) == QLatin1Char('.');
}

QString tilePath(const QString& stem, int row, int column)
{
    return stem + QStringLiteral("%1%2.png").arg(row).arg(column);
}

// The canvas the tiles are copied into, shared by the decoding threads. Each
// thread writes only into the cell of the tile it decoded.
struct TileCanvas
{
    uchar* bits = nullptr;
    qsizetype bytesPerLine = 0;
    QRect bounds;
    QSize pitch; // size of one grid cell: the first tile's size
    int columns = 0;

    QRect cell(int row, int column) const
    {
        return QRect(QPoint(column * pitch.width(), row * pitch.height()), pitch);
    }
};

// One grid cell: where its tile comes from and what became of it.
struct TileCell
{
    int row = 0;
    int column = 0;
    QString path;
    QImage image;  // kept only when the tile reaches beyond its cell
    QSize covered; // part of the cell the tile's own pixels cover
    QString error; // why the tile could not be read
};

// The tile in a format whose pixels can be copied into the canvas as they
// are: opaque 32-bit pixels already carry alpha 0xFF.
QImage canvasPixels(QImage tile)
{
    if (tile.format() == QImage::Format_ARGB32 || tile.format() == QImage::Format_RGB32)
        return tile;
    return std::move(tile).convertToFormat(QImage::Format_ARGB32);
}

// Copies area (canvas coordinates) out of an ARGB32 tile whose top-left
// corner lies at origin.
void copyArea(const QImage& tile, QPoint origin, const QRect& area, const TileCanvas& canvas)
{
    if (area.isEmpty())
        return;
    const int x = area.left() - origin.x();
    const size_t bytes = size_t(area.width()) * 4;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* source = tile.constScanLine(y - origin.y()) + qsizetype(x) * 4;
        uchar* target =
            canvas.bits + qsizetype(y) * canvas.bytesPerLine + qsizetype(area.left()) * 4;
        std::memcpy(target, source, bytes);
    }
}

// Clears area (canvas coordinates) to transparent.
void clearArea(const QRect& area, const TileCanvas& canvas)
{
    if (area.isEmpty())
        return;
    const size_t bytes = size_t(area.width()) * 4;
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::memset(canvas.bits + qsizetype(y) * canvas.bytesPerLine + qsizetype(area.left()) * 4,
                    0, bytes);
}

// What a rectangle of size cover, laid at the top-left corner of box, leaves
// of box: a strip to its right and a strip below it (either may be empty).
std::array<QRect, 2> uncovered(const QRect& box, QSize cover)
{
    const QPoint end(box.left() + cover.width(), box.top() + cover.height());
    return { QRect(QPoint(end.x(), box.top()), box.bottomRight()),
             QRect(QPoint(box.left(), end.y()), QPoint(end.x() - 1, box.bottom())) };
}

// Decodes the tile of one cell, copies the part that falls inside the cell
// and clears the rest of the cell. No later tile can reach into a cell (tiles
// grow only to the right and down), so the copied part is final.
void placeTile(TileCell& cell, const QImage& shared, const TileCanvas& canvas)
{
    QImage tile = shared;
    if (tile.isNull()) {
        ImageCodec::ReadResult result = ImageCodec::read(cell.path);
        cell.error = result.error;
        if (result.ok())
            tile = canvasPixels(std::move(result.value));
    }
    const QRect box = canvas.cell(cell.row, cell.column);
    const QRect drawn = QRect(box.topLeft(), tile.size()).intersected(canvas.bounds);
    const QRect own = drawn.intersected(box);
    copyArea(tile, box.topLeft(), own, canvas);
    cell.covered = own.size();
    for (const QRect& part : uncovered(box, cell.covered))
        clearArea(part, canvas);
    if (drawn != own)
        cell.image = tile;
}

// Copies the part of an oversized tile that spills into a later cell, leaving
// alone what that cell's own tile covers.
void spillInto(const TileCell& from, const TileCell& into, const TileCanvas& canvas)
{
    const QRect origin = canvas.cell(from.row, from.column);
    const QRect box = canvas.cell(into.row, into.column);
    const QRect area = QRect(origin.topLeft(), from.image.size()).intersected(box);
    for (const QRect& part : uncovered(box, into.covered))
        copyArea(from.image, origin.topLeft(), area.intersected(part), canvas);
}

// Oversized tiles, in drawing order, over the cells after them.
void spillOversized(std::vector<TileCell>& cells, const TileCanvas& canvas)
{
    for (const TileCell& from : cells) {
        if (from.image.isNull())
            continue;
        const QRect reach = QRect(canvas.cell(from.row, from.column).topLeft(), from.image.size())
                                .intersected(canvas.bounds);
        const int lastRow = reach.bottom() / canvas.pitch.height();
        const int lastColumn = reach.right() / canvas.pitch.width();
        for (int row = from.row; row <= lastRow; ++row) {
            for (int column = from.column; column <= lastColumn; ++column) {
                if (row != from.row || column != from.column)
                    spillInto(from, cells[size_t(row) * size_t(canvas.columns) + size_t(column)],
                              canvas);
            }
        }
    }
}

// Decodes and places every cell on a few threads; the first picture (already
// decoded) serves the cells that name the same file.
void placeAll(std::vector<TileCell>& cells, const QString& firstPath, const QImage& first,
              const TileCanvas& canvas)
{
    // One tile decoded per core at most: each holds its full-size picture
    // until it is placed.
    const int decodesAtOnce = QThread::idealThreadCount();
    parallelFor(
        int(cells.size()),
        [&](int i) {
            TileCell& cell = cells[size_t(i)];
            placeTile(cell, cell.path == firstPath ? first : QImage(), canvas);
        },
        decodesAtOnce);
}

std::vector<TileCell> gridCells(const QString& stem, int rows, int columns)
{
    const bool single = isSingleFile(stem);
    std::vector<TileCell> cells;
    cells.reserve(size_t(rows) * size_t(columns));
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            TileCell cell;
            cell.row = row;
            cell.column = column;
            cell.path = single ? stem : tilePath(stem, row, column);
            cells.push_back(cell);
        }
    }
    return cells;
}

// Names the first tile that could not be read; empty when all were read.
QString missingTiles(const std::vector<TileCell>& cells)
{
    const auto failed = [](const TileCell& cell) { return !cell.error.isEmpty(); };
    const auto missing = std::count_if(cells.begin(), cells.end(), failed);
    if (missing == 0)
        return {};
    const auto firstMissing = std::find_if(cells.begin(), cells.end(), failed);
    return CImgJoinEngine::tr("有 %1 个图块无法读取, 其位置留空。%2")
        .arg(missing)
        .arg(firstMissing->error);
}

struct Stitched
{
    QImage image;    // null when the grid could not be built
    QString error;   // why not
    QString warning; // tiles left out
};

// The grid of tiles on one picture whose cells have the first tile's size;
// what no tile covers stays transparent.
Stitched stitchGrid(const QString& stem, const QString& firstPath, const QImage& first, int rows,
                    int columns)
{
    const qint64 width = qint64(first.width()) * columns;
    const qint64 height = qint64(first.height()) * rows;
    if (width > ImageCodec::MaxPixels || height > ImageCodec::MaxPixels ||
        width * height > ImageCodec::MaxPixels)
        return { QImage(), CImgJoinEngine::tr("拼合图片过大: %1 x %2 像素").arg(width).arg(height),
                 QString() };
    QImage joined(int(width), int(height), QImage::Format_ARGB32);
    if (joined.isNull())
        return { QImage(),
                 CImgJoinEngine::tr("内存不足, 无法拼合 %1 x %2 像素的图片").arg(width).arg(height),
                 QString() };

    TileCanvas canvas;
    canvas.bits = joined.bits();
    canvas.bytesPerLine = joined.bytesPerLine();
    canvas.bounds = joined.rect();
    canvas.pitch = first.size();
    canvas.columns = columns;
    std::vector<TileCell> cells = gridCells(stem, rows, columns);
    placeAll(cells, firstPath, canvasPixels(first), canvas);
    spillOversized(cells, canvas);
    return { joined, QString(), missingTiles(cells) };
}

bool validGrid(int rows, int columns)
{
    return rows >= 1 && rows <= MaxTileRows && columns >= 1 && columns <= MaxTileColumns;
}

// Writes the whole block back over the start of the file, so a short file
// grows to its full size.
bool writeBlock(QFile& file, const PrintInfoBlock& block)
{
    const QByteArray& bytes = block.bytes();
    return file.seek(0) && file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

// --- settings file -------------------------------------------------------------

void CImgJoinEngine::LoadSettings()
{
    m_settings = SettingsBlock();
    if (!QFileInfo::exists(m_settingsFile)) {
        writeSettings();
        return;
    }
    QFile file(m_settingsFile);
    if (!file.open(QIODevice::ReadOnly)) {
        report(tr("无法读取设置文件 %1: %2").arg(native(m_settingsFile), file.errorString()));
        return;
    }
    m_settings.fill(file.read(SettingsBlock::Size));
}

QString CImgJoinEngine::GetSettingString(int id) const
{
    return m_settings.text(id);
}

bool CImgJoinEngine::SetSettingString(int id, const QString& value)
{
    const IoStatus stored = m_settings.setText(id, value);
    if (!stored.ok()) {
        report(stored.error);
        return false;
    }
    return writeSettings();
}

char CImgJoinEngine::HotKeyLetter(char letter)
{
    if (letter == AskHotKey)
        return m_settings.hotKey();
    m_settings.setHotKey(letter);
    writeSettings();
    return letter;
}

// Replaces the whole file at once, so that it is never left half written.
bool CImgJoinEngine::writeSettings()
{
    QSaveFile file(m_settingsFile);
    const QByteArray& bytes = m_settings.bytes();
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    report(tr("无法写入设置文件 %1: %2").arg(native(m_settingsFile), file.errorString()));
    return false;
}

// --- print-image hand-over --------------------------------------------------------

int CImgJoinEngine::HasPendingPrintImage()
{
    QFile file(m_printInfoFile);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return 0;
    m_printInfo = PrintInfoBlock();
    m_printInfo.fill(file.read(PrintInfoBlock::Size));
    const char status = m_printInfo.status();
    return (status == PrintInfoBlock::Pending || status == PrintInfoBlock::Raise) ? 1 : 0;
}

int CImgJoinEngine::TakePendingPrintImage()
{
    QFile file(m_printInfoFile);
    if (!file.exists())
        return 0;
    const bool opened = file.open(QIODevice::ReadWrite);
    m_output.resetPlacement();
    if (!opened)
        return 0;
    m_printInfo = PrintInfoBlock();
    m_printInfo.fill(file.read(PrintInfoBlock::Size));

    int result = 0;
    if (m_printInfo.status() == PrintInfoBlock::Pending) {
        // A request that cannot be served stays pending.
        const QDir directory(m_printInfo.directory());
        if (StitchTiles(directory.filePath(m_printInfo.name()),
                        directory.filePath(joinedPictureName()), m_printInfo.rows(),
                        m_printInfo.columns(), QStringLiteral("PNG")) == 0)
            return 0;
        m_printInfo.setStatus(PrintInfoBlock::TakenOver);
        result = 1;
    } else if (m_printInfo.status() == PrintInfoBlock::Raise) {
        m_printInfo.setStatus(PrintInfoBlock::RaiseSeen);
    } else {
        return 0;
    }
    if (!writeBlock(file, m_printInfo))
        report(tr("无法改写交接文件 %1: %2").arg(native(m_printInfoFile), file.errorString()));
    return result;
}

int CImgJoinEngine::StitchTiles(const QString& stem, const QString& destination, int rows,
                                int columns, const QString& format)
{
    const bool single = isSingleFile(stem);
    if (single && rows == 1 && columns == 1) {
        m_output.open(stem);
        return SingleFileResult;
    }
    if (!validGrid(rows, columns)) {
        report(tr("图块行列数无效: %1 行 %2 列").arg(rows).arg(columns));
        return 0;
    }
    const QString firstPath = single ? stem : tilePath(stem, 0, 0);
    const ImageCodec::ReadResult first = ImageCodec::read(firstPath);
    if (!first.ok()) {
        report(first.error);
        return 0;
    }
    const Stitched joined = stitchGrid(stem, firstPath, first.value, rows, columns);
    if (!joined.warning.isEmpty())
        report(joined.warning);
    if (joined.image.isNull()) {
        report(joined.error);
        return 0;
    }
    const ImageCodec::Format encoder = ImageCodec::formatForSuffix(format);
    const IoStatus written =
        ImageCodec::write(joined.image, destination, encoder, ImageCodec::Effort::Fast);
    if (!written.ok()) {
        report(tr("无法写入拼合图片 %1: %2").arg(native(destination), written.error));
        return 0;
    }
    m_output.open(destination);
    return joined.image.width();
}

// --- temporary folder ------------------------------------------------------------

// Deletes the plain files of the temporary folder; sub-folders and whatever
// links point at stay. Returns the number of entries found.
int CImgJoinEngine::DeleteTempFiles()
{
    const QFileInfo folder(tempDir());
    if (!folder.isDir())
        return 0;
    if (folder.isSymLink()) {
        report(tr("临时文件夹 %1 是一个链接, 其中的文件未删除").arg(native(folder.filePath())));
        return 0;
    }
    const QFileInfoList entries =
        QDir(folder.filePath())
            .entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        // A link to a folder counts as a folder; any other link is a file,
        // and removing it removes the link only.
        const bool removable = entry.isSymLink() ? !entry.isDir() : entry.isFile();
        if (removable)
            QFile::remove(entry.filePath());
    }
    return int(entries.size());
}
