// The view's command handlers: each calls one engine operation (or opens one
// dialog) and redraws the canvas.
#include "CQznImgEdtJoinView.h"

#include "ImagingCommands.h"

#include "CBackgroundMusic.h"
#include "CCameraDlg.h"
#include "CGridTableDlg.h"
#include "CImgEditDlg.h"
#include "CImgJoinEngine.h"
#include "CToolButtonMenu.h"
#include "CViewCommands.h"
#include "CommandIds.h"
#include "RulerRefresh.h"

#include <QAction>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QMenu>

using namespace CommandId;

QString CQznImgEdtJoinView::pictureFilter()
{
    // The description is shown; the patterns in the last brackets are not.
    return tr("图形文件(*.bmp,*.jpg,*.png,*.gif)") +
           QStringLiteral(" (*.bmp *.jpg *.png *.gif *.BMP *.JPG *.PNG *.GIF)");
}

void CQznImgEdtJoinView::bindCommands()
{
    // Commands of features still to come have no handler yet and stay
    // disabled; each switches on by a setHandler call here.
    bindCanvasCommands();
    bindPictureCommands();
    bindPopupCommands();
    bindRulerCommands();
    bindImagingCommands();
    bindAutoJoinCommands();
    m_commands->setHandler(Camera, [this] {
        // A photo becomes a canvas picture (or the output picture) at once.
        CCameraDlg dialog(m_engine, this);
        dialog.setPrompts(m_prompts);
        dialog.exec();
        invalidate();
    });
}

void CQznImgEdtJoinView::bindImagingCommands()
{
    // Saving, copying, printing, and the filters and print-output jobs that
    // the command table names.
    if (!m_imaging)
        m_imaging = std::make_unique<ImagingCommands>();
    m_imaging->setPrompts(m_prompts);
    m_imaging->setStatusReport([this](const QString& text) { emit statusMessage(text); });
    CViewCommands& c = *m_commands;
    const auto bind = [this, &c](int id, auto work) {
        c.setHandler(id, [this, work] {
            if (work())
                invalidate();
        });
    };
    for (int id : c.ids()) {
        if (const std::optional<FilterCode> filter = CViewCommands::filterOf(id))
            bind(id, [this, code = *filter] { return m_imaging->runFilter(this, m_engine, code); });
        else if (const std::optional<OutputJob> job = CViewCommands::jobOf(id))
            bind(id, [this, job = *job] { return m_imaging->runOutputJob(this, m_engine, job); });
    }
    bind(SaveJoined, [this] { return m_imaging->onSaveJoined(this, m_engine); });
    bind(SaveOutputAs, [this] { return m_imaging->onSaveOutputAs(this, m_engine); });
    bind(CopyPicture, [this] { return m_imaging->onCopyOutput(this, m_engine); });
    bind(Print, [this] { return m_imaging->onPrint(this, m_engine, m_displayMode); });
    bind(PrintPreview, [this] { return m_imaging->onPrintPreview(this, m_engine, m_displayMode); });
    bind(PrintSetup, [this] { return m_imaging->onPrintSetup(this); });
    bind(TiledPrint, [this] { return m_imaging->onTiledPrint(this, m_engine, m_displayMode); });
    bind(ExportPdf, [this] { return m_imaging->onExportPdf(this, m_engine, m_displayMode); });
    bind(RestoreOutput, [this] {
        m_engine.RestoreOutputPicture();
        return true;
    });
    bind(FilterUndo, [this] {
        m_engine.UndoFilter();
        return true;
    });
    bind(EditUndo, [this] { return m_engine.Undo(); });
    bind(EditRedo, [this] { return m_engine.Redo(); });
    // Edits made by the mouse and the keys change what undo and redo offer;
    // the other commands catch up when their menu opens.
    connect(&m_engine.undoStack(), &QUndoStack::indexChanged, this, [this] {
        const bool canvas = m_displayMode != DisplayMode::Output;
        m_commands->action(EditUndo)->setEnabled(canvas && m_engine.undoStack().canUndo());
        m_commands->action(EditRedo)->setEnabled(canvas && m_engine.undoStack().canRedo());
    });
}

