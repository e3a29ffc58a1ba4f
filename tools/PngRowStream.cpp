#include "PngRowStream.h"

#include "ImageCodec.h"
#include "IoErrorText.h"
#include "PngRowReader.h"
#include "SpngDevice.h"
#include "WriteFailure.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSaveFile>
#include <QSemaphore>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <spng.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <memory>
#include <vector>

namespace {

// Rows a chunk holds: 32, fewer for rows so wide that 32 would take more
// than 4 MB.
int chunkRowsFor(size_t rowBytes)
{
    return int(std::clamp<size_t>((size_t(4) << 20) / std::max<size_t>(rowBytes, 1), 1, 32));
}

constexpr int ChunkCount = 4;

// Rows on their way from the decoding side to the compressing one, in a ring
// of a few fixed buffers: chunk n holds rows n * chunkRowsFor() onwards and lives
// in buffer n % ChunkCount. The decoding side fills the buffers in turn, the
// compressing side empties them in the same order.
class ChunkRing
{
public:
    explicit ChunkRing(size_t rowBytes)
    {
        for (std::vector<uchar>& chunk : m_chunks)
            chunk.resize(rowBytes * size_t(chunkRowsFor(rowBytes)));
    }

    uchar* chunk(int number) { return m_chunks[size_t(number % ChunkCount)].data(); }

    // Wait for a buffer to fill, or for a filled one to empty; false once
    // either side has given up.
    bool waitForFree() { return wait(m_free); }
    bool waitForFilled() { return wait(m_filled); }
    void filled() { m_filled.release(); }
    void emptied() { m_free.release(); }

    // Stops the other side at its next wait, or wakes it from the present one.
    void cancel()
    {
        m_cancelled = true;
        m_free.release(ChunkCount);
        m_filled.release(ChunkCount);
    }

private:
    bool wait(QSemaphore& semaphore)
    {
        semaphore.acquire();
        return !m_cancelled;
    }

    std::array<std::vector<uchar>, ChunkCount> m_chunks;
    QSemaphore m_free{ ChunkCount };
    QSemaphore m_filled{ 0 };
    std::atomic<bool> m_cancelled{ false };
};

using SpngContext = SpngDevice::Context;

// What the row loops give back besides libspng's own codes (SPNG_EOI once
// the last row is through).
constexpr int StoppedByTheOtherSide = 1 << 16;

// Where the compressed file goes, and the system's error number of the first
// write that failed: the rows are written on the worker, whose errno the
// calling thread cannot see.
struct Sink
{
    QIODevice* device = nullptr;
    int errorNumber = 0;
};

int writeToDevice(spng_ctx*, void* user, void* data, size_t length)
{
    auto* sink = static_cast<Sink*>(user);
    errno = 0;
    const qint64 written = sink->device->write(static_cast<const char*>(data), qint64(length));
    if (written == qint64(length))
        return 0;
    if (sink->errorNumber == 0)
        sink->errorNumber = errno;
    return SPNG_IO_ERROR;
}

QString reasonOf(int code, const QFileDevice& device)
{
    if (code == SPNG_IO_ERROR && device.error() != QFileDevice::NoError)
        return IoErrorText::reason(device.error());
    return IoErrorText::pngReason(code);
}

// 0xFFRRGGBB to the bytes R, G, B of a PNG row.
void toRgbBytes(const QRgb* in, uchar* out, int width)
{
    for (int x = 0; x < width; ++x, out += 3) {
        out[0] = uchar(qRed(in[x]));
        out[1] = uchar(qGreen(in[x]));
        out[2] = uchar(qBlue(in[x]));
    }
}

struct Picture
{
    int width = 0;
    int height = 0;
    PngRowStream::Output kind = PngRowStream::Output::Rgb;
    size_t outBytes = 0; // one PNG row of the output
};

// What decodeRows gives back when the reader failed (its reason in *error).
constexpr int DecodingFailed = StoppedByTheOtherSide + 1;

// Decodes every row, passes it through the function and hands the results
// over in chunks. SPNG_EOI when all rows are through.
int decodeRows(PngRowReader& reader, const Picture& picture, ChunkRing* ring,
               const PngRowStream::RowFunction& rowFunction, QString* error)
{
    const int chunkRows = chunkRowsFor(picture.outBytes);
    QImage decoded(picture.width, chunkRows, reader.format());
    if (decoded.isNull())
        return SPNG_EMEM;
    std::vector<QRgb> result(picture.kind == PngRowStream::Output::Rgb ? size_t(picture.width) : 0);
    for (int first = 0, number = 0; first < picture.height; first += chunkRows, ++number) {
        if (!ring->waitForFree())
            return StoppedByTheOtherSide;
        const int rows = qMin(chunkRows, picture.height - first);
        if (const IoStatus read = reader.read(decoded, rows); !read.ok()) {
            *error = read.error;
            return DecodingFailed;
        }
        uchar* out = ring->chunk(number);
        for (int r = 0; r < rows; ++r, out += picture.outBytes) {
            const auto* in = reinterpret_cast<const QRgb*>(decoded.constScanLine(r));
            if (picture.kind == PngRowStream::Output::Grey) {
                rowFunction(in, out, picture.width);
            } else {
                rowFunction(in, reinterpret_cast<uchar*>(result.data()), picture.width);
                toRgbBytes(result.data(), out, picture.width);
            }
        }
        ring->filled();
    }
    return SPNG_EOI;
}
// Compresses the chunks as they come, on the worker. SPNG_EOI when the file
// is complete.
int encodeRows(Sink* file, const Picture& picture, ChunkRing* ring)
{
    SpngContext writer(spng_ctx_new(SPNG_CTX_ENCODER), spng_ctx_free);
    if (!writer)
        return SPNG_EMEM;
    spng_ihdr header = {};
    header.width = quint32(picture.width);
    header.height = quint32(picture.height);
    header.bit_depth = 8;
    header.color_type =
        quint8(picture.kind == PngRowStream::Output::Grey ? SPNG_COLOR_TYPE_GRAYSCALE
                                                          : SPNG_COLOR_TYPE_TRUECOLOR);
    int code = spng_set_png_stream(writer.get(), writeToDevice, file);
    // The Paeth filter on every row: on drawings it compresses as well as
    // trying all five filters row by row (better on flat colours), at a
    // third less work for the compressing side.
    if (code == 0)
        code = spng_set_option(writer.get(), SPNG_FILTER_CHOICE, SPNG_FILTER_CHOICE_PAETH);
    if (code == 0)
        code = spng_set_ihdr(writer.get(), &header);
    if (code == 0)
        code = spng_encode_image(writer.get(), nullptr, 0, SPNG_FMT_PNG,
                                 SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE);
    if (code != 0)
        return code;
    const int chunkRows = chunkRowsFor(picture.outBytes);
    for (int first = 0, number = 0; first < picture.height; first += chunkRows, ++number) {
        if (!ring->waitForFilled())
            return StoppedByTheOtherSide;
        const uchar* in = ring->chunk(number);
        const int rows = qMin(chunkRows, picture.height - first);
        for (int r = 0; r < rows; ++r, in += picture.outBytes) {
            code = spng_encode_row(writer.get(), in, picture.outBytes);
            if (code != 0 && code != SPNG_EOI)
                return code;
        }
        ring->emptied();
    }
    return code;
}

IoResult<PngRowStream::Streamed> fail(const QString& reason)
{
    return IoResult<PngRowStream::Streamed>::failure(reason);
}

IoResult<PngRowStream::Streamed> streamed(PngRowStream::Streamed how)
{
    return IoResult<PngRowStream::Streamed>::success(how);
}

} // namespace

