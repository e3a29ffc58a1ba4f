#include "ImageCache.h"

#include "ColorQuantizer.h"
#include "ImageCodec.h"
#include "ParallelFor.h"

#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <utility>
#include <vector>

ImageCache::ImageCache(qint64 budgetBytes)
    : m_slots(budgetBytes)
{
}

ImageCache::Entry ImageCache::get(const QString& path)
{
    const QFileInfo info(path);
    const qint64 fileSize = info.exists() ? info.size() : -1;
    const QDateTime modified = info.exists() ? info.lastModified() : QDateTime();
    if (const Slot* slot = fresh(path, fileSize, modified))
        return Entry{ slot->image, slot->serial, slot->error, false };
    ++m_decodeCount;
    ImageCodec::ReadResult result = ImageCodec::read(path);
    Entry entry = store(path, fileSize, modified, result.ok() ? compact(result.value) : QImage(),
                        result.error);
    entry.decodedNow = true;
    return entry;
}

bool ImageCache::isFresh(const QString& path) const
{
    const QFileInfo info(path);
    return info.exists() && fresh(path, info.size(), info.lastModified()) != nullptr;
}

const ImageCache::Slot* ImageCache::fresh(const QString& path, qint64 fileSize,
                                          const QDateTime& modified) const
{
    const bool oversized = !m_oversizedPath.isEmpty() && path == m_oversizedPath;
    const Slot* slot = oversized ? &m_oversized : m_slots.object(path);
    if (slot && slot->fileSize == fileSize && slot->modified == modified)
        return slot;
    return nullptr;
}

ImageCache::Entry ImageCache::store(const QString& path, qint64 fileSize, const QDateTime& modified,
                                    const QImage& image, const QString& error)
{
    forget(path);
    Slot slot{ image, error, fileSize, modified, m_nextSerial++ };
    Entry entry{ image, slot.serial, error, false };
    const qint64 bytes = image.sizeInBytes();
    if (bytes > budget()) {
        // Nothing else fits beside it; it stays until the next picture.
        m_slots.clear();
        m_oversizedPath = path;
        m_oversized = std::move(slot);
    } else {
        dropOversized();
        m_slots.insert(path, new Slot(std::move(slot)), bytes);
    }
    return entry;
}

void ImageCache::forget(const QString& path)
{
    if (path == m_oversizedPath)
        dropOversized();
    m_slots.remove(path);
}

void ImageCache::dropOversized()
{
    m_oversizedPath.clear();
    m_oversized = Slot();
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
    // it has been compacted. The pictures are stored batch by batch, so that
    // the budget holds while preloading; once this call's pictures fill the
    // budget, decoding more would only push the first ones out again.
    const int decodesAtOnce = std::max(1, QThread::idealThreadCount());
    qint64 stored = 0;
    for (std::size_t first = 0; first < jobs.size(); first += std::size_t(decodesAtOnce)) {
        const std::size_t count = std::min(jobs.size() - first, std::size_t(decodesAtOnce));
        parallelFor(int(count), [&jobs, first](int i) {
            Job& job = jobs[first + std::size_t(i)];
            ImageCodec::ReadResult result = ImageCodec::read(job.path);
            job.error = result.error;
            if (result.ok())
                job.image = compact(result.value);
        });
        for (std::size_t i = first; i < first + count; ++i) {
            Job& job = jobs[i];
            ++m_decodeCount;
            const qint64 bytes = job.image.sizeInBytes();
            // The first pictures asked for are the ones kept.
            if (stored > 0 && stored + bytes > budget())
                return;
            stored += bytes;
            store(job.path, job.fileSize, job.modified, job.image, job.error);
            job.image = QImage();
        }
    }
}

void ImageCache::remember(const QString& path, const QImage& image)
{
    const QFileInfo info(path);
    if (!info.exists() || image.isNull()) {
        forget(path);
        return;
    }
    store(path, info.size(), info.lastModified(), compact(image), QString());
}

IoResult<QSize> ImageCache::size(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists()) {
        const Slot* slot = fresh(path, info.size(), info.lastModified());
        if (slot && !slot->image.isNull())
            return IoResult<QSize>::success(slot->image.size());
    }
    return ImageCodec::readSize(path);
}

void ImageCache::setBudget(qint64 budgetBytes)
{
    m_slots.setMaxCost(budgetBytes);
    if (m_oversizedPath.isEmpty())
        return;
    const QString path = std::exchange(m_oversizedPath, QString());
    Slot slot = std::exchange(m_oversized, Slot());
    const qint64 bytes = slot.image.sizeInBytes();
    if (bytes <= budgetBytes)
        m_slots.insert(path, new Slot(std::move(slot)), bytes);
}

qint64 ImageCache::bytesUsed() const
{
    return m_slots.totalCost() + m_oversized.image.sizeInBytes();
}

void ImageCache::clear()
{
    m_slots.clear();
    dropOversized();
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
    QImage indexed = ColorQuantizer::exactIndexed(image, 256);
    if (!indexed.isNull())
        return indexed;
    return image.convertToFormat(QImage::Format_RGB888);
}