void CQznImgEdtJoinView::bindCanvasCommands()
{
    CViewCommands& c = *m_commands;
    c.setHandler(TrimWindow, [this] {
        setMouseMode(MouseMode::TrimWindowArmed);
        m_dragState = DragState::None;
    });
    c.setHandler(ZoomIn, [this] { zoom(ZoomCode::In); });
    c.setHandler(ZoomOut, [this] { zoom(ZoomCode::Out); });
    c.setHandler(ZoomOriginal, [this] { zoom(ZoomCode::OneToOne); });
    c.setHandler(ZoomFit, [this] { zoom(ZoomCode::Fit); });
    c.setHandler(Redraw, [this] { invalidate(); });
    const auto toggleWhole = [this] { m_wholeDrawing = !m_wholeDrawing; };
    c.setHandler(WholeDrawing, toggleWhole);
    c.setHandler(WholeDrawingMenu, toggleWhole);
    c.setHandler(Transparent, [this] {
        m_transparent = !m_transparent;
        m_engine.SetHotTransparent(m_transparent ? 1 : 0);
        invalidate();
    });
    c.setHandler(BackgroundColour, [this] {
        setMouseMode(MouseMode::SampleArmed);
        m_dragState = DragState::None;
    });
    c.setHandler(BrushEdit, [this] { editPicture(); });
    c.setHandler(LoadPicture, [this] { chooseAndLoadPicture(); });
    c.setHandler(OutputMode, [this] { switchOutputMode(); });
    // Background music plays beside the work; the canvas stays as it is.
    c.setHandler(PlayMusic,
                 [this] { m_music->chooseAndPlay(this, m_prompts, m_engine, m_programDir); });
    c.setHandler(MusicLoop, [this] { m_music->toggleLoop(); });
}

void CQznImgEdtJoinView::bindPictureCommands()
{
    CViewCommands& c = *m_commands;
    c.setHandler(NextPicture, [this] { modifyPicture(ModifyCode::NextPicture); });
    c.setHandler(NudgeUp, [this] { modifyPicture(ModifyCode::NudgeUp); });
    c.setHandler(NudgeDown, [this] { modifyPicture(ModifyCode::NudgeDown); });
    c.setHandler(NudgeLeft, [this] { modifyPicture(ModifyCode::NudgeLeft); });
    c.setHandler(NudgeRight, [this] { modifyPicture(ModifyCode::NudgeRight); });
    c.setHandler(RotateLeftStep, [this] { modifyPicture(ModifyCode::TurnLeftStep); });
    c.setHandler(RotateRightStep, [this] { modifyPicture(ModifyCode::TurnRightStep); });
    c.setHandler(DeletePicture, [this] { deletePicture(); });
    c.setHandler(LayerUp, [this] { reorderPicture(LayerCode::Up); });
    c.setHandler(LayerDown, [this] { reorderPicture(LayerCode::Down); });
}

