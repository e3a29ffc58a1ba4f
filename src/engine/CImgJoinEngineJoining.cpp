// Composing every canvas picture into one joined picture.
#include "CImgJoinEngine.h"

#include "JoinSaveJob.h"

#include <QFileInfo>

bool CImgJoinEngine::joinLayers(QSize& canvas, QList<BandComposer::Layer>& layers)
{
    const QList<JoinPicture>& pictures = m_canvas.pictures();
    // In 64 bits: a box near the end of the int range must not wrap round.
    qint64 minX = pictures.first().x, minY = pictures.first().y;
    qint64 maxRight = 0, maxBottom = 0;
    for (const JoinPicture& picture : pictures) {
        minX = qMin(minX, qint64(picture.x));
        minY = qMin(minY, qint64(picture.y));
        maxRight = qMax(maxRight, qint64(picture.x) + picture.width);
        maxBottom = qMax(maxBottom, qint64(picture.y) + picture.height);
    }
    const qint64 width = maxRight - minX, height = maxBottom - minY;
    if (width <= 0 || height <= 0)
        return false;
    if (width > ImageCodec::MaxPixels || height > ImageCodec::MaxPixels ||
        width * height > ImageCodec::MaxPixels) {
        report(tr("拼接图片太大(%1 x %2)").arg(width).arg(height));
        return false;
    }
    canvas = QSize(int(width), int(height));
    layers.clear();
    for (const JoinPicture& picture : pictures) {
        if (picture.width <= 0 || picture.height <= 0)
            continue;
        BandComposer::Layer layer;
        layer.file = picture.file;
        layer.box =
            QRect(int(picture.x - minX), int(picture.y - minY), picture.width, picture.height);
        layer.angle = picture.angle;
        // Pictures the view has decoded already are shared; the others are
        // read from their files as the composition reaches them.
        if (m_imageCache.isFresh(picture.file))
            layer.image = m_imageCache.get(picture.file).image;
        layers.append(layer);
    }
    return true;
}

QImage CImgJoinEngine::RenderJoinedPicture()
{
    if (m_canvas.isEmpty() || refusedWhileBusy())
        return {};
    QSize canvas;
    QList<BandComposer::Layer> layers;
    if (!joinLayers(canvas, layers))
        return {};
    QString error;
    int decoded = 0;
    QImage joined = JoinSaveJob::composeWhole(canvas, layers, &error, &decoded);
    m_filesDecodedByJoins += decoded;
    if (joined.isNull())
        report(error);
    return joined;
}

JoinSaveJob CImgJoinEngine::beginJoinSave(const QString& format, const QString& path)
{
    if (m_canvas.isEmpty() || refusedWhileBusy())
        return {};
    JoinSaveJob job;
    if (!joinLayers(job.canvas, job.layers))
        return {};
    job.target = path;
    job.format = ImageCodec::formatForSuffix(format);
    job.progress = &m_progress;
    m_progress.reset();
    m_busy = true;
    return job;
}

bool CImgJoinEngine::endJoinSave(const JoinSaveJob& job)
{
    if (!job.valid())
        return false;
    m_busy = false;
    m_filesDecodedByJoins += job.filesDecoded;
    if (!job.written) {
        report(job.error.isEmpty() ? tr("没有可保存的拼接图片") : job.error);
        return false;
    }
    MarkCanvasSaved();
    return true;
}

bool CImgJoinEngine::SaveJoinedPicture(const QString& format, const QString& path)
{
    JoinSaveJob job = beginJoinSave(format, path);
    if (!job.valid()) {
        if (!m_canvas.isEmpty() && !m_busy)
            report(tr("没有可保存的拼接图片"));
        return false;
    }
    job.run();
    return endJoinSave(job);
}

IoStatus CImgJoinEngine::WriteJoinedPicture(const QImage& joined, const QString& format,
                                            const QString& path)
{
    const ImageCodec::Format encoder = ImageCodec::formatForSuffix(format);
    return ImageCodec::write(joined, path, encoder, ImageCodec::Effort::Normal);
}
