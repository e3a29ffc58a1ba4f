#pragma once

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

// Decoded pictures keyed by path and file identity (size and modification
// time), bounded by a memory budget. A file that has not changed since it was
// last decoded is served from memory; a changed file is decoded again.
// Pictures are kept in the most compact lossless form (8-bit indexed when they
// have at most 256 colours and no transparency, 24-bit when opaque).
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
    // Pixel size without decoding when the picture is not in memory.
    QSize size(const QString& path, QString* error = nullptr);

    // Decodes the pictures that are not in memory yet, on all cores.
    void preload(const QStringList& paths);

    // Keeps a picture the program has just written to path, so that showing
    // it does not decode the file again.
    void remember(const QString& path, const QImage& image);

    void setBudget(qint64 budgetBytes);
    qint64 budget() const { return m_budget; }
    qint64 bytesUsed() const { return m_bytesUsed; }
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
        quint64 lastUse = 0;
        qint64 bytes = 0;
    };
    void evictFor(qint64 incoming);
    bool fresh(const QString& path, qint64 fileSize, const QDateTime& modified) const;
    void store(const QString& path, qint64 fileSize, const QDateTime& modified, const QImage& image,
               const QString& error);

    QHash<QString, Slot> m_slots;
    qint64 m_budget;
    qint64 m_bytesUsed = 0;
    quint64 m_clock = 0;
    quint64 m_nextSerial = 1;
    int m_decodeCount = 0;
};
