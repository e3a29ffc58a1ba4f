#include "PngRowStream.h"

#include "ImageCodec.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <png.h>

#include <array>
#include <condition_variable>
#include <csetjmp>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr int ChunkRows = 32;
constexpr int ChunkCount = 4;

// Rows on their way from the decoding thread to the compressing one, in a
// few fixed buffers handed back and forth.
class ChunkQueue
{
public:
    struct Chunk
    {
        std::vector<uchar> bytes;
        int rows = 0;
    };

    explicit ChunkQueue(size_t rowBytes)
    {
        for (int i = 0; i < ChunkCount; ++i) {
            m_chunks[size_t(i)].bytes.resize(rowBytes * ChunkRows);
            m_free.push_back(i);
        }
    }

    Chunk& chunk(int index) { return m_chunks[size_t(index)]; }

    // A buffer to fill, or -1 once the other side has given up.
    int takeFree() { return take(m_free, false); }
    // A filled buffer, or -1 when all have been handed over (or on cancel).
    int takeFilled() { return take(m_filled, true); }
    void handOver(int index) { put(m_filled, index); }
    void giveBack(int index) { put(m_free, index); }

    void close()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
        m_changed.notify_all();
    }
    void cancel()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_cancelled = true;
        m_changed.notify_all();
    }
    bool cancelled()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_cancelled;
    }

private:
    int take(std::deque<int>& from, bool endsWhenClosed)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(
            lock, [&] { return m_cancelled || !from.empty() || (endsWhenClosed && m_closed); });
        if (m_cancelled || from.empty())
            return -1;
        const int index = from.front();
        from.pop_front();
        return index;
    }
    void put(std::deque<int>& to, int index)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        to.push_back(index);
        m_changed.notify_all();
    }

    std::array<Chunk, ChunkCount> m_chunks;
    std::deque<int> m_free;
    std::deque<int> m_filled;
    bool m_closed = false;
    bool m_cancelled = false;
    std::mutex m_mutex;
    std::condition_variable m_changed;
};

// libpng reports errors by a long jump back to the setjmp of the function
// that called it; the message is kept here first. The functions that call
// libpng therefore hold no objects with destructors of their own.
struct PngFailure
{
    char message[256] = {};
};

