#include "CImgJoinEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

CImgJoinEngine::CImgJoinEngine(QObject* parent)
    : QObject(parent)
    , m_horzRuler(RulerTable::Naming::Numbers)
    , m_vertRuler(RulerTable::Naming::Letters)
{
}

CImgJoinEngine::~CImgJoinEngine() = default;

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

JoinPicture* CImgJoinEngine::current()
{
    return HasCurrentPicture() ? &m_pictures[m_currentPicture] : nullptr;
}

void CImgJoinEngine::AddPicture(const QString& path)
{
    if (m_pictures.size() >= MaxPictures)
        return;
    JoinPicture picture;
    picture.file = path;
    m_pictures.append(picture);
    m_currentPicture = int(m_pictures.size()) - 1;
    m_filterStep = 2;
}

bool CImgJoinEngine::addPlacedPicture(const QString& path, int x, int y, int width, int height,
                                      float angle)
{
    if (m_pictures.size() >= MaxPictures)
        return false;
    AddPicture(path);
    JoinPicture& picture = m_pictures.last();
    if (width <= 0 || height <= 0) {
        if (!measure(picture))
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
    return true;
}

void CImgJoinEngine::ClearPictures()
{
    m_pictures.clear();
    m_hotTransparent = false;
    m_currentPicture = 0;
    m_trimMode = TrimMode::None;
}

int CImgJoinEngine::HasCurrentPicture() const
{
    return (m_currentPicture >= 0 && m_currentPicture < m_pictures.size()) ? 1 : 0;
}

int CImgJoinEngine::NeedsSplash(DisplayMode viewMode) const
{
    return (viewMode != DisplayMode::Output && m_pictures.isEmpty()) ? 1 : 0;
}

int CImgJoinEngine::EnterOutputMode(DisplayMode viewMode)
{
    if (viewMode == DisplayMode::Output)
        return 1;
    if (!HasCurrentPicture())
        return 0;
    m_outputFile = m_pictures.at(m_currentPicture).file;
    m_outputX = 0;
    m_outputY = 0;
    m_outputFit = 0;
    m_outputZoom = 1.0f;
    m_pictures.clear();
    m_outputOrigFile = m_outputFile;
    return 1;
}

void CImgJoinEngine::RestoreOutputPicture()
{
    m_outputFile = m_outputOrigFile;
}

bool CImgJoinEngine::CopyOutputPicture(const QString& destination)
{
    const QFileInfo source(m_outputFile);
    if (source.absoluteFilePath() == QFileInfo(destination).absoluteFilePath())
        return true; // the picture is already there
    QFile in(m_outputFile);
    if (!in.open(QIODevice::ReadOnly)) {
        report(tr("无法读取输出图片 %1").arg(QDir::toNativeSeparators(m_outputFile)));
        return false;
    }
    QSaveFile out(destination);
    if (!out.open(QIODevice::WriteOnly) || out.write(in.readAll()) < 0 || !out.commit()) {
        report(tr("无法写入 %1: %2").arg(QDir::toNativeSeparators(destination), out.errorString()));
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
    m_zoom = zoom;
    m_originX = originX;
    m_originY = originY;
}

bool CImgJoinEngine::measure(JoinPicture& picture)
{
    if (picture.measured())
        return true;
    QString error;
    const QSize size = m_imageCache.size(picture.file, &error);
    if (!size.isValid()) {
        report(error);
        return false;
    }
    picture.width = size.width();
    picture.height = size.height();
    picture.state = JoinPicture::Measured;
    return true;
}

QString CImgJoinEngine::nextClipName(const QString& suffix)
{
    const QString name = QStringLiteral("tmpClipWinPic_%1.%2").arg(m_clipSeq).arg(suffix);
    ++m_clipSeq;
    return QDir(tempDir()).filePath(name);
}
