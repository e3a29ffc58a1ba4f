#include "ImageCodec.h"

#include "ColorQuantizer.h"
#include "FileLinks.h"
#include "GifWriter.h"
#include "IoErrorText.h"
#include "JpegWriter.h"
#include "PngCropReader.h"
#include "PngStreamWriter.h"
#include "PngWriter.h"
#include "WriteFailure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>
#include <QtNumeric>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <span>

namespace {

// The encoders in the order FindImageEncoder counts them, which is also the
// order of ImageCodec::Format: 0 BMP, 1 JPEG, 2 PNG, 3 GIF.
struct Encoder
{
    ImageCodec::Format format;
    const char* mimeType;
    const char* suffix;
    const char* qtFormat; // Qt's writer name; JPEG and GIF have writers of their own
};
constexpr std::array<Encoder, 4> Encoders{ {
    { ImageCodec::Format::Bmp, "image/bmp", "bmp", "bmp" },
    { ImageCodec::Format::Jpeg, "image/jpeg", "jpg", nullptr },
    { ImageCodec::Format::Png, "image/png", "png", "png" },
    { ImageCodec::Format::Gif, "image/gif", "gif", nullptr },
} };

const Encoder& encoderFor(ImageCodec::Format format)
{
    for (const Encoder& encoder : Encoders) {
        if (encoder.format == format)
            return encoder;
    }
    return Encoders[2];
}

// Room for the largest picture we accept decoded at 4 bytes a pixel
// (16000 x 12000 x 4 = 768 MB); Qt refuses anything above 256 MB by default.
constexpr int AllocationLimitMb = 1024;

// zlib levels of the PNG encoder: temporary files favour speed; pictures the
// user keeps get zlib's usual balance.
constexpr int FastPngLevel = 1;
constexpr int NormalPngLevel = 6;

void raiseAllocationLimit()
{
    [[maybe_unused]] static const bool raised = [] {
        QImageReader::setAllocationLimit(AllocationLimitMb);
        return true;
    }();
}

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

IoStatus fail(const QString& reason)
{
    return IoStatus::failure(reason);
}

bool tooLarge(QSize size)
{
    return qint64(size.width()) * size.height() > ImageCodec::MaxPixels;
}

QString tooLargeReason(const QString& path, QSize size)
{
    return ImageCodec::tr("图片 %1 太大（%2 × %3 像素），最多只能处理 %4 像素")
        .arg(shown(path))
        .arg(size.width())
        .arg(size.height())
        .arg(ImageCodec::MaxPixels);
}

// ---- Checks that a file holds all the data its header promises. Qt's JPEG,
// BMP and GIF readers fill in missing rows and report success, so cut files
// are caught here; an unexpected layout is left for the decoder to judge.
// Qt's PNG reader reports cut files itself.

using Bytes = std::span<const uchar>;

quint32 le16(Bytes data, size_t at)
{
    return quint32(data[at]) | quint32(data[at + 1]) << 8;
}

quint32 le32(Bytes data, size_t at)
{
    return le16(data, at) | le16(data, at + 2) << 16;
}

bool isJpegMarker(uchar code)
{
    return code != 0x00 && code != 0xFF && !(code >= 0xD0 && code <= 0xD7);
}

// Position of the marker that ends entropy-coded data (stuffed zeros and
// restart markers belong to the data), or the end of the file.
size_t afterScanData(Bytes data, size_t pos)
{
    while (pos + 1 < data.size()) {
        const void* hit = std::memchr(data.data() + pos, 0xFF, data.size() - pos - 1);
        if (!hit)
            break;
        pos = size_t(static_cast<const uchar*>(hit) - data.data());
        if (isJpegMarker(data[pos + 1]))
            return pos;
        ++pos;
    }
    return data.size();
}

// Walks the segments from start-of-image to end-of-image.
bool jpegComplete(Bytes data)
{
    size_t pos = 2;
    for (;;) {
        if (pos >= data.size())
            return false;
        if (data[pos] != 0xFF)
            return true;
        while (pos < data.size() && data[pos] == 0xFF)
            ++pos;
        if (pos >= data.size())
            return false;
        const uchar marker = data[pos++];
        if (marker == 0xD9)
            return true;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;
        if (pos + 2 > data.size())
            return false;
        const size_t length = (size_t(data[pos]) << 8) | data[pos + 1];
        if (length < 2)
            return true;
        pos += length;
        if (marker == 0xDA)
            pos = afterScanData(data, pos);
    }
}

// An uncompressed bitmap must hold every row its header promises.
bool bmpComplete(Bytes data)
{
    if (data.size() < 26)
        return false;
    const quint32 headerSize = le32(data, 14);
    const bool core = headerSize == 12;
    if (!core && data.size() < 34)
        return false;
    const qint64 width = core ? le16(data, 18) : qint32(le32(data, 18));
    const qint64 height = core ? le16(data, 20) : qAbs(qint64(qint32(le32(data, 22))));
    const int bits = int(le16(data, core ? 24 : 28));
    const quint32 compression = core ? 0 : le32(data, 30);
    if ((compression != 0 && compression != 3) || width <= 0 || height <= 0 || bits <= 0)
        return true;
    // Header fields can name sizes no file has: computed with overflow
    // checks, such a size is simply more than the file holds.
    qint64 rowBits = 0, before = 0, needed = 0;
    if (qMulOverflow(width, qint64(bits), &rowBits))
        return false;
    const qint64 stride = (rowBits + 31) / 32 * 4;
    const qint64 lastRow = (rowBits + 7) / 8;
    if (qMulOverflow(stride, height - 1, &before) ||
        qAddOverflow(before, qint64(le32(data, 10)) + lastRow, &needed))
        return false;
    return qint64(data.size()) >= needed;
}

// Position after a chain of GIF sub-blocks, or 0 when the file ends inside it.
size_t afterSubBlocks(Bytes data, size_t pos)
{
    while (pos < data.size()) {
        if (data[pos] == 0)
            return pos + 1;
        pos += size_t(data[pos]) + 1;
    }
    return 0;
}

size_t colourTableBytes(uchar flags)
{
    return (flags & 0x80) ? size_t(3) << ((flags & 7) + 1) : 0;
}

// The first image, the one decoded, must be there to its last data block.
bool gifComplete(Bytes data)
{
    if (data.size() < 13)
        return false;
    size_t pos = 13 + colourTableBytes(data[10]);
    while (pos < data.size()) {
        const uchar block = data[pos++];
        if (block == 0x21) { // extension: label, then sub-blocks
            pos = afterSubBlocks(data, pos + 1);
            if (pos == 0)
                return false;
        } else if (block == 0x2C) { // image: descriptor, colours, code size, data
            if (pos + 9 > data.size())
                return false;
            pos += 9 + colourTableBytes(data[pos + 8]) + 1;
            return afterSubBlocks(data, pos) != 0;
        } else {
            return true;
        }
    }
    return false;
}

bool fileComplete(QFile& file)
{
    const qint64 size = file.size();
    uchar* mapped = size > 0 ? file.map(0, size) : nullptr;
    if (!mapped)
        return true;
    const Bytes data(mapped, size_t(size));
    bool complete = true;
    if (data.size() >= 2 && data[0] == 0xFF && data[1] == 0xD8)
        complete = jpegComplete(data);
    else if (data.size() >= 2 && data[0] == 'B' && data[1] == 'M')
        complete = bmpComplete(data);
    else if (data.size() >= 4 && std::memcmp(data.data(), "GIF8", 4) == 0)
        complete = gifComplete(data);
    file.unmap(mapped);
    return complete;
}

// ---- Reading

// Opens the file and reads its header; on success the reader is ready to
// decode a picture of acceptable size.
IoStatus openChecked(QFile& file, QImageReader& reader)
{
    raiseAllocationLimit();
    const QString path = file.fileName();
    const QFileInfo info(path);
    if (!info.exists())
        return fail(ImageCodec::tr("找不到图片文件 %1").arg(shown(path)));
    if (info.isDir())
        return fail(ImageCodec::tr("%1 是文件夹，不是图片文件").arg(shown(path)));
    // A pipe or a device would block the open or never end: only plain files
    // are read.
    if (!info.isFile())
        return fail(ImageCodec::tr("%1 不是普通文件，不能作为图片读取").arg(shown(path)));
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        const int errorNumber = errno;
        return fail(ImageCodec::tr("无法打开图片文件 %1：%2")
                        .arg(shown(path), IoErrorText::reason(file, errorNumber)));
    }
    reader.setDevice(&file);
    reader.setAutoTransform(false); // screen captures: keep the pixels as stored
    if (!reader.canRead()) {
        // A reader that found no handler at all may not say so.
        const QImageReader::ImageReaderError error = reader.error() == QImageReader::UnknownError
                                                         ? QImageReader::UnsupportedFormatError
                                                         : reader.error();
        return fail(ImageCodec::tr("无法识别图片文件 %1 的格式：%2")
                        .arg(shown(path), IoErrorText::reason(error)));
    }
    const QSize size = reader.size();
    if (size.isValid() && tooLarge(size))
        return fail(tooLargeReason(path, size));
    return ioDone();
}

