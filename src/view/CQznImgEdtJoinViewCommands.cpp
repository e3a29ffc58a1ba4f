// The view's command handlers: each calls one engine operation (or opens one
// dialog) and redraws the canvas.
#include "CQznImgEdtJoinView.h"

#include "ImagingCommands.h"

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
#include <QMessageBox>

using namespace CommandId;

namespace {

// Engine codes of the picture operations.
constexpr int ZoomInCode = 10;
constexpr int ZoomOutCode = 11;
constexpr int ZoomOneToOneCode = 66;
constexpr int ZoomFitCode = 99;
constexpr int NextPictureCode = 9966;
constexpr int DeleteCode = 100;
constexpr int LayerUpCode = 201;
constexpr int LayerDownCode = 206;
constexpr int RulerBiggerCode = 99;
constexpr int RulerSmallerCode = 11;
constexpr int RulerResetCode = 0;

} // namespace

QString CQznImgEdtJoinView::pictureFilter()
{
    return QStringLiteral("图形文件(*.bmp,*.jpg,*.png,*.gif) "
                          "(*.bmp *.jpg *.png *.gif *.BMP *.JPG *.PNG *.GIF)");
}

void CQznImgEdtJoinView::bindCommands()
{
    // Commands of features still to come (background colour, brush editing,
    // camera, music, grid-line tables) have no handler yet and stay
    // disabled; each switches on by a setHandler call here.
    bindCanvasCommands();
    bindPictureCommands();
    bindPopupCommands();
    bindRulerCommands();
    bindImagingCommands();
}

void CQznImgEdtJoinView::bindImagingCommands()
{
    // Saving, copying, printing, the print-output jobs and the filters.
    static constexpr int ids[] = {
        ImagingCommands::SaveJoined,     ImagingCommands::SaveOutputAs,
        ImagingCommands::CopyOutput,     ImagingCommands::JobWhiteBackColour,
        ImagingCommands::JobCadGrey1,    ImagingCommands::JobGrey,
        ImagingCommands::JobCadGrey2,    ImagingCommands::RestoreOutput,
        ImagingCommands::Print,          ImagingCommands::PrintPreview,
        ImagingCommands::PrintSetup,     ImagingCommands::FilterRemoveBlue,
        ImagingCommands::FilterInvert,   ImagingCommands::FilterFade,
        ImagingCommands::FilterBrighten, ImagingCommands::FilterGrey,
        ImagingCommands::FilterContrast, ImagingCommands::FilterUndo,
    };
    if (!m_imaging)
        m_imaging = std::make_unique<ImagingCommands>();
    for (int id : ids) {
        m_commands->setHandler(id, [this, id] {
            if (m_imaging->execute(id, this, m_engine, m_displayMode))
                invalidate();
        });
    }
}

void CQznImgEdtJoinView::bindCanvasCommands()
{
    CViewCommands& c = *m_commands;
    c.setHandler(TrimWindow, [this] {
        setMouseMode(MODE_TRIMWIN_ARMED);
        m_dragState = 0;
    });
    c.setHandler(ZoomIn, [this] { zoom(ZoomInCode); });
    c.setHandler(ZoomOut, [this] { zoom(ZoomOutCode); });
    c.setHandler(ZoomOriginal, [this] { zoom(ZoomOneToOneCode); });
    c.setHandler(ZoomFit, [this] { zoom(ZoomFitCode); });
    c.setHandler(Redraw, [this] { invalidate(); });
    const auto toggleWhole = [this] { m_wholeDrawing = !m_wholeDrawing; };
    c.setHandler(WholeDrawing, toggleWhole);
    c.setHandler(WholeDrawingMenu, toggleWhole);
    c.setHandler(Transparent, [this] {
        m_transparent = !m_transparent;
        m_engine.SetHotTransparent(m_transparent ? 1 : 0);
        invalidate();
    });
    c.setHandler(LoadPicture, [this] { chooseAndLoadPicture(); });
    c.setHandler(OutputMode, [this] { switchOutputMode(); });
}

