#include "CImgJoinEngine.h"

#include "ScreenBitmap.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString captureFileName(int sequence)
{
    const QString stem = QStringLiteral("hotCaptureScrn_gcc345");
    if (sequence == 0)
        return stem + QStringLiteral(".bmp");
    return QStringLiteral("%1_%2.bmp").arg(stem).arg(sequence);
}

// The first sequence number from this one on whose file is not there yet.
int freeCaptureSequence(const QDir& folder, int from)
{
    int sequence = from;
    while (QFileInfo::exists(folder.filePath(captureFileName(sequence))))
        ++sequence;
    return sequence;
}

} // namespace

QString CImgJoinEngine::nextCaptureName() const
{
    const QDir folder(tempDir());
    return folder.filePath(captureFileName(freeCaptureSequence(folder, m_captureSeq)));
}

QString CImgJoinEngine::addTempPicture(const std::function<QString()>& writeFile)
{
    if (refusedWhileBusy())
        return {};
    const bool toOutput = m_viewMode == DisplayMode::Output;
    if (!toOutput && m_canvas.count() >= MaxPictures) {
        report(tr("画布上已有%1张图片，不能再装入新的图片").arg(MaxPictures));
        return {};
    }
    if (!ensureTempDir())
        return {};
    const QString path = writeFile();
    if (path.isEmpty())
        return {};
    if (toOutput)
        m_output.replace(path);
    else
        AddPicture(path);
    return path;
}

QString CImgJoinEngine::CaptureScreen(const QImage& screen)
{
    return addTempPicture([this, &screen]() -> QString {
        const QDir folder(tempDir());
        const int sequence = freeCaptureSequence(folder, m_captureSeq);
        const QString path = folder.filePath(captureFileName(sequence));
        const IoStatus written = ScreenBitmap::write(screen, path);
        if (!written.ok()) {
            report(written.error);
            return {};
        }
        m_captureSeq = sequence + 1;
        return path;
    });
}