void CQznImgEdtJoinView::bindPopupCommands()
{
    CViewCommands& c = *m_commands;
    c.setHandler(RotationMenu, [this] { showPopupMenu(RotationMenu); });
    c.setHandler(TrimLineMenu, [this] { showPopupMenu(TrimLineMenu); });
    c.setHandler(RulerMenu, [this] { showPopupMenu(RulerMenu); });
    c.setHandler(RotateNone, [this] { modifyPicture(ModifyCode::TurnNone); });
    c.setHandler(RotateRight90, [this] { modifyPicture(ModifyCode::TurnRight90); });
    c.setHandler(RotateRight180, [this] { modifyPicture(ModifyCode::TurnRight180); });
    c.setHandler(RotateLeft90, [this] { modifyPicture(ModifyCode::TurnLeft90); });
    c.setHandler(RotateLeft180, [this] { modifyPicture(ModifyCode::TurnLeft180); });
    c.setHandler(TrimLineUp, [this] { setMouseMode(MouseMode::TrimLineUp); });
    c.setHandler(TrimLineDown, [this] { setMouseMode(MouseMode::TrimLineDown); });
    c.setHandler(TrimLineLeft, [this] { setMouseMode(MouseMode::TrimLineLeft); });
    c.setHandler(TrimLineRight, [this] { setMouseMode(MouseMode::TrimLineRight); });
    c.setHandler(ClearTrimLine, [this] {
        m_engine.ClearTrimLine();
        invalidate();
    });
    c.setHandler(TrimByLine, [this] { trimByTrimLine(); });
}

void CQznImgEdtJoinView::bindRulerCommands()
{
    CViewCommands& c = *m_commands;
    c.setHandler(HorzLines, [this] {
        m_showHorzLines = !m_showHorzLines;
        invalidate();
    });
    c.setHandler(VertLines, [this] {
        m_showVertLines = !m_showVertLines;
        invalidate();
    });
    c.setHandler(RulerZoomIn, [this] { scaleRuler(RulerScaleCode::Grow); });
    c.setHandler(RulerZoomOut, [this] { scaleRuler(RulerScaleCode::Shrink); });
    c.setHandler(RulerZoomReset, [this] { scaleRuler(RulerScaleCode::Reset); });
    c.setHandler(HorzRulerTable, [this] { openGridTable(RulerTableId::Horizontal); });
    c.setHandler(VertRulerTable, [this] { openGridTable(RulerTableId::Vertical); });
}

void CQznImgEdtJoinView::zoom(ZoomCode code)
{
    // The output picture is shown only in print-output mode; in joining
    // mode the canvas zooms, 1:1 about the view's centre.
    if (m_displayMode == DisplayMode::Output && !m_wholeDrawing)
        m_engine.Zoom(code, ZoomTarget::OutputPicture);
    else if (code == ZoomCode::OneToOne)
        m_engine.ZoomAt(code, rect().center());
    else
        m_engine.Zoom(code, ZoomTarget::Canvas);
    invalidate();
}

void CQznImgEdtJoinView::modifyPicture(ModifyCode code)
{
    m_engine.ModifyCurrentPicture(code);
    invalidate();
}

void CQznImgEdtJoinView::reorderPicture(LayerCode code)
{
    if (m_engine.ReorderPicture(code) == 1)
        invalidate();
}

void CQznImgEdtJoinView::setPrompts(const UserPrompts& prompts)
{
    m_prompts = prompts;
    if (m_imaging)
        m_imaging->setPrompts(prompts);
}

void CQznImgEdtJoinView::deletePicture()
{
    if (m_prompts.ask(this, tr("特别提示"), tr("真要删除当前拼接图片吗?请确认!")))
        reorderPicture(LayerCode::Delete);
}

