// Arranging captures of one drawing by themselves: the whole canvas, or the
// current picture over the pictures below it.
#include "CImgJoinEngine.h"

#include "CanvasMath.h"
#include "PixelJob.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>
#include <cmath>

AutoJoinJob CImgJoinEngine::beginAutoJoin()
{
    QList<int> all;
    for (int i = 0; i < m_canvas.count(); ++i)
        all << i;
    return beginAutoJoin(all);
}

AutoJoinJob CImgJoinEngine::beginAutoJoin(const QList<int>& pictures)
{
    AutoJoinJob job;
    if (refusedWhileBusy())
        return job;
    QList<int> chosen;
    for (int index : pictures)
        if (index >= 0 && index < m_canvas.count() && !chosen.contains(index))
            chosen << index;
    std::sort(chosen.begin(), chosen.end());
    if (chosen.size() < 2) {
        report(tr("自动拼接至少需要两张图片"));
        return job;
    }
    if (!ensureTempDir()) {
        report(tr("无法建立临时文件夹 %1").arg(QDir::toNativeSeparators(tempDir())));
        return job;
    }
    for (int index : std::as_const(chosen)) {
        const QString& file = m_canvas.at(index).file;
        job.indices << index;
        job.files << file;
        // Pictures in memory are shared with the job; the rest it decodes
        // itself and hands back to the cache.
        job.images << (m_imageCache.isFresh(file) ? m_imageCache.get(file).image : QImage());
        // Clips are exact copies of the captures, so they are always PNG.
        job.targets << unusedClipName(QStringLiteral("png"));
        job.formats << ImageCodec::Format::Png;
    }
    job.progress = &m_progress;
    m_progress.reset();
    ProgressMeter* meter = &m_progress;
    job.options.progress = [meter](int percent) { meter->atRow(percent, 100); };
    job.options.cancel = job.cancelled.get();
    m_busy = true;
    return job;
}

bool CImgJoinEngine::endAutoJoin(const AutoJoinJob& job)
{
    if (!job.valid())
        return false;
    m_busy = false;
    const auto dropClips = [&job] {
        for (qsizetype i = 0; i < job.targets.size(); ++i)
            if (i < job.written.size() && job.written.at(i))
                QFile::remove(job.targets.at(i));
    };
    // The pictures the job decoded that stay on show stay decoded for the
    // coming paint; a placed picture shows its clip from now on.
    const auto keepDecoded = [this, &job](bool all) {
        for (qsizetype i = 0; i < job.files.size() && i < job.decoded.size(); ++i)
            if (job.decoded.at(i) && (all || !job.result.placed.value(i)))
                m_imageCache.remember(job.files.at(i), job.images.at(i));
    };
    if (job.wasCancelled() || !job.error.isEmpty()) {
        keepDecoded(true);
        dropClips();
        if (!job.wasCancelled())
            report(job.error);
        return false;
    }
    bool unchanged = true;
    for (qsizetype i = 0; unchanged && i < job.indices.size(); ++i) {
        const int index = job.indices.at(i);
        unchanged = index < m_canvas.count() && m_canvas.at(index).file == job.files.at(i);
    }
    if (!unchanged) {
        dropClips();
        keepDecoded(true);
        report(tr("图片在自动拼接期间已改变, 拼接结果未采用"));
        return false;
    }

    const CaptureAligner::Result& result = job.result;
    // The drawing stays where the first placed picture's drawing area was;
    // at the canvas origin when that would leave the canvas's range.
    QPoint anchor;
    for (int i = 0; i < job.indices.size(); ++i) {
        if (!result.placed.value(i) || !job.written.value(i))
            continue;
        const JoinPicture& first = m_canvas.at(job.indices.at(i));
        const qint64 x = qint64(first.x) + result.area.x() - result.offsets.at(i).x();
        const qint64 y = qint64(first.y) + result.area.y() - result.offsets.at(i).y();
        if (boxFits(x, y, result.canvasSize.width(), result.canvasSize.height()))
            anchor = QPoint(int(x), int(y));
        break;
    }

    keepDecoded(false);
    const CanvasSnapshot before = snapshot();
    QStringList unwritten;
    for (int i = 0; i < job.indices.size(); ++i) {
        if (!result.placed.value(i))
            continue;
        if (!job.written.value(i)) {
            unwritten << QDir::toNativeSeparators(job.targets.at(i));
            continue;
        }
        JoinPicture& picture = m_canvas.at(job.indices.at(i));
        picture.file = job.targets.at(i);
        picture.x = anchor.x() + result.offsets.at(i).x();
        picture.y = anchor.y() + result.offsets.at(i).y();
        picture.width = result.area.width();
        picture.height = result.area.height();
        picture.angle = 0.0f;
        picture.state = JoinPicture::Measured;
        if (i < job.clips.size())
            m_imageCache.remember(picture.file, job.clips.at(i));
    }
    recordEdit(tr("自动拼接全部图片"), before);
    if (!unwritten.isEmpty())
        report(tr("无法写入临时文件 %1").arg(unwritten.join(QStringLiteral(", "))));
    return snapshot().pictures != before.pictures;
}