void CQznImgEdtJoinView::bindPictureCommands()
{
    CViewCommands& c = *m_commands;
    c.setHandler(NextPicture, [this] { modifyPicture(NextPictureCode); });
    c.setHandler(NudgeUp, [this] { modifyPicture(101); });
    c.setHandler(NudgeDown, [this] { modifyPicture(102); });
    c.setHandler(NudgeLeft, [this] { modifyPicture(201); });
    c.setHandler(NudgeRight, [this] { modifyPicture(202); });
    c.setHandler(RotateLeftStep, [this] { modifyPicture(302); });
    c.setHandler(RotateRightStep, [this] { modifyPicture(301); });
    c.setHandler(DeletePicture, [this] { deletePicture(); });
    c.setHandler(LayerUp, [this] { reorderPicture(LayerUpCode); });
    c.setHandler(LayerDown, [this] { reorderPicture(LayerDownCode); });
}

void CQznImgEdtJoinView::bindPopupCommands()
{
    CViewCommands& c = *m_commands;
    c.setHandler(RotationMenu, [this] { showPopupMenu(RotationMenu); });
    c.setHandler(TrimLineMenu, [this] { showPopupMenu(TrimLineMenu); });
    c.setHandler(RulerMenu, [this] { showPopupMenu(RulerMenu); });
    c.setHandler(RotateNone, [this] { modifyPicture(366); });
    c.setHandler(RotateRight90, [this] { modifyPicture(370); });
    c.setHandler(RotateRight180, [this] { modifyPicture(371); });
    c.setHandler(RotateLeft90, [this] { modifyPicture(380); });
    c.setHandler(RotateLeft180, [this] { modifyPicture(381); });
    for (int mode = MODE_TRIMLINE_UP; mode <= MODE_TRIMLINE_RIGHT; ++mode)
        c.setHandler(TrimLineUp + mode - MODE_TRIMLINE_UP, [this, mode] { setMouseMode(mode); });
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
    c.setHandler(RulerZoomIn, [this] { scaleRuler(RulerBiggerCode); });
    c.setHandler(RulerZoomOut, [this] { scaleRuler(RulerSmallerCode); });
    c.setHandler(RulerZoomReset, [this] { scaleRuler(RulerResetCode); });
}

void CQznImgEdtJoinView::zoom(int code)
{
    m_engine.Zoom(code, m_wholeDrawing ? 1 : 0);
    invalidate();
}

void CQznImgEdtJoinView::modifyPicture(int code)
{
    m_engine.ModifyCurrentPicture(code);
    invalidate();
}

void CQznImgEdtJoinView::reorderPicture(int code)
{
    if (m_engine.ReorderPicture(code) == 1)
        invalidate();
}

void CQznImgEdtJoinView::deletePicture()
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("特别提示"),
                    QStringLiteral("真要删除当前拼接图片吗?请确认!"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setObjectName(QStringLiteral("deleteConfirmation"));
    box.setDefaultButton(QMessageBox::Yes);
    if (box.exec() == QMessageBox::Yes)
        reorderPicture(DeleteCode);
}

void CQznImgEdtJoinView::chooseAndLoadPicture()
{
    QFileDialog dialog(nullptr, QStringLiteral("选择装入新的图片"), QDir::currentPath(),
                       pictureFilter());
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
    if (m_engine.GetPictureCount() >= CImgJoinEngine::MaxPictures)
        emit statusMessage(QStringLiteral("画布上已有%1张图片，不能再装入新的图片")
                               .arg(CImgJoinEngine::MaxPictures));
    m_engine.AddPicture(path);
    m_engine.ClearTrimLine();
    m_wholeDrawing = false;
    invalidate();
    updateActions();
}

void CQznImgEdtJoinView::switchOutputMode()
{
    if (m_engine.EnterOutputMode(m_displayMode) != 1) {
        emit statusMessage(QStringLiteral("没有当前拼接图片，不能切换到打印输出图片方式"));
        return;
    }
    m_displayMode = m_displayMode == DISPLAY_OUTPUT ? DISPLAY_UNDECIDED : DISPLAY_OUTPUT;
    invalidate();
}

void CQznImgEdtJoinView::trimByTrimLine()
{
    m_engine.TrimByTrimLine();
    m_engine.ClearTrimLine();
    invalidate();
}

void CQznImgEdtJoinView::scaleRuler(int code)
{
    m_engine.ScaleRuler(code);
    emit rulerRefresh(RulerRefresh::RRN_SCALE_CHANGED, RulerRefresh::RelayParam);
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
