#pragma once

#include "IoResult.h"

#include <QCache>
#include <QDateTime>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

// Decoded pictures keyed by path and file identity (size and modification
// time), bounded by a memory budget. A file that has not changed since it was
// last decoded is served from memory; a changed file is decoded again.
// Pictures are kept in the most compact lossless form (8-bit indexed when they
// have at most 256 colours and no transparency, 24-bit when opaque). The least
// recently used pictures make room for new ones; a picture larger than the
// whole budget is kept alone until the next picture comes in.
class ImageCache
{
public:
    static constexpr qint64 DefaultBudget = qint64(480) * 1024 * 1024;

    struct Entry
    {
        QImage image;
        quint64 serial = 0; // changes whenever the file is decoded anew
        QString error;
        bool decodedNow = false; // this call read the file (or failed to)
        bool ok() const { return error.isEmpty(); }
    };

    explicit ImageCache(qint64 budgetBytes = DefaultBudget);

    // The decoded picture, or an entry with an error.
    Entry get(const QString& path);
    // Whether the picture of path is in memory and its file unchanged.
    bool isFresh(const QString& path) const;
    // Pixel size without decoding when the picture is not in memory.
    IoResult<QSize> size(const QString& path);

    // Decodes the pictures that are not in memory yet, on all cores, in the
    // order given, until the pictures decoded fill the budget.
    void preload(const QStringList& paths);

    // Keeps a picture the program has just written to path, so that showing
    // it does not decode the file again.
    void remember(const QString& path, const QImage& image);

    void setBudget(qint64 budgetBytes);
    qint64 budget() const { return m_slots.maxCost(); }
    qint64 bytesUsed() const;
    int decodeCount() const { return m_decodeCount; }
    void clear();

    // Stores the picture in its most compact lossless form.
    static QImage compact(const QImage& image);

private:
    struct Slot
    {
        QImage image;
        QString error;
        qint64 fileSize = -1;
        QDateTime modified;
        quint64 serial = 0;
    };
    // The slot of path when the file still has the given identity.
    const Slot* fresh(const QString& path, qint64 fileSize, const QDateTime& modified) const;
    Entry store(const QString& path, qint64 fileSize, const QDateTime& modified,
                const QImage& image, const QString& error);
    void forget(const QString& path);
    void dropOversized();

    QCache<QString, Slot> m_slots; // cost: bytes of the picture
    QString m_oversizedPath;       // empty when no picture is larger than the budget
    Slot m_oversized;
    quint64 m_nextSerial = 1;
    int m_decodeCount = 0;
};