void onPngError(png_structp png, png_const_charp message)
{
    auto* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    qstrncpy(failure->message, message, sizeof failure->message);
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

void readFromDevice(png_structp png, png_bytep data, size_t length)
{
    auto* device = static_cast<QIODevice*>(png_get_io_ptr(png));
    if (device->read(reinterpret_cast<char*>(data), qint64(length)) != qint64(length))
        png_error(png, "the file ends too early");
}

void writeToDevice(png_structp png, png_bytep data, size_t length)
{
    auto* device = static_cast<QIODevice*>(png_get_io_ptr(png));
    if (device->write(reinterpret_cast<const char*>(data), qint64(length)) != qint64(length))
        png_error(png, "cannot write the file");
}

void flushDevice(png_structp) {}

struct Header
{
    int width = 0;
    int height = 0;
};

using Status = PngRowStream::Status;

// Reads the header and sets the reader up to deliver 0xAARRGGBB rows.
Status openReader(png_structp png, png_infop info, QIODevice* file, Header* header)
{
    if (setjmp(png_jmpbuf(png)))
        return Status::Failed;
    png_set_read_fn(png, file, readFromDevice);
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (png_get_bit_depth(png, info) > 8 ||
        png_get_interlace_type(png, info) != PNG_INTERLACE_NONE ||
        qint64(width) * qint64(height) > ImageCodec::MaxPixels)
        return Status::NotStreamable;
    png_set_expand(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * 4)
        return Status::NotStreamable;
    header->width = int(width);
    header->height = int(height);
    return Status::Done;
}

// Decodes every row, passes it through the function and hands the results
// over in chunks.
bool decodeRows(png_structp png, const Header& header, QRgb* row, ChunkQueue* queue,
                size_t outBytes, const PngRowStream::RowFunction* rowFunction)
{
    if (setjmp(png_jmpbuf(png))) {
        queue->cancel();
        return false;
    }
    for (int y = 0; y < header.height;) {
        const int index = queue->takeFree();
        if (index < 0)
            return false;
        ChunkQueue::Chunk& chunk = queue->chunk(index);
        chunk.rows = 0;
        for (; chunk.rows < ChunkRows && y < header.height; ++chunk.rows, ++y) {
            png_read_row(png, reinterpret_cast<png_bytep>(row), nullptr);
            (*rowFunction)(row, chunk.bytes.data() + size_t(chunk.rows) * outBytes, header.width);
        }
        queue->handOver(index);
    }
    queue->close();
    return true;
}

// Compresses the chunks as they come, on the second thread.
bool encodeRows(png_structp png, png_infop info, QIODevice* file, const Header& header,
                PngRowStream::Output kind, ChunkQueue* queue, size_t outBytes)
{
    if (setjmp(png_jmpbuf(png))) {
        queue->cancel();
        return false;
    }
    png_set_write_fn(png, file, writeToDevice, flushDevice);
    const int colourType =
        kind == PngRowStream::Output::Grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB;
    png_set_IHDR(png, info, png_uint_32(header.width), png_uint_32(header.height), 8, colourType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    if (kind == PngRowStream::Output::Rgb) {
        png_set_bgr(png);
        png_set_filler(png, 0, PNG_FILLER_AFTER);
    }
    for (int index = queue->takeFilled(); index >= 0; index = queue->takeFilled()) {
        ChunkQueue::Chunk& chunk = queue->chunk(index);
        for (int r = 0; r < chunk.rows; ++r)
            png_write_row(png, chunk.bytes.data() + size_t(r) * outBytes);
        queue->giveBack(index);
    }
    if (queue->cancelled())
        return false;
    png_write_end(png, info);
    return true;
}

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

// Owns the libpng structures of one side.
class PngReader
{
public:
    PngReader()
        : m_png(png_create_read_struct(PNG_LIBPNG_VER_STRING, &m_failure, onPngError, onPngWarning))
        , m_info(m_png ? png_create_info_struct(m_png) : nullptr)
    {
    }
    ~PngReader() { png_destroy_read_struct(&m_png, &m_info, nullptr); }
    bool ok() const { return m_png && m_info; }
    png_structp png() const { return m_png; }
    png_infop info() const { return m_info; }
    QString message() const { return QString::fromUtf8(m_failure.message); }

private:
    PngFailure m_failure;
    png_structp m_png;
    png_infop m_info;
};

class PngWriter
{
public:
    PngWriter()
        : m_png(
              png_create_write_struct(PNG_LIBPNG_VER_STRING, &m_failure, onPngError, onPngWarning))
        , m_info(m_png ? png_create_info_struct(m_png) : nullptr)
    {
    }
    ~PngWriter() { png_destroy_write_struct(&m_png, &m_info); }
    bool ok() const { return m_png && m_info; }
    png_structp png() const { return m_png; }
    png_infop info() const { return m_info; }
    QString message() const { return QString::fromUtf8(m_failure.message); }

private:
    PngFailure m_failure;
    png_structp m_png;
    png_infop m_info;
};

bool isPng(QFile& file)
{
    png_byte signature[8];
    return file.read(reinterpret_cast<char*>(signature), 8) == 8 &&
           png_sig_cmp(signature, 0, 8) == 0;
}

} // namespace

PngRowStream::Status PngRowStream::run(const QString& input, const QString& output, Output kind,
                                       const RowFunction& rowFunction, QString* error)
{
    QFile in(input);
    if (!in.open(QIODevice::ReadOnly) || !isPng(in))
        return Status::NotStreamable; // the whole-picture path explains what is wrong
    PngReader reader;
    if (!reader.ok()) {
        fail(error, QStringLiteral("内存不足, 无法读取 %1").arg(QDir::toNativeSeparators(input)));
        return Status::Failed;
    }
    Header header;
    const Status opened = openReader(reader.png(), reader.info(), &in, &header);
    if (opened == Status::Failed)
        fail(error, QStringLiteral("无法解码图片文件 %1：%2")
                        .arg(QDir::toNativeSeparators(input), reader.message()));
    if (opened != Status::Done)
        return opened;

    QSaveFile out(output);
    if (!out.open(QIODevice::WriteOnly)) {
        fail(error, QStringLiteral("无法创建图片文件 %1：%2")
                        .arg(QDir::toNativeSeparators(output), out.errorString()));
        return Status::Failed;
    }
    const size_t outBytes = size_t(header.width) * (kind == Output::Grey ? 1 : 4);
    ChunkQueue queue(outBytes);
    PngWriter writer;
    bool encoded = false;
    std::thread compressor([&] {
        encoded = writer.ok() &&
                  encodeRows(writer.png(), writer.info(), &out, header, kind, &queue, outBytes);
        if (!encoded)
            queue.cancel();
    });
    std::vector<QRgb> row(size_t(header.width));
    const bool decoded =
        decodeRows(reader.png(), header, row.data(), &queue, outBytes, &rowFunction);
    compressor.join();
    if (!decoded && !reader.message().isEmpty()) {
        fail(error, QStringLiteral("无法解码图片文件 %1：%2")
                        .arg(QDir::toNativeSeparators(input), reader.message()));
        return Status::Failed;
    }
    if (!decoded || !encoded || !out.commit()) {
        const QString reason = writer.message().isEmpty() ? out.errorString() : writer.message();
        fail(error,
             QStringLiteral("无法保存图片 %1：%2").arg(QDir::toNativeSeparators(output), reason));
        return Status::Failed;
    }
    return Status::Done;
}