// ---- Writing

// Opaque formats show a transparent pixel as its colour over black.
QImage flattened(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return image;
    QImage out = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0, yEnd = out.height(); y < yEnd; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0, xEnd = out.width(); x < xEnd; ++x)
            line[x] |= 0xFF000000u;
    }
    out.reinterpretAsFormat(QImage::Format_RGB32);
    return out;
}

// An opaque picture of at most 256 colours goes out as an 8-bit palette PNG:
// the same pixels, a smaller file and less to compress.
QImage pngPicture(const QImage& image)
{
    if (image.depth() != 32)
        return image;
    QImage indexed = ColorQuantizer::exactIndexed(image, 256);
    if (indexed.isNull())
        return image;
    for (QRgb colour : indexed.colorTable()) {
        if (qAlpha(colour) != 255)
            return image;
    }
    return indexed;
}

// 32-bit pictures go to the band encoder, which finds their smallest form
// (palette, RGB, RGBA) without copying them.
bool streamable(const QImage& image)
{
    const QImage::Format format = image.format();
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
           format == QImage::Format_ARGB32_Premultiplied;
}

IoStatus writeStreamed(const QImage& image, QIODevice* device, int level)
{
    const PngStreamWriter::Alpha alpha = image.format() == QImage::Format_RGB32
                                             ? PngStreamWriter::Alpha::Opaque
                                             : PngStreamWriter::Alpha::Unknown;
    PngStreamWriter writer(device, image.size(), alpha, level);
    // Bands of about 4 MB, views of the picture's own rows.
    const int bandRows =
        int(std::clamp<qint64>((qint64(4) << 20) / image.bytesPerLine(), 16, 1024));
    for (int y = 0; y < image.height(); y += bandRows) {
        const int rows = std::min(bandRows, image.height() - y);
        const QImage band(image.constScanLine(y), image.width(), rows, image.bytesPerLine(),
                          image.format());
        if (IoStatus added = writer.add(band); !added.ok())
            return added;
    }
    return writer.finish();
}

