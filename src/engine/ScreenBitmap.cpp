#include "ScreenBitmap.h"

#include "IoErrorText.h"
#include "WriteFailure.h"

#include <QDir>
#include <QSaveFile>
#include <QtEndian>

#include <cerrno>
#include <limits>

namespace {

constexpr quint16 BitmapMagic = 0x4D42; // "BM"
constexpr quint32 InfoHeaderSize = 40;
constexpr quint16 BitsPerPixel = 24;

template<typename T>
void put(uchar* at, T value)
{
    qToLittleEndian(value, at);
}

} // namespace

qint64 ScreenBitmap::rowLength(int width)
{
    return (qint64(width) * 3 + 3) / 4 * 4;
}

QByteArray ScreenBitmap::encode(const QImage& screen)
{
    if (screen.isNull())
        return {};
    const QImage rgb = screen.convertToFormat(QImage::Format_RGB888);
    const int width = rgb.width();
    const int height = rgb.height();
    const qint64 row = rowLength(width);
    const qint64 imageSize = row * height;
    if (HeaderSize + imageSize > std::numeric_limits<qint32>::max())
        return {};
    QByteArray file(HeaderSize + imageSize, '\0');
    auto* bytes = reinterpret_cast<uchar*>(file.data());
    put<quint16>(bytes + 0, BitmapMagic);
    put<quint32>(bytes + 2, quint32(HeaderSize + imageSize));
    put<quint32>(bytes + 10, HeaderSize);
    put<quint32>(bytes + 14, InfoHeaderSize);
    put<qint32>(bytes + 18, width);
    put<qint32>(bytes + 22, height); // positive: the bottom row comes first
    put<quint16>(bytes + 26, 1);
    put<quint16>(bytes + 28, BitsPerPixel);
    // Compression, image size, resolution and colour counts stay 0.
    for (int y = 0; y < height; ++y) {
        const uchar* source = rgb.constScanLine(height - 1 - y);
        uchar* target = bytes + HeaderSize + row * y;
        for (int x = 0; x < width; ++x) {
            target[3 * x] = source[3 * x + 2];
            target[3 * x + 1] = source[3 * x + 1];
            target[3 * x + 2] = source[3 * x];
        }
    }
    return file;
}

IoStatus ScreenBitmap::write(const QImage& screen, const QString& path)
{
    const QString native = QDir::toNativeSeparators(path);
    const QByteArray bytes = encode(screen);
    if (bytes.isEmpty())
        return IoStatus::failure(tr("屏幕图太大或是空的，无法写入 %1").arg(native));
    errno = 0;
    QSaveFile file(path);
    int errorNumber = 0;
    const bool whole = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    if (!whole)
        errorNumber = errno;
    if (whole && WriteFailure::commit(file, &errorNumber))
        return ioDone();
    return IoStatus::failure(WriteFailure::reason(
        path, file, errorNumber,
        tr("无法写入屏幕图 %1: %2").arg(native, IoErrorText::reason(file, errorNumber))));
}
