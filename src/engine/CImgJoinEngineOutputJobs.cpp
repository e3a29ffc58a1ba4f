// Print-output processing of the output picture.
#include "CImgJoinEngine.h"

#include <QDir>
#include <QFileInfo>

bool CImgJoinEngine::ProcessOutputPicture(OutputJob job)
{
    PixelJob task = beginOutputJob(job);
    if (!task.valid())
        return false;
    task.run();
    return endOutputJob(task);
}

PixelJob CImgJoinEngine::beginOutputJob(OutputJob job)
{
    if (refusedWhileBusy())
        return {};
    const QString outputFile = m_output.file();
    if (outputFile.isEmpty()) {
        report(tr("没有打印输出图片"));
        return {};
    }
    const ImageCache::Entry entry = m_imageCache.get(outputFile);
    if (!entry.ok()) {
        report(entry.error);
        return {};
    }
    if (!ensureTempDir())
        return {};

    // The result keeps the picture's suffix and encoder; one that no encoder
    // serves gives a PNG file.
    bool served = false;
    const QString suffix = QFileInfo(outputFile).suffix();
    PixelJob task;
    task.kind = PixelJob::Kind::Output;
    task.job = job;
    task.source = entry.image;
    task.format = ImageCodec::formatForSuffix(suffix, &served);
    const QString resultSuffix = served ? suffix : ImageCodec::suffixFor(task.format);

    // Two names in turn, so a job never writes the file it reads.
    const QDir temp(tempDir());
    task.target =
        m_output.otherName(temp.filePath(QStringLiteral("tmpPrtoutImg678.%1").arg(resultSuffix)),
                           temp.filePath(QStringLiteral("tmpPrtoutImg876.%1").arg(resultSuffix)));
    task.progress = &m_progress;
    m_progress.reset();
    m_busy = true;
    return task;
}

bool CImgJoinEngine::endOutputJob(const PixelJob& job)
{
    if (job.kind != PixelJob::Kind::Output)
        return false;
    m_busy = false;
    if (!job.written) {
        report(job.error.isEmpty() ? tr("无法保存处理后的图片") : job.error);
        return false;
    }
    m_output.setFile(job.target);
    rememberResult(job);
    return true;
}