IoStatus encode(const QImage& picture, QIODevice* device, ImageCodec::Format format,
                ImageCodec::Effort effort)
{
    // Every encoder writes the colour table as it is: it must cover the pixels.
    const QImage image = ColorQuantizer::withWholePalette(picture);
    if (format == ImageCodec::Format::Gif)
        return GifWriter::write(image, device);
    if (format == ImageCodec::Format::Png) {
        const int level = ImageCodec::pngLevel(effort);
        if (streamable(image))
            return writeStreamed(image, device, level);
        return PngWriter::write(pngPicture(image), device, level);
    }
    if (format == ImageCodec::Format::Jpeg)
        return JpegWriter::write(image, device);
    QImageWriter writer(device, encoderFor(format).qtFormat);
    if (!writer.write(flattened(image)))
        return fail(IoErrorText::reason(writer.error()));
    return ioDone();
}

// openChecked, and then the completeness check of the file's structure.
IoStatus openComplete(QFile& file, QImageReader& reader)
{
    if (const IoStatus opened = openChecked(file, reader); !opened.ok())
        return opened;
    if (!fileComplete(file))
        return fail(ImageCodec::tr("图片文件 %1 不完整，数据被截断").arg(shown(file.fileName())));
    return ioDone();
}

// The whole picture from a reader openComplete has made ready.
ImageCodec::ReadResult decodeWhole(QImageReader& reader, const QString& path)
{
    using ReadResult = ImageCodec::ReadResult;
    QImage image;
    // Some decoders (MNG) report success for a file that holds no picture.
    if (!reader.read(&image) || image.isNull())
        return ReadResult::failure(ImageCodec::tr("无法解码图片文件 %1：%2")
                                       .arg(shown(path), IoErrorText::reason(reader.error())));
    if (tooLarge(image.size()))
        return ReadResult::failure(tooLargeReason(path, image.size()));
    return ReadResult::success(std::move(image));
}

} // namespace

