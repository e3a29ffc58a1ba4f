#pragma once

#include <QCoreApplication>
#include <QFileDevice>
#include <QImageReader>
#include <QImageWriter>
#include <QString>

// Why reading or writing a file failed, in the program's own words and in
// the language it speaks. Qt's error strings are English whatever the
// program's language, and the image readers' ones name Qt's internals; they
// are never shown. The system's error number, taken right after a failure,
// tells most; Qt's error code stands in where the system said nothing.
class IoErrorText
{
    Q_DECLARE_TR_FUNCTIONS(IoErrorText)

public:
    // The reason a system error number names, or an empty text when it names
    // none this program explains.
    static QString systemReason(int errorNumber);

    static QString reason(QFileDevice::FileError error);
    static QString reason(QImageReader::ImageReaderError error);
    static QString reason(QImageWriter::ImageWriterError error);

    // Why an operation on file failed: errorNumber is errno right after the
    // failure (0 when unknown).
    static QString reason(const QFileDevice& file, int errorNumber);
    // Why a write to a device failed: the file's error where it has one.
    static QString writeReason(const QIODevice& device);

    // Why libspng gave up on a PNG stream, by its error code.
    static QString pngReason(int code);
    // Why giflib gave up writing a GIF, by its error code.
    static QString gifReason(int code);
};
