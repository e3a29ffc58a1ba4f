#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

// Small helpers that make pictures and folders for the tests.
namespace TestPictures {

// An opaque picture whose pixel (x, y) has red = x % 256, green = y % 256 and
// blue = 77, so every position can be told from its colour.
QImage coordinatePicture(int width, int height);

// A picture of one colour.
QImage solidPicture(int width, int height, QColor colour);

// Writes the picture and returns its path; fails the test when it cannot.
QString save(const QImage& image, const QString& path);

// SHA-1 of a file's bytes (empty when it cannot be read).
QByteArray fileHash(const QString& path);

} // namespace TestPictures

#include "IoResult.h"

// Whether a read or write succeeded; its reason, if any, into *error.
template<typename T>
bool succeeded(const IoResult<T>& result, QString* error = nullptr)
{
    if (error)
        *error = result.error;
    return result.ok();
}
