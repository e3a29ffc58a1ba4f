// Undo and redo of the edits of the picture records.
#include "CImgJoinEngine.h"

#include "CanvasEditCommand.h"

#include <QDir>
#include <QFileInfo>

CanvasSnapshot CImgJoinEngine::snapshot() const
{
    // A copy of its own: edits write through pointers into the canvas' list,
    // which must not reach a list shared with a snapshot.
    CanvasSnapshot state{ m_canvas.pictures(), m_canvas.currentIndex() };
    state.pictures.detach();
    return state;
}

void CImgJoinEngine::restore(const CanvasSnapshot& state)
{
    m_canvas.pictures() = state.pictures;
    m_canvas.pictures().detach();
    m_canvas.setCurrentIndex(state.current);
}

void CImgJoinEngine::recordEdit(const QString& text, const CanvasSnapshot& before, int mergeId)
{
    CanvasSnapshot after = snapshot();
    // Stepping to another picture alone is not an edit.
    if (after.pictures == before.pictures)
        return;
    m_undoStack.push(new CanvasEditCommand(
        text, before, std::move(after), [this](const CanvasSnapshot& state) { restore(state); },
        &m_clipFiles, mergeId));
}

bool CImgJoinEngine::Undo()
{
    if (!m_undoStack.canUndo() || refusedWhileBusy())
        return false;
    m_undoStack.undo();
    return true;
}

bool CImgJoinEngine::Redo()
{
    if (!m_undoStack.canRedo() || refusedWhileBusy())
        return false;
    m_undoStack.redo();
    return true;
}

bool CImgJoinEngine::isClipFile(const QString& file) const
{
    // Only the files the engine named itself in its temporary folder.
    const QFileInfo info(file);
    return info.fileName().startsWith(QStringLiteral("tmpClipWinPic_")) &&
           QDir(info.absolutePath()) == QDir(tempDir());
}

bool CImgJoinEngine::clipFileInUse(const QString& file) const
{
    return m_canvas.indexOfFile(file) >= 0 || m_filterBackup.backup().file == file ||
           m_output.file() == file || m_output.originalFile() == file;
}