ImageCodec::ReadResult ImageCodec::read(const QString& path)
{
    QFile file(path);
    QImageReader reader;
    if (const IoStatus opened = openComplete(file, reader); !opened.ok())
        return ReadResult::failure(opened.error);
    ReadResult decoded = decodeWhole(reader, path);
    if (decoded.ok())
        decoded.value = ColorQuantizer::withWholePalette(decoded.value);
    return decoded;
}

ImageCodec::ReadResult ImageCodec::readTopLeft(const QString& path, QSize keep)
{
    QFile file(path);
    QImageReader reader;
    if (const IoStatus opened = openComplete(file, reader); !opened.ok())
        return ReadResult::failure(opened.error);
    if (reader.format() == "png") {
        if (std::optional<ReadResult> part = PngCropReader::read(file, keep, shown(path)))
            return *std::move(part);
        file.seek(0);
        reader.setDevice(&file);
    }
    ReadResult decoded = decodeWhole(reader, path);
    if (!decoded.ok())
        return decoded;
    QImage image = std::move(decoded.value);
    const QRect kept = image.rect().intersected(QRect(QPoint(0, 0), keep));
    if (kept != image.rect())
        image = image.copy(kept);
    return ReadResult::success(std::move(image).convertToFormat(QImage::Format_ARGB32));
}

IoResult<QSize> ImageCodec::readSize(const QString& path)
{
    QFile file(path);
    QImageReader reader;
    if (const IoStatus opened = openChecked(file, reader); !opened.ok())
        return IoResult<QSize>::failure(opened.error);
    const QSize size = reader.size();
    // A few formats (MNG) tell their size only once decoded.
    if (!size.isValid() && !reader.supportsOption(QImageIOHandler::Size)) {
        const ReadResult whole = read(path);
        if (!whole.ok())
            return IoResult<QSize>::failure(whole.error);
        return IoResult<QSize>::success(whole.value.size());
    }
    if (!size.isValid())
        return IoResult<QSize>::failure(tr("无法读取图片文件 %1 的大小：%2")
                                            .arg(shown(path), IoErrorText::reason(reader.error())));
    return IoResult<QSize>::success(size);
}

ImageCodec::Format ImageCodec::formatForSuffix(const QString& suffix, bool* served)
{
    const QString lower = suffix.toLower();
    const Encoder* found = nullptr;
    for (const Encoder& encoder : Encoders) {
        if (lower == QLatin1String(encoder.suffix))
            found = &encoder;
    }
    if (lower == QLatin1String("jpeg"))
        found = &encoderFor(Format::Jpeg);
    if (served)
        *served = found != nullptr;
    return found ? found->format : Format::Png;
}

