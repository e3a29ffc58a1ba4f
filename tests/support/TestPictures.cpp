#include "TestPictures.h"

#include <QCryptographicHash>
#include <QFile>
#include <gtest/gtest.h>

namespace TestPictures {

QImage coordinatePicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb(x % 256, y % 256, 77);
    }
    return image;
}

QImage solidPicture(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QString save(const QImage& image, const QString& path)
{
    EXPECT_TRUE(image.save(path)) << path.toStdString();
    return path;
}

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
}

} // namespace TestPictures
