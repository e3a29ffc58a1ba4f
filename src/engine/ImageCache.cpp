#include "ImageCache.h"

#include "ColorQuantizer.h"
#include "ImageCodec.h"
#include "ParallelFor.h"

#include <QFileInfo>
#include <QList>
#include <QThread>

#include <algorithm>
#include <vector>

ImageCache::ImageCache(qint64 budgetBytes)
    : m_budget(budgetBytes)
{
}

ImageCache::Entry ImageCache::get(const QString& path)
{
    const QFileInfo info(path);
    const qint64 fileSize = info.exists() ? info.size() : -1;
    const QDateTime modified = info.exists() ? info.lastModified() : QDateTime();
    const bool known = fresh(path, fileSize, modified);
    if (!known) {
        ++m_decodeCount;
        ImageCodec::ReadResult result = ImageCodec::read(path);
        store(path, fileSize, modified, result.ok() ? compact(result.image) : QImage(),
              result.error);
    }
    Slot& slot = m_slots[path];
    slot.lastUse = ++m_clock;
    return Entry{ slot.image, slot.serial, slot.error, !known };
}

bool ImageCache::fresh(const QString& path, qint64 fileSize, const QDateTime& modified) const
{
    const auto found = m_slots.constFind(path);
    return found != m_slots.constEnd() && found->fileSize == fileSize &&
           found->modified == modified;
}

void ImageCache::store(const QString& path, qint64 fileSize, const QDateTime& modified,
                       const QImage& image, const QString& error)
{
    auto found = m_slots.find(path);
    if (found != m_slots.end()) {
        m_bytesUsed -= found->bytes;
        m_slots.erase(found);
    }
    Slot slot;
    slot.image = image;
    slot.error = error;
    slot.fileSize = fileSize;
    slot.modified = modified;
    slot.serial = m_nextSerial++;
    slot.lastUse = ++m_clock;
    slot.bytes = image.sizeInBytes();
    evictFor(slot.bytes);
    m_bytesUsed += slot.bytes;
    m_slots.insert(path, slot);
}

void ImageCache::preload(const QStringList& paths)
{
    struct Job
    {
        QString path;
        qint64 fileSize = -1;
        QDateTime modified;
        QImage image;
        QString error;
    };
    std::vector<Job> jobs;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (!info.exists() || fresh(path, info.size(), info.lastModified()))
            continue;
        if (std::any_of(jobs.begin(), jobs.end(), [&](const Job& j) { return j.path == path; }))
            continue;
        jobs.push_back(Job{ path, info.size(), info.lastModified(), {}, {} });
    }
    // One picture decoded per core at most: each is held at full size until
    // it has been compacted.
    const int decodesAtOnce = QThread::idealThreadCount();
    parallelFor(
        int(jobs.size()),
        [&jobs](int i) {
            Job& job = jobs[std::size_t(i)];
            ImageCodec::ReadResult result = ImageCodec::read(job.path);
            job.error = result.error;
            if (result.ok())
                job.image = compact(result.image);
        },
        decodesAtOnce);
    for (const Job& job : jobs) {
        ++m_decodeCount;
        store(job.path, job.fileSize, job.modified, job.image, job.error);
    }
}

void ImageCache::remember(const QString& path, const QImage& image)
{
    const QFileInfo info(path);
    if (!info.exists() || image.isNull()) {
        m_bytesUsed -= m_slots.value(path).bytes;
        m_slots.remove(path);
        return;
    }
    store(path, info.size(), info.lastModified(), compact(image), QString());
}

QSize ImageCache::size(const QString& path, QString* error)
{
    const auto found = m_slots.constFind(path);
    if (found != m_slots.constEnd() && !found->image.isNull()) {
        const QFileInfo info(path);
        if (info.size() == found->fileSize && info.lastModified() == found->modified)
            return found->image.size();
    }
    return ImageCodec::readSize(path, error);
}

void ImageCache::setBudget(qint64 budgetBytes)
{
    m_budget = budgetBytes;
    evictFor(0);
}

void ImageCache::clear()
{
    m_slots.clear();
    m_bytesUsed = 0;
}

void ImageCache::evictFor(qint64 incoming)
{
    while (!m_slots.isEmpty() && m_bytesUsed + incoming > m_budget) {
        auto oldest = m_slots.begin();
        for (auto it = m_slots.begin(); it != m_slots.end(); ++it) {
            if (it->lastUse < oldest->lastUse)
                oldest = it;
        }
        m_bytesUsed -= oldest->bytes;
        m_slots.erase(oldest);
    }
}

namespace {

bool hasAlpha(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return false;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int width = argb.width(), height = argb.height();
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            if (qAlpha(line[x]) != 255)
                return true;
        }
    }
    return false;
}

} // namespace

QImage ImageCache::compact(const QImage& image)
{
    if (image.isNull())
        return image;
    const QImage::Format format = image.format();
    const bool alreadyCompact = (format == QImage::Format_Indexed8 && !image.hasAlphaChannel()) ||
                                format == QImage::Format_Grayscale8 ||
                                format == QImage::Format_RGB888;
    if (alreadyCompact)
        return image;
    if (hasAlpha(image))
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage indexed = ColorQuantizer::exactIndexed(image, 256);
    if (!indexed.isNull())
        return indexed;
    return image.convertToFormat(QImage::Format_RGB888);
}