void CQznImgEdtJoinView::chooseAndLoadPicture()
{
    QFileDialog dialog(nullptr, tr("选择装入新的图片"), QDir::currentPath(), pictureFilter());
    dialog.setObjectName(QStringLiteral("loadPictureDialog"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    QDir::setCurrent(m_programDir);
    if (chosen)
        loadPicture(dialog.selectedFiles().constFirst());
    else
        invalidate();
}

void CQznImgEdtJoinView::loadPicture(const QString& path)
{
    // A file that cannot be read whole is not added; the engine reports why.
    if (m_engine.GetPictureCount() >= CImgJoinEngine::MaxPictures)
        emit statusMessage(
            tr("画布上已有%1张图片，不能再装入新的图片").arg(CImgJoinEngine::MaxPictures));
    else
        m_engine.LoadPicture(path);
    m_engine.ClearTrimLine();
    m_wholeDrawing = false;
    invalidate();
    updateActions();
}

void CQznImgEdtJoinView::switchOutputMode()
{
    // Print-output mode gives the canvas up: changed work is saved first or
    // given up knowingly.
    const bool entering = m_displayMode != DisplayMode::Output;
    if (entering && m_engine.HasCurrentPicture() == 1 && m_discardGuard && !m_discardGuard())
        return;
    if (m_engine.EnterOutputMode(m_displayMode) != 1) {
        emit statusMessage(tr("没有当前拼接图片，不能切换到打印输出图片方式"));
        return;
    }
    m_displayMode =
        m_displayMode == DisplayMode::Output ? DisplayMode::Undecided : DisplayMode::Output;
    invalidate();
}

void CQznImgEdtJoinView::showCanvas()
{
    m_displayMode = DisplayMode::Joining;
    m_wholeDrawing = false;
    invalidate();
    updateActions();
}

void CQznImgEdtJoinView::trimByTrimLine()
{
    m_engine.TrimByTrimLine();
    m_engine.ClearTrimLine();
    invalidate();
}

void CQznImgEdtJoinView::scaleRuler(RulerScaleCode code)
{
    m_engine.ScaleRuler(code);
    emit rulerRefresh(RulerRefresh::RRN_SCALE_CHANGED, RulerRefresh::RelayParam);
}

CGridTableDlg* CQznImgEdtJoinView::gridTableDialog() const
{
    return m_gridTableDlg;
}

void CQznImgEdtJoinView::openGridTable(RulerTableId table)
{
    // One table is edited at a time; the open dialog is brought forward.
    if (m_gridTableDlg) {
        m_gridTableDlg->raise();
        m_gridTableDlg->activateWindow();
        return;
    }
    const QRect viewRect(mapToGlobal(QPoint(0, 0)), size());
    m_gridTableDlg = CGridTableDlg::Open(m_engine, table, viewRect, window());
    if (m_gridTableDlg)
        connect(m_gridTableDlg, &CGridTableDlg::rulerRefresh, this,
                &CQznImgEdtJoinView::rulerRefresh);
}

std::unique_ptr<QMenu> CQznImgEdtJoinView::buildPopupMenu(int menuId)
{
    QList<int> items;
    switch (menuId) {
        case RotationMenu:
            items = { RotateNone, RotateRight90, RotateRight180, RotateLeft90, RotateLeft180 };
            break;
        case TrimLineMenu:
            items = { TrimLineUp, TrimLineDown, TrimLineLeft, TrimLineRight, ClearTrimLine };
            // Offered only when the last paint cut pixels on account of the line.
            if (m_engine.IsTrimCut() == 1)
                items.append(TrimByLine);
            // Joining at the line needs the picture in its exact place first;
            // offered when there is a picture below the current one.
            updateActions();
            if (m_commands->action(AutoAlignCurrent)->isEnabled())
                items.append(AutoAlignCurrent);
            break;
        case RulerMenu:
            items = { HorzRulerTable, VertRulerTable, RulerZoomIn, RulerZoomOut, RulerZoomReset };
            break;
        default: return nullptr;
    }
    updateActions();
    return CToolButtonMenu::build(items, *m_commands);
}

void CQznImgEdtJoinView::showPopupMenu(int menuId)
{
    std::unique_ptr<QMenu> menu = buildPopupMenu(menuId);
    if (!menu)
        return;
    const QPoint at = m_toolBar
                          ? CToolButtonMenu::belowButton(*m_toolBar, m_commands->action(menuId))
                          : QCursor::pos();
    // The chosen item's command runs through its action after the menu closes.
    CToolButtonMenu::exec(*menu, at);
}

void CQznImgEdtJoinView::editPicture()
{
    CImgEditDlg dialog(m_engine, this);
    dialog.exec();
    invalidate();
}
