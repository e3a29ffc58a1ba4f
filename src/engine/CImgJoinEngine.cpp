#include "CImgJoinEngine.h"

#include "CanvasMath.h"
#include "IoErrorText.h"
#include "WriteFailure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtNumeric>

#include <cerrno>

CImgJoinEngine::CImgJoinEngine(QObject* parent)
    : QObject(parent)
{
    m_clipFiles.setRules([this](const QString& file) { return isClipFile(file); },
                         [this](const QString& file) { return clipFileInUse(file); });
    m_undoStack.setUndoLimit(UndoLimit);
}

CImgJoinEngine::~CImgJoinEngine()
{
    // The steps go while the canvas they look at is still here.
    m_undoStack.clear();
}

void CImgJoinEngine::SetDataDir(const QString& dir)
{
    m_dataDir = dir;
    m_printInfoFile = QDir(dir).filePath(QStringLiteral("qznAzgcPrtImage.3mg"));
    m_settingsFile = QDir(dir).filePath(QStringLiteral("qznImgSplitJointInfo.3sp"));
}

QString CImgJoinEngine::tempDir() const
{
    return QDir(m_dataDir).filePath(QStringLiteral("rvAZTemp"));
}

bool CImgJoinEngine::ensureTempDir()
{
    const QString dir = tempDir();
    if (QFileInfo(dir).isDir() || QDir().mkpath(dir))
        return true;
    report(tr("无法建立临时文件夹 %1").arg(QDir::toNativeSeparators(dir)));
    return false;
}

void CImgJoinEngine::report(const QString& message)
{
    emit errorOccurred(message);
}

bool CImgJoinEngine::refusedWhileBusy()
{
    if (!m_busy)
        return false;
    report(tr("正在处理图片, 请等处理结束后再操作"));
    return true;
}

void CImgJoinEngine::AddPicture(const QString& path)
{
    const CanvasSnapshot before = snapshot();
    addPictureRecord(path);
    recordEdit(tr("装入图片"), before);
}

void CImgJoinEngine::addPictureRecord(const QString& path)
{
    if (refusedWhileBusy() || !m_canvas.add(path))
        return;
    m_filterSettings.step = 2;
}

bool CImgJoinEngine::LoadPicture(const QString& path)
{
    if (refusedWhileBusy())
        return false;
    if (m_canvas.count() >= MaxPictures) {
        report(tr("画布上已有%1张图片，不能再装入新的图片").arg(MaxPictures));
        return false;
    }
    // A whole decode: a header alone does not show a cut-off file.
    const ImageCache::Entry entry = m_imageCache.get(path);
    if (!entry.ok()) {
        report(tr("没有装入图片 %1：%2").arg(QDir::toNativeSeparators(path), entry.error));
        return false;
    }
    if (entry.image.isNull() || entry.image.size().isEmpty()) {
        report(tr("没有装入图片 %1：图片是空的").arg(QDir::toNativeSeparators(path)));
        return false;
    }
    const CanvasSnapshot before = snapshot();
    addPictureRecord(path);
    JoinPicture& picture = m_canvas.pictures().last();
    picture.width = entry.image.width();
    picture.height = entry.image.height();
    picture.state = JoinPicture::Measured;
    recordEdit(tr("装入图片"), before);
    return true;
}

bool CImgJoinEngine::addPlacedPicture(const QString& path, int x, int y, int width, int height,
                                      float angle)
{
    if (m_busy || m_canvas.count() >= MaxPictures) {
        refusedWhileBusy();
        return false;
    }
    // Not a number or an endless turn would draw nothing at all.
    if (!qIsFinite(angle)) {
        report(tr("旋转角度无效: %1").arg(double(angle)));
        return false;
    }
    const CanvasSnapshot before = snapshot();
    addPictureRecord(path);
    JoinPicture& picture = m_canvas.pictures().last();
    if (width <= 0 || height <= 0) {
        // A file that cannot be measured is reported and not left behind
        // as a record of no size, as a box out of range is not.
        if (!measure(picture)) {
            m_canvas.reorder(LayerCode::Delete);
            return false;
        }
    }
    const int boxWidth = width > 0 && height > 0 ? width : picture.width;
    const int boxHeight = width > 0 && height > 0 ? height : picture.height;
    // Every later sum of a position and a size must stay inside the int range.
    if (!boxFits(x, y, boxWidth, boxHeight)) {
        m_canvas.reorder(LayerCode::Delete);
        report(tr("图片 %1 的位置 (%2, %3) 加上大小 %4 × %5 太大，超出了画布坐标的范围")
                   .arg(QDir::toNativeSeparators(path))
                   .arg(x)
                   .arg(y)
                   .arg(boxWidth)
                   .arg(boxHeight));
        return false;
    }
    picture.x = x;
    picture.y = y;
    if (width > 0 && height > 0) {
        picture.width = width;
        picture.height = height;
        picture.state = JoinPicture::Measured;
    }
    picture.angle = angle;
    recordEdit(tr("装入图片"), before);
    return true;
}

