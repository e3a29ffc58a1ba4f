// Pixel filters of the current picture, with one level of undo.
#include "CImgJoinEngine.h"

#include <QFileInfo>

bool CImgJoinEngine::ApplyFilter(FilterCode code)
{
    PixelJob job = beginFilter(code);
    if (!job.valid())
        return false;
    job.run();
    return endFilter(job);
}

PixelJob CImgJoinEngine::beginFilter(FilterCode code)
{
    JoinPicture* picture = current();
    if (!picture || refusedWhileBusy())
        return {};
    const ImageCache::Entry entry = load(*picture);
    if (!entry.ok()) {
        if (!entry.decodedNow) // load() has told the user already when it read the file now
            report(entry.error);
        return {};
    }
    if (picture->width <= 0 || picture->height <= 0) {
        report(tr("图片没有大小, 无法处理"));
        return {};
    }
    if (!ensureTempDir())
        return {};

    // The picture's own suffix names the result and picks its encoder; one
    // that no encoder serves gives a PNG file.
    bool served = false;
    const QString suffix = QFileInfo(picture->file).suffix();
    PixelJob job;
    job.kind = PixelJob::Kind::Filter;
    job.filter = code;
    job.source = entry.image;
    job.box = QSize(picture->width, picture->height);
    job.angle = picture->angle;
    job.settings = m_filterSettings;
    job.pictureIndex = m_canvas.currentIndex();
    job.pictureFile = picture->file;
    job.format = ImageCodec::formatForSuffix(suffix, &served);
    job.target = nextClipName(served ? suffix : ImageCodec::suffixFor(job.format));
    job.progress = &m_progress;
    m_progress.reset();
    m_busy = true;
    return job;
}

bool CImgJoinEngine::endFilter(const PixelJob& job)
{
    if (job.kind != PixelJob::Kind::Filter)
        return false;
    m_busy = false;
    if (!job.written) {
        report(job.error.isEmpty() ? tr("无法保存处理后的图片") : job.error);
        return false;
    }
    if (job.pictureIndex < 0 || job.pictureIndex >= m_canvas.count() ||
        m_canvas.at(job.pictureIndex).file != job.pictureFile) {
        report(tr("图片在处理期间已改变, 处理结果未采用"));
        return false;
    }
    const CanvasSnapshot before = snapshot();
    JoinPicture& picture = m_canvas.at(job.pictureIndex);
    m_filterBackup.remember(picture, job.target);
    picture.file = job.target;
    picture.angle = 0.0f;
    recordEdit(tr("图片滤镜"), before);
    if (job.filter == FilterCode::Posterise)
        m_filterSettings.step = PixelRules::nextPosteriseStep(m_filterSettings.step);
    rememberResult(job);
    return true;
}

bool CImgJoinEngine::rememberResult(const PixelJob& job)
{
    // Lossless files hold exactly these pixels, so showing them needs no
    // decode. BMP files are written opaque.
    const bool lossless = job.format == ImageCodec::Format::Png ||
                          (job.format == ImageCodec::Format::Bmp && !job.result.hasAlphaChannel());
    if (!lossless)
        return false;
    m_imageCache.remember(job.target, job.result);
    return true;
}

char CImgJoinEngine::HasFilterUndo() const
{
    return m_filterBackup.state(m_canvas.pictures());
}

void CImgJoinEngine::UndoFilter()
{
    if (refusedWhileBusy())
        return;
    const CanvasSnapshot before = snapshot();
    m_filterBackup.undo(m_canvas.pictures());
    recordEdit(tr("撤消图片滤镜"), before);
}

void CImgJoinEngine::SetBkColorReplace(ColorRef colour, uchar loR, uchar hiR, uchar loG, uchar hiG,
                                       uchar loB, uchar hiB)
{
    m_filterSettings.replacement = colour;
    m_filterSettings.range = { loR, hiR, loG, hiG, loB, hiB };
}
