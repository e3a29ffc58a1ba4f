#include "AutoJoinJob.h"

#include "CImgJoinEngine.h"
#include "ImageCache.h"
#include "ParallelFor.h"

#include <vector>

void AutoJoinJob::run()
{
    const int count = int(files.size());
    const std::function<void(int)> told = options.progress;
    // Each worker fills its own slots of these; the lists are put together
    // on this thread afterwards.
    std::vector<QImage> pictures(images.cbegin(), images.cend());
    std::vector<char> readNow(size_t(count), 0);
    std::atomic<int> done{ 0 };
    // Decoding is the first tenth of the progress.
    parallelFor(count, [&](int i) {
        if (cancelled->load() || !pictures[size_t(i)].isNull())
            return;
        const ImageCodec::ReadResult read = ImageCodec::read(files.at(i));
        if (read.ok()) {
            // Packed here, on the worker, as the cache keeps pictures.
            pictures[size_t(i)] = ImageCache::compact(read.value);
            readNow[size_t(i)] = 1;
        }
        if (told)
            told(++done * 10 / qMax(1, count));
    });
    images = QList<QImage>(pictures.cbegin(), pictures.cend());
    decoded = QList<bool>(readNow.cbegin(), readNow.cend());
    written = QList<bool>(count, false);
    clips = QList<QImage>(count);
    if (cancelled->load())
        return;

    CaptureAligner::Options steps = options;
    if (told)
        steps.progress = [told](int percent) { told(10 + percent * 80 / 100); };
    result = CaptureAligner::align(images, steps);
    if (result.cancelled || cancelled->load())
        return;
    if (!result.error.isEmpty()) {
        error = result.error;
        return;
    }
    if (result.placedCount() == 0) {
        error = CImgJoinEngine::tr("没有一张图片能与其他图片对上, 未做任何改变");
        return;
    }

    // Each placed picture's drawing area goes into its clip file.
    std::vector<QImage> cut(static_cast<size_t>(count));
    std::vector<char> stored(size_t(count), 0);
    const int placed = result.placedCount();
    done = 0;
    parallelFor(count, [&](int i) {
        if (cancelled->load() || !result.placed.at(i))
            return;
        QImage clip = ImageCache::compact(images.at(i).copy(result.area));
        if (ImageCodec::write(clip, targets.at(i), formats.at(i), ImageCodec::Effort::Fast).ok()) {
            stored[size_t(i)] = 1;
            cut[size_t(i)] = std::move(clip);
        }
        if (told)
            told(90 + ++done * 10 / qMax(1, placed));
    });
    clips = QList<QImage>(cut.cbegin(), cut.cend());
    written = QList<bool>(stored.cbegin(), stored.cend());
}
