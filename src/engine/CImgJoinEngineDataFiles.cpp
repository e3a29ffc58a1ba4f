// The engine's data files: the settings file, the print-image hand-over file
// with the tiles it names, and the temporary folder.
#include "CImgJoinEngine.h"

#include "ImageCodec.h"
#include "IoErrorText.h"
#include "ParallelFor.h"
#include "WriteFailure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QThread>

#include <algorithm>
#include <array>
#include <cerrno>
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
    QImage image;  // the decoded part of the tile until it is drawn
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

// The part of a cell's tile that lands on the canvas, decoded; the rest of
// a large tile is never held in memory.
void decodeTile(TileCell& cell, const TileCanvas& canvas)
{
    const QRect box = canvas.cell(cell.row, cell.column);
    const QSize reach(canvas.bounds.right() - box.left() + 1,
                      canvas.bounds.bottom() - box.top() + 1);
    ImageCodec::ReadResult result = ImageCodec::readTopLeft(cell.path, reach);
    cell.error = result.error;
    if (result.ok())
        cell.image = std::move(result.value);
}

// Decodes the tiles a few at a time on all cores and draws them in row
// order, each over the canvas it reaches. A tile reaches its own cell and
// possibly cells to the right and below, which come later and whose own
// tiles are drawn over it: so a cell shows its own tile where that tile has
// pixels, and elsewhere the last earlier tile reaching into it. The first
// picture (already decoded) serves the cells that name the same file.
void placeAll(std::vector<TileCell>& cells, const QString& firstPath, const QImage& first,
              const TileCanvas& canvas)
{
    const std::size_t decodesAtOnce = std::size_t(std::max(1, QThread::idealThreadCount()));
    for (std::size_t from = 0; from < cells.size(); from += decodesAtOnce) {
        const std::size_t count = std::min(decodesAtOnce, cells.size() - from);
        parallelFor(int(count), [&](int i) {
            TileCell& cell = cells[from + std::size_t(i)];
            if (cell.path != firstPath)
                decodeTile(cell, canvas);
        });
        for (std::size_t i = from; i < from + count; ++i) {
            TileCell& cell = cells[i];
            const QImage& tile = cell.path == firstPath ? first : cell.image;
            const QPoint origin = canvas.cell(cell.row, cell.column).topLeft();
            copyArea(tile, origin, QRect(origin, tile.size()).intersected(canvas.bounds), canvas);
            cell.image = QImage();
        }
    }
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
    joined.fill(Qt::transparent);
    placeAll(cells, firstPath, canvasPixels(first), canvas);
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
    errno = 0;
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
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        const int errorNumber = errno;
        report(tr("无法读取设置文件 %1: %2")
                   .arg(native(m_settingsFile), IoErrorText::reason(file, errorNumber)));
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
    errno = 0;
    QSaveFile file(m_settingsFile);
    const QByteArray& bytes = m_settings.bytes();
    int errorNumber = 0;
    const bool whole = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    if (!whole)
        errorNumber = errno;
    if (whole && WriteFailure::commit(file, &errorNumber))
        return true;
    report(WriteFailure::reason(
        m_settingsFile, file, errorNumber,
        tr("无法写入设置文件 %1: %2")
            .arg(native(m_settingsFile), IoErrorText::reason(file, errorNumber))));
    return false;
}

// --- print-image hand-over --------------------------------------------------------

int CImgJoinEngine::HasPendingPrintImage()
{
    QFile file(m_printInfoFile);
    // A pipe or device in its place would block the read: plain files only.
    if (!QFileInfo(m_printInfoFile).isFile() || !file.open(QIODevice::ReadOnly))
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
    const bool opened = QFileInfo(m_printInfoFile).isFile() && file.open(QIODevice::ReadWrite);
    m_output.resetPlacement();
    if (!opened)
        return 0;
    m_printInfo = PrintInfoBlock();
    m_printInfo.fill(file.read(PrintInfoBlock::Size));
    // Called right after the failed write, while errno still tells why.
    const auto reportBlockWriteFailure = [this](const QFile& written) {
        const int errorNumber = errno;
        report(WriteFailure::reason(
            m_printInfoFile, written, errorNumber,
            tr("无法改写交接文件 %1: %2")
                .arg(native(m_printInfoFile), IoErrorText::reason(written, errorNumber))));
    };

    int result = 0;
    if (m_printInfo.status() == PrintInfoBlock::Pending) {
        // The request is marked as taken before the tiles are stitched: were
        // the program to die while stitching (out of memory, say), the next
        // start must not try the same again and die again.
        m_printInfo.setStatus(PrintInfoBlock::TakenOver);
        if (!writeBlock(file, m_printInfo)) {
            reportBlockWriteFailure(file);
            return 0;
        }
        // A request that cannot be served stays pending.
        const QDir directory(m_printInfo.directory());
        if (StitchTiles(directory.filePath(m_printInfo.name()),
                        directory.filePath(joinedPictureName()), m_printInfo.rows(),
                        m_printInfo.columns(), QStringLiteral("PNG")) == 0) {
            m_printInfo.setStatus(PrintInfoBlock::Pending);
            if (!writeBlock(file, m_printInfo))
                reportBlockWriteFailure(file);
            return 0;
        }
        return 1;
    } else if (m_printInfo.status() == PrintInfoBlock::Raise) {
        m_printInfo.setStatus(PrintInfoBlock::RaiseSeen);
    } else {
        return 0;
    }
    if (!writeBlock(file, m_printInfo))
        reportBlockWriteFailure(file);
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