void CImgJoinEngine::ClearPictures()
{
    if (refusedWhileBusy())
        return;
    const CanvasSnapshot before = snapshot();
    m_canvas.clear();
    m_trimLine.clear();
    recordEdit(tr("清除图片"), before);
}

int CImgJoinEngine::HasCurrentPicture() const
{
    return m_canvas.hasCurrent() ? 1 : 0;
}

int CImgJoinEngine::NeedsSplash(DisplayMode viewMode) const
{
    return (viewMode != DisplayMode::Output && m_canvas.isEmpty()) ? 1 : 0;
}

int CImgJoinEngine::EnterOutputMode(DisplayMode viewMode)
{
    if (viewMode == DisplayMode::Output)
        return 1;
    if (!HasCurrentPicture() || refusedWhileBusy())
        return 0;
    m_output.open(m_canvas.current()->file);
    m_output.resetPlacement();
    // The canvas is given up for the output picture; its edits go with it.
    m_canvas.pictures().clear();
    m_undoStack.clear();
    MarkCanvasSaved();
    return 1;
}

void CImgJoinEngine::RestoreOutputPicture()
{
    if (!refusedWhileBusy())
        m_output.restore();
}

QImage CImgJoinEngine::GetOutputImage()
{
    const ImageCache::Entry entry = m_imageCache.get(m_output.file());
    if (!entry.ok()) {
        report(entry.error);
        return {};
    }
    return entry.image;
}

void CImgJoinEngine::PreloadPictures(const QStringList& files)
{
    m_imageCache.preload(files);
}

QString CImgJoinEngine::PictureReadError(const QString& file)
{
    return m_imageCache.get(file).error;
}

QString CImgJoinEngine::PictureHeaderError(const QString& file)
{
    return m_imageCache.size(file).error;
}

void CImgJoinEngine::ForgetDecodedPictures()
{
    m_imageCache.clear();
    m_renditionCache.clear();
}

void CImgJoinEngine::ForgetRenditions()
{
    m_renditionCache.clear();
}

void CImgJoinEngine::setProgressObserver(std::function<void(int)> observer)
{
    m_progress.setObserver(std::move(observer));
}

bool CImgJoinEngine::CopyOutputPicture(const QString& destination)
{
    const QString outputFile = m_output.file();
    const QFileInfo source(outputFile);
    if (source.absoluteFilePath() == QFileInfo(destination).absoluteFilePath())
        return true; // the picture is already there
    QFile in(outputFile);
    if (!in.open(QIODevice::ReadOnly)) {
        report(tr("无法读取输出图片 %1").arg(QDir::toNativeSeparators(outputFile)));
        return false;
    }
    if (const IoStatus target = ImageCodec::replaceableTarget(destination); !target.ok()) {
        report(target.error);
        return false;
    }
    // Every byte must arrive: a write that comes up short (a full disk) would
    // otherwise leave a cut copy in place.
    errno = 0;
    QSaveFile out(destination);
    const QByteArray bytes = in.readAll();
    int errorNumber = 0;
    const bool opened = out.open(QIODevice::WriteOnly);
    const bool whole = opened && out.write(bytes) == bytes.size();
    if (!opened || !whole)
        errorNumber = errno;
    if (!whole || !WriteFailure::commit(out, &errorNumber)) {
        report(WriteFailure::reason(destination, out, errorNumber,
                                    tr("无法写入 %1: %2")
                                        .arg(QDir::toNativeSeparators(destination),
                                             IoErrorText::reason(out, errorNumber))));
        return false;
    }
    return true;
}

bool CImgJoinEngine::SaveOutputPicture(const QString& destination, const QString& format)
{
    const ImageCodec::Format wanted = ImageCodec::formatForSuffix(format);
    if (ImageCodec::storedFormat(m_output.file()) == wanted)
        return CopyOutputPicture(destination);
    const QImage picture = GetOutputImage();
    if (picture.isNull())
        return false; // GetOutputImage has said why
    const IoStatus written =
        ImageCodec::write(picture, destination, wanted, ImageCodec::Effort::Normal);
    if (!written.ok()) {
        report(written.error);
        return false;
    }
    return true;
}

int CImgJoinEngine::BkColorDlgOpen(int code)
{
    if (code == 0)
        m_bkColorDlgOpen = false;
    else if (code == 1)
        m_bkColorDlgOpen = true;
    return m_bkColorDlgOpen ? 1 : 0;
}

void CImgJoinEngine::setCanvasMapping(float zoom, int originX, int originY)
{
    m_canvas.setMapping(zoom, QPoint(originX, originY));
}

bool CImgJoinEngine::measure(JoinPicture& picture)
{
    if (picture.measured())
        return true;
    const IoResult<QSize> size = m_imageCache.size(picture.file);
    if (!size.ok()) {
        report(size.error);
        return false;
    }
    picture.width = size.value.width();
    picture.height = size.value.height();
    picture.state = JoinPicture::Measured;
    return true;
}

QString CImgJoinEngine::nextClipName(const QString& suffix)
{
    const QString name = QStringLiteral("tmpClipWinPic_%1.%2").arg(m_clipSeq).arg(suffix);
    ++m_clipSeq;
    return QDir(tempDir()).filePath(name);
}