QString CImgJoinEngine::AutoJoinSummary(const AutoJoinJob& job)
{
    if (job.wasCancelled())
        return tr("已取消自动拼接");
    if (!job.error.isEmpty())
        return job.error;
    const CaptureAligner::Result& result = job.result;
    QStringList leftOut;
    for (qsizetype i = 0; i < job.files.size(); ++i)
        if (!result.placed.value(i))
            leftOut << QFileInfo(job.files.at(i)).fileName();
    const int placed = result.placedCount();
    if (leftOut.isEmpty())
        return tr("自动拼接: 已放置全部 %1 张图片").arg(placed);
    return tr("自动拼接: 已放置 %1 张图片, 未能放置 %2 张: %3")
        .arg(placed)
        .arg(leftOut.size())
        .arg(leftOut.join(QStringLiteral(", ")));
}

CImgJoinEngine::AlignOutcome CImgJoinEngine::AutoAlignCurrentPicture(const QRect& searchBox)
{
    AlignOutcome outcome;
    const int index = m_canvas.currentIndex();
    if (refusedWhileBusy() || index < 0 || index >= m_canvas.count()) {
        outcome.message = tr("没有当前图片");
        return outcome;
    }
    if (index == 0) {
        outcome.message = tr("当前图片下面没有其他图片, 无法自动对齐");
        return outcome;
    }
    JoinPicture& moving = m_canvas.at(index);
    const ImageCache::Entry entry = load(moving);
    if (!entry.ok()) {
        report(entry.error);
        outcome.message = entry.error;
        return outcome;
    }
    // Only what the pictures below cover within the search box is searched.
    QRect covered;
    for (int i = 0; i < index; ++i) {
        JoinPicture& picture = m_canvas.at(i);
        if (!picture.measured() && !load(picture).ok())
            continue; // reported; it cannot be drawn either
        covered |= QRect(picture.x, picture.y, picture.width, picture.height);
    }
    const QRect ground = covered & searchBox.normalized();
    if (ground.isEmpty()) {
        outcome.message = tr("在当前显示范围内没有找到与当前图片吻合的位置");
        return outcome;
    }
    if (qint64(ground.width()) * ground.height() > ImageCodec::MaxPixels) {
        outcome.message = tr("搜索范围太大, 请放大显示后再试");
        return outcome;
    }
    // What the pictures below show within the search box, at canvas scale.
    QImage below(ground.size(), QImage::Format_ARGB32_Premultiplied);
    if (below.isNull()) {
        outcome.message = tr("搜索范围太大, 内存不足");
        return outcome;
    }
    below.fill(Qt::transparent);
    {
        QPainter painter(&below);
        for (int i = 0; i < index; ++i) {
            JoinPicture& picture = m_canvas.at(i);
            const QRect box(picture.x, picture.y, picture.width, picture.height);
            if (!picture.measured() || !box.intersects(ground))
                continue;
            const ImageCache::Entry under = load(picture);
            if (!under.ok()) {
                report(under.error);
                outcome.message = under.error;
                return outcome;
            }
            const QImage shown = PixelJob::renderBox(under.image, box.size(), picture.angle);
            painter.drawImage(box.topLeft() - ground.topLeft(), shown);
        }
    }
    const QImage shown =
        PixelJob::renderBox(entry.image, QSize(moving.width, moving.height), moving.angle);
    QPoint offset;
    double confidence = 0.0;
    if (!CaptureAligner::locate(shown, below, offset, confidence)) {
        outcome.message = tr("在当前显示范围内没有找到与当前图片吻合的位置");
        return outcome;
    }
    const QPoint place = ground.topLeft() + offset;
    outcome.distance = place - QPoint(moving.x, moving.y);
    outcome.confidence = confidence;
    if (outcome.distance.isNull()) {
        outcome.message = tr("当前图片已在吻合的位置");
        return outcome;
    }
    const CanvasSnapshot before = snapshot();
    moving.x = place.x();
    moving.y = place.y();
    recordEdit(tr("自动对齐当前图片"), before);
    outcome.moved = true;
    outcome.message = tr("当前图片已自动对齐, 移动了 (%1, %2), 可信度 %3%")
                          .arg(outcome.distance.x())
                          .arg(outcome.distance.y())
                          .arg(int(std::lround(confidence * 100)));
    return outcome;
}