IoResult<PngRowStream::Streamed> PngRowStream::run(const QString& input, const QString& output,
                                                   Output kind, const RowFunction& rowFunction)
{
    PngRowReader reader;
    const IoResult<bool> opened = reader.open(input);
    if (!opened.ok())
        return fail(opened.error);
    if (!opened.value)
        return streamed(Streamed::NotStreamable); // the whole-picture path explains what is wrong

    if (const IoStatus target = ImageCodec::replaceableTarget(output); !target.ok())
        return fail(target.error);
    errno = 0;
    QSaveFile out(output);
    if (!out.open(QIODevice::WriteOnly)) {
        const int errorNumber = errno;
        return fail(
            tr("无法创建图片文件 %1：%2")
                .arg(QDir::toNativeSeparators(output), IoErrorText::reason(out, errorNumber)));
    }
    Picture picture;
    picture.width = reader.size().width();
    picture.height = reader.size().height();
    picture.kind = kind;
    picture.outBytes = size_t(picture.width) * (kind == Output::Grey ? 1 : 3);
    ChunkRing ring(picture.outBytes);

    // Compressing costs more than decoding: it runs on a worker of its own
    // while this thread decodes and transforms the next rows.
    QThreadPool compressor;
    compressor.setMaxThreadCount(1);
    Sink sink{ &out };
    QFuture<int> compressed = QtConcurrent::run(&compressor, [&] {
        const int result = encodeRows(&sink, picture, &ring);
        if (result != SPNG_EOI)
            ring.cancel();
        return result;
    });
    QString decodingError;
    const int decoded = decodeRows(reader, picture, &ring, rowFunction, &decodingError);
    if (decoded != SPNG_EOI)
        ring.cancel();
    const int encoded = compressed.result();
    if (decoded == DecodingFailed)
        return fail(decodingError);
    if (decoded != SPNG_EOI && decoded != StoppedByTheOtherSide)
        return fail(tr("内存不足, 无法读取 %1").arg(QDir::toNativeSeparators(input)));
    int committedError = 0;
    if (encoded != SPNG_EOI || !WriteFailure::commit(out, &committedError)) {
        const int errorNumber = sink.errorNumber != 0 ? sink.errorNumber : committedError;
        const QString reason = encoded != SPNG_EOI && encoded != StoppedByTheOtherSide
                                   ? reasonOf(encoded, out)
                                   : IoErrorText::reason(out, errorNumber);
        return fail(WriteFailure::reason(
            output, out, errorNumber,
            tr("无法保存图片 %1：%2").arg(QDir::toNativeSeparators(output), reason)));
    }
    return streamed(Streamed::Done);
}
