#include "CQznImgEdtJoinDoc.h"

#include "CImgJoinEngine.h"
#include "RecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QWidget>

namespace {

const QString ProjectSuffix = QStringLiteral("ora");

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

CQznImgEdtJoinDoc::CQznImgEdtJoinDoc(CImgJoinEngine& engine, QWidget* window)
    : QObject(window)
    , m_engine(engine)
    , m_window(window)
{
}

QString CQznImgEdtJoinDoc::projectFilter()
{
    return tr("拼接项目文件 (*.ora)");
}

bool CQznImgEdtJoinDoc::maybeSave()
{
    if (!m_engine.CanvasModified())
        return true;
    const QString question =
        m_projectFile.isEmpty()
            ? tr("画布上的拼接图片还没有保存。要先把它们保存为项目文件吗?")
            : tr("项目 %1 已修改。要先保存修改吗?").arg(QFileInfo(m_projectFile).fileName());
    switch (m_prompts.askSave(m_window, tr("保存项目"), question)) {
        case UserPrompts::SaveChoice::Save: return save();
        case UserPrompts::SaveChoice::Discard: return true;
        case UserPrompts::SaveChoice::Cancel: break;
    }
    return false;
}

bool CQznImgEdtJoinDoc::newDocument()
{
    if (!maybeSave())
        return false;
    m_engine.NewCanvas();
    m_projectFile.clear();
    emit canvasReplaced();
    return true;
}

bool CQznImgEdtJoinDoc::open()
{
    if (!maybeSave())
        return false;
    const QString path =
        m_prompts.chooseOpenFile(m_window, tr("打开项目文件"), startFolder(), projectFilter());
    QDir::setCurrent(m_engine.dataDir());
    return !path.isEmpty() && openFile(path);
}

bool CQznImgEdtJoinDoc::openRecent(const QString& path)
{
    if (!maybeSave())
        return false;
    if (openFile(path))
        return true;
    RecentFiles::remove(path);
    return false;
}

bool CQznImgEdtJoinDoc::openFile(const QString& path)
{
    // The engine says why a project cannot be opened, and keeps its canvas.
    if (!m_engine.OpenProject(path))
        return false;
    m_projectFile = QFileInfo(path).absoluteFilePath();
    RecentFiles::add(m_projectFile);
    emit canvasReplaced();
    emit statusMessage(tr("已打开项目 %1").arg(shown(m_projectFile)));
    return true;
}

bool CQznImgEdtJoinDoc::save()
{
    if (m_projectFile.isEmpty())
        return saveAs();
    return saveTo(m_projectFile);
}

bool CQznImgEdtJoinDoc::saveAs()
{
    const QString start = m_projectFile.isEmpty()
                              ? QDir(startFolder()).filePath(tr("拼接项目") + '.' + ProjectSuffix)
                              : m_projectFile;
    QString path = m_prompts.chooseSaveFile(m_window, tr("项目另存为"), start, projectFilter());
    QDir::setCurrent(m_engine.dataDir());
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().compare(ProjectSuffix, Qt::CaseInsensitive) != 0)
        path += '.' + ProjectSuffix;
    return saveTo(path);
}

bool CQznImgEdtJoinDoc::saveTo(const QString& path)
{
    if (!m_engine.SaveProject(path))
        return false; // the engine has said why
    m_projectFile = QFileInfo(path).absoluteFilePath();
    RecentFiles::add(m_projectFile);
    emit statusMessage(tr("项目已保存到 %1 (%2)")
                           .arg(shown(m_projectFile),
                                QLocale().formattedDataSize(QFileInfo(m_projectFile).size())));
    return true;
}

QString CQznImgEdtJoinDoc::startFolder() const
{
    if (!m_projectFile.isEmpty())
        return QFileInfo(m_projectFile).absolutePath();
    const QStringList recent = RecentFiles::entries();
    if (!recent.isEmpty())
        return QFileInfo(recent.constFirst()).absolutePath();
    return QDir::homePath();
}
