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
    if (!picture)
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
    job.settings = m_bkReplace;
    job.settings.step = m_filterStep;
    job.pictureIndex = m_currentPicture;
    job.pictureFile = picture->file;
    job.format = ImageCodec::formatForSuffix(suffix, &served);
    job.target = nextClipName(served ? suffix : ImageCodec::suffixFor(job.format));
    job.progress = &m_progress;
    m_progress.reset();
    return job;
}

bool CImgJoinEngine::endFilter(const PixelJob& job)
{
    if (job.kind != PixelJob::Kind::Filter)
        return false;
    if (!job.written) {
        report(job.error.isEmpty() ? tr("无法保存处理后的图片") : job.error);
        return false;
    }
    if (job.pictureIndex < 0 || job.pictureIndex >= m_pictures.size() ||
        m_pictures.at(job.pictureIndex).file != job.pictureFile) {
        report(tr("图片在处理期间已改变, 处理结果未采用"));
        return false;
    }
    JoinPicture& picture = m_pictures[job.pictureIndex];
    m_filterBackup = picture;
    m_filterBackupOf = job.target;
    picture.file = job.target;
    picture.angle = 0.0f;
    if (job.filter == FilterCode::Posterise)
        m_filterStep = PixelRules::nextPosteriseStep(m_filterStep);
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

JoinPicture CImgJoinEngine::noFilterUndo()
{
    JoinPicture empty;
    empty.state = ' ';
    return empty;
}

int CImgJoinEngine::findFilteredPicture() const
{
    if (m_filterBackup.state == ' ')
        return -1;
    for (int i = 0; i < m_pictures.size(); ++i) {
        if (m_pictures.at(i).file == m_filterBackupOf)
            return i;
    }
    return -1;
}

char CImgJoinEngine::HasFilterUndo() const
{
    return findFilteredPicture() >= 0 ? m_filterBackup.state : ' ';
}

void CImgJoinEngine::UndoFilter()
{
    const int index = findFilteredPicture();
    if (index < 0)
        return;
    m_pictures[index] = m_filterBackup;
    m_filterBackup.state = ' ';
    m_filterBackupOf.clear();
}

void CImgJoinEngine::SetBkColorReplace(ColorRef colour, uchar loR, uchar hiR, uchar loG, uchar hiG,
                                       uchar loB, uchar hiB)
{
    m_bkReplace.replacement = colour;
    m_bkReplace.range = { loR, hiR, loG, hiG, loB, hiB };
}