QString ImageCodec::suffixFor(Format format)
{
    return QLatin1String(encoderFor(format).suffix);
}

std::optional<ImageCodec::Format> ImageCodec::storedFormat(const QString& path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = file.read(8);
    if (head.startsWith("\xFF\xD8\xFF"))
        return Format::Jpeg;
    if (head.startsWith("\x89PNG\r\n\x1A\n"))
        return Format::Png;
    if (head.startsWith("GIF8"))
        return Format::Gif;
    if (head.startsWith("BM"))
        return Format::Bmp;
    return std::nullopt;
}

int ImageCodec::FindImageEncoder(const QString& mimeType)
{
    for (size_t i = 0; i < Encoders.size(); ++i) {
        if (mimeType == QLatin1String(Encoders[i].mimeType))
            return int(i);
    }
    return -1;
}

IoStatus ImageCodec::replaceableTarget(const QString& path)
{
    // A save writes a new file and renames it over the target: that must
    // never swap a device or a pipe for a plain file, get round a file the
    // user made read-only, nor part a file from its other hard links.
    const QFileInfo info(path);
    if (!info.exists())
        return ioDone();
    if (!info.isFile())
        return fail(tr("无法保存到 %1：它不是普通文件").arg(shown(path)));
    // Write bits are asked for as well: an administrator may write any
    // file, yet one nobody may write was made read-only on purpose.
    constexpr QFileDevice::Permissions anyWrite =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!info.isWritable() || !(info.permissions() & anyWrite))
        return fail(tr("无法保存到 %1：文件是只读的").arg(shown(path)));
    // The new file would take this name only: the file's other names would
    // keep the old content without anyone noticing.
    if (FileLinks::nameCount(path) > 1)
        return fail(tr("无法保存到 %1：该文件还有其他名称（硬链接），替换它会使这些链接失效")
                        .arg(shown(path)));
    return ioDone();
}

IoStatus ImageCodec::write(const QImage& image, const QString& path, Format format, Effort effort)
{
    if (image.isNull())
        return fail(ImageCodec::tr("没有可保存到 %1 的图片").arg(shown(path)));
    return writeWith(path,
                     [&](QIODevice* device) { return encode(image, device, format, effort); });
}

IoStatus ImageCodec::writeWith(const QString& path,
                               const std::function<IoStatus(QIODevice*)>& encodeInto)
{
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        return fail(ImageCodec::tr("无法保存图片 %1：文件夹 %2 不存在")
                        .arg(shown(path), shown(info.absolutePath())));
    if (info.isDir())
        return fail(ImageCodec::tr("无法保存图片 %1：这是一个文件夹").arg(shown(path)));
    if (IoStatus target = replaceableTarget(path); !target.ok())
        return target;
    // errno is read right after a failure: a full disk often shows only there.
    errno = 0;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        const int errorNumber = errno;
        return fail(
            WriteFailure::reason(path, file, errorNumber,
                                 tr("无法创建图片文件 %1：%2")
                                     .arg(shown(path), IoErrorText::reason(file, errorNumber))));
    }
    if (const IoStatus encoded = encodeInto(&file); !encoded.ok()) {
        return fail(WriteFailure::reason(
            path, file, errno, tr("无法保存图片 %1：%2").arg(shown(path), encoded.error)));
    }
    if (int errorNumber = 0; !WriteFailure::commit(file, &errorNumber)) {
        return fail(WriteFailure::reason(
            path, file, errorNumber,
            tr("无法保存图片 %1：%2").arg(shown(path), IoErrorText::reason(file, errorNumber))));
    }
    return ioDone();
}

int ImageCodec::pngLevel(Effort effort)
{
    return effort == Effort::Fast ? FastPngLevel : NormalPngLevel;
}

IoStatus ImageCodec::write(const QImage& image, const QString& path, Effort effort)
{
    return write(image, path, formatForSuffix(QFileInfo(path).suffix()), effort);
}
