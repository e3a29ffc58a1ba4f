// Brush editing of the current picture: the window the edit dialog paints
// on, and writing its edits back into the picture.
#include "CImgJoinEngine.h"

#include "PixelJob.h"

#include <QDir>
#include <QFileInfo>

QImage CImgJoinEngine::renderForEdit(JoinPicture& picture)
{
    const ImageCache::Entry entry = load(picture);
    if (!entry.ok()) {
        if (!entry.decodedNow) // load() has told the user already when it read the file now
            report(entry.error);
        return {};
    }
    if (picture.width <= 0 || picture.height <= 0) {
        report(tr("图片没有大小, 无法处理"));
        return {};
    }
    const QImage rendering =
        PixelJob::renderBox(entry.image, QSize(picture.width, picture.height), picture.angle);
    if (rendering.isNull()) {
        report(tr("图片太大, 内存不足"));
        return {};
    }
    return rendering.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool CImgJoinEngine::BeginImageEdit(const QRect& area)
{
    m_imageEdit.setArea(area);
    m_imageEdit.clear();
    m_editOpen = false;
    m_editBefore.reset();
    JoinPicture* picture = current();
    if (!picture || refusedWhileBusy())
        return false;
    const QImage rendering = renderForEdit(*picture);
    if (rendering.isNull())
        return false;
    m_editOpen = true;
    m_editBefore = snapshot();
    m_imageEdit.load(rendering, QPoint(0, 0));
    return true;
}

bool CImgJoinEngine::ScrollImageEdit(EditScroll step)
{
    JoinPicture* picture = current();
    if (!m_editOpen || !picture || !m_imageEdit.canScroll(step))
        return false;
    // Edits that cannot be saved keep the window where it is, so they are
    // not thrown away with it.
    if (m_imageEdit.dirty() && !SaveImageEdit())
        return false;
    const QImage rendering = renderForEdit(*picture);
    if (rendering.isNull())
        return false;
    m_imageEdit.load(rendering, m_imageEdit.scrolled(step));
    return true;
}

QStringList CImgJoinEngine::imageEditFiles(const QString& suffix) const
{
    const QDir temp(tempDir());
    return { temp.filePath(QStringLiteral("tmpImgEdt_3211.%1").arg(suffix)),
             temp.filePath(QStringLiteral("tmpImgEdt_1123.%1").arg(suffix)) };
}

bool CImgJoinEngine::SaveImageEdit()
{
    JoinPicture* picture = current();
    if (!m_editOpen || !m_imageEdit.dirty() || !picture)
        return false;
    QImage rendering = renderForEdit(*picture);
    if (rendering.isNull())
        return false;
    m_imageEdit.storeInto(rendering);

    // The picture's own suffix names the file and picks its encoder; one
    // that no encoder serves gives a PNG file.
    bool served = false;
    const QString suffix = QFileInfo(picture->file).suffix();
    const ImageCodec::Format format = ImageCodec::formatForSuffix(suffix, &served);
    const QStringList names = imageEditFiles(served ? suffix : ImageCodec::suffixFor(format));
    const QString target = picture->file == names[0] ? names[1] : names[0];
    if (!writeResult(rendering, target, format))
        return false;
    // The file holds the turned picture in its box.
    picture->file = target;
    picture->angle = 0.0f;
    return true;
}

void CImgJoinEngine::EndImageEdit()
{
    SaveImageEdit();
    if (m_editBefore)
        recordEdit(tr("图片修改"), *m_editBefore);
    m_editBefore.reset();
    m_editOpen = false;
    m_imageEdit.clear();
}
