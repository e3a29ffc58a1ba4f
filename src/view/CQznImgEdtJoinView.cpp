// The view's state, its painting and the ruler refresh it takes part in.
#include "CQznImgEdtJoinView.h"

#include "ImagingCommands.h"

#include "CBackgroundMusic.h"
#include "CGridTableDlg.h"
#include "CImgJoinEngine.h"
#include "CViewCommands.h"
#include "PrintInfoBlock.h"
#include "RulerRefresh.h"

#include <QAction>
#include <QDir>
#include <QImageReader>
#include <QPaintEvent>
#include <QPainter>

namespace {

constexpr int SplashWidth = 554;
constexpr int SplashHeight = 139;
constexpr int SplashPointSize = 26;
// Ruler line positions carry a fixed correction of two pixels.
constexpr int RulerLineShift = 2;

QImage loadSplash()
{
    QImageReader reader(QStringLiteral(":/images/splash.svg"));
    reader.setScaledSize(QSize(SplashWidth, SplashHeight));
    QImage splash = reader.read();
    if (!splash.isNull())
        return splash;
    // Without the picture the program's name stands on the empty canvas.
    splash = QImage(SplashWidth, SplashHeight, QImage::Format_RGB32);
    splash.fill(QColor(0x20, 0x30, 0x48));
    QPainter painter(&splash);
    QFont font = painter.font();
    font.setPointSize(SplashPointSize);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0xF0, 0xF0, 0xF0));
    painter.drawText(splash.rect(), Qt::AlignCenter,
                     CQznImgEdtJoinView::tr("Lumo图片拼接及打印软件"));
    return splash;
}

} // namespace

CQznImgEdtJoinView::CQznImgEdtJoinView(CImgJoinEngine& engine, QWidget* parent)
    : QWidget(parent)
    , m_engine(engine)
    , m_commands(new CViewCommands(this))
    , m_music(new CBackgroundMusic(this))
    , m_programDir(QDir::currentPath())
    , m_splash(loadSplash())
{
    setObjectName(QStringLiteral("canvasView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true); // bands follow the mouse without a button held
    setFocusPolicy(Qt::StrongFocus);
    m_commands->setStateSource([this] {
        CViewCommands::State state;
        state.outputMode = m_displayMode == DisplayMode::Output;
        state.wholeDrawing = m_wholeDrawing;
        state.transparent = m_transparent;
        state.horzLines = m_showHorzLines;
        state.vertLines = m_showVertLines;
        state.musicLoop = m_music->looping();
        state.hasPictures = m_engine.GetPictureCount() > 0;
        state.hasCurrent = m_engine.HasCurrentPicture() != 0;
        state.hasPictureBelow = state.hasCurrent && m_engine.currentPicture() > 0;
        state.pictureCount = m_engine.GetPictureCount();
        state.busy = m_engine.isBusy();
        state.backgroundToolOpen = m_engine.BkColorDlgOpen(-1) == 1;
        state.filterUndo = m_engine.HasFilterUndo() != ' ';
        state.canUndo = m_engine.undoStack().canUndo();
        state.canRedo = m_engine.undoStack().canRedo();
        return state;
    });
    m_commands->createActions();
    bindCommands();
    m_commands->updateActions();
    // The keys of the commands work while the view has the focus, also when
    // no menu or tool bar carries the commands.
    for (int id : m_commands->ids()) {
        if (QAction* action = m_commands->action(id); !action->shortcuts().isEmpty())
            addAction(action);
    }
    setAcceptDrops(true);
    // Music that cannot be played says why in the status bar, never in a box.
    connect(m_music, &CBackgroundMusic::statusMessage, this, &CQznImgEdtJoinView::statusMessage);
    connect(m_commands, &CViewCommands::commandDone, this, [this] { reportPosition(); });
}

CQznImgEdtJoinView::~CQznImgEdtJoinView() = default;

void CQznImgEdtJoinView::updateActions()
{
    m_commands->updateActions();
}

void CQznImgEdtJoinView::invalidate()
{
    m_canvasDirty = true;
    update();
}

bool CQznImgEdtJoinView::bandVisible() const
{
    return (m_mouseMode == MouseMode::TrimWindowBand || m_mouseMode == MouseMode::SampleBand) &&
           m_dragState == DragState::BandShown;
}

void CQznImgEdtJoinView::onRulerRefresh(int code, int /*param*/)
{
    if (m_inRefresh)
        return;
    m_inRefresh = true;
    if (code == RulerRefresh::RRN_REFRESH_VIEWS || code == RulerRefresh::RRN_BAR_CHANGED)
        invalidate();
    // The grid-line dialog shows which lines the bars laid out.
    if (code == RulerRefresh::RRN_BAR_CHANGED && m_gridTableDlg)
        m_gridTableDlg->RulersLaidOut();
    m_inRefresh = false;
}

void CQznImgEdtJoinView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    invalidate();
}

void CQznImgEdtJoinView::paintEvent(QPaintEvent* event)
{
    if (m_canvasDirty || m_canvas.size() != size())
        renderCanvas();
    QPainter painter(this);
    const QRegion& region = event->region();
    if (m_preview == PreviewKind::Shift) {
        // The whole drawing or the output picture follows the mouse: the
        // kept canvas, shifted; what it uncovers is blank.
        painter.setClipRegion(region);
        const QColor blank = m_displayMode == DisplayMode::Output
                                 ? colorRefToColor(CImgJoinEngine::WindowBackColor)
                                 : QColor(Qt::black);
        painter.fillRect(event->rect(), blank);
        painter.drawImage(m_previewShift, m_canvas);
    } else {
        for (const QRect& area : region)
            painter.drawImage(area.topLeft(), m_canvas, area);
    }
    if (m_preview == PreviewKind::Picture) {
        // The dragged picture over the canvas composed without it.
        painter.setClipRegion(region);
        m_engine.DrawPreviewPicture(painter, m_previewPicture);
    }
    drawOutline(painter);
    drawBands(painter);
    reportPosition();
}

void CQznImgEdtJoinView::renderCanvas()
{
    if (m_canvas.size() != size())
        m_canvas = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    // What the engine leaves unpainted stays black, like a screen capture's
    // drawing background.
    m_canvas.fill(Qt::black);
    const DisplayMode modeBefore = m_displayMode;
    {
        QPainter painter(&m_canvas);
        decideDisplayMode(painter);
        if (m_preview == PreviewKind::Picture)
            m_engine.DrawPicturesExcept(painter, m_displayMode, m_engine.currentPicture());
        else
            m_engine.DrawPictures(painter, m_displayMode);
        if (m_engine.NeedsSplash(m_displayMode) == 1)
            drawSplash(painter);
    }
    m_engine.SetClientRect(0, 0, width(), height());
    drawRulerLines();
    {
        QPainter painter(&m_canvas);
        drawTrimLineMark(painter);
    }
    m_canvasDirty = false;
    ++m_canvasRenders;
    if (m_displayMode != modeBefore)
        m_commands->updateActions();
}

void CQznImgEdtJoinView::decideDisplayMode(QPainter& painter)
{
    if (m_displayMode == DisplayMode::Undecided) {
        m_displayMode = DisplayMode::Joining;
        // A picture handed over by another program opens in print-output
        // mode; over a changed canvas only once the user agreed.
        if (handOverNeedsConsent() && !m_handOverAgreed) {
            if (!m_handOverPostponed)
                QMetaObject::invokeMethod(this, &CQznImgEdtJoinView::offerHandOver,
                                          Qt::QueuedConnection);
        } else if (m_engine.TakePendingPrintImage() == 1) {
            m_displayMode = DisplayMode::Output;
            m_engine.DrawOutputPicture(painter);
        }
    } else if (m_displayMode == DisplayMode::Output) {
        m_engine.DrawOutputPicture(painter);
    }
}

bool CQznImgEdtJoinView::handOverNeedsConsent()
{
    return m_discardGuard && m_engine.CanvasModified() && m_engine.HasPendingPrintImage() == 1 &&
           m_engine.printInfo().status() == PrintInfoBlock::Pending;
}

void CQznImgEdtJoinView::offerHandOver()
{
    if (m_displayMode != DisplayMode::Joining || !handOverNeedsConsent())
        return;
    if (!m_discardGuard()) {
        // It stays waiting for the next start.
        m_handOverPostponed = true;
        return;
    }
    m_displayMode = DisplayMode::Undecided;
    m_handOverAgreed = true;
    invalidate();
}

void CQznImgEdtJoinView::drawSplash(QPainter& painter) const
{
    const int x = qMax(0, (width() - m_splash.width()) / 2);
    const int y = qMax(0, (height() - m_splash.height()) / 2);
    painter.drawImage(x, y, m_splash);
}

void CQznImgEdtJoinView::drawRulerLines()
{
    if (m_showVertLines)
        drawVertRulerLines();
    if (m_showHorzLines)
        drawHorzRulerLines();
}

// Dotted, every second pixel; rows come in ascending position order, so the
// first one past the far edge ends the loop.
void CQznImgEdtJoinView::drawVertRulerLines()
{
    // Rows of the horizontal ruler table, counted from the left edge.
    const RulerTableId table = RulerTableId::Horizontal;
    const int w = m_canvas.width(), h = m_canvas.height();
    int tick = 0, position = 0;
    ColorRef colour = 0;
    QString name;
    const int n = m_engine.GetRulerLineCount(table);
    for (int i = 0; i < n; ++i) {
        if (m_engine.GetRulerLine(table, i, tick, position, colour, name) != 1)
            continue;
        const int x = position - RulerLineShift;
        if (x >= w)
            break;
        if (x < 0)
            continue;
        const QRgb rgb = colorRefToRgb(colour);
        for (int y = 0; y < h; y += 2)
            reinterpret_cast<QRgb*>(m_canvas.scanLine(y))[x] = rgb;
    }
}

void CQznImgEdtJoinView::drawHorzRulerLines()
{
    // Rows of the vertical ruler table, counted upward from the bottom edge.
    const RulerTableId table = RulerTableId::Vertical;
    const int w = m_canvas.width(), h = m_canvas.height();
    int tick = 0, position = 0;
    ColorRef colour = 0;
    QString name;
    const int n = m_engine.GetRulerLineCount(table);
    for (int i = 0; i < n; ++i) {
        if (m_engine.GetRulerLine(table, i, tick, position, colour, name) != 1)
            continue;
        const int y = h - position + RulerLineShift;
        if (y <= 0)
            break;
        if (y >= h)
            continue;
        auto* row = reinterpret_cast<QRgb*>(m_canvas.scanLine(y));
        const QRgb rgb = colorRefToRgb(colour);
        for (int x = 0; x < w; x += 2)
            row[x] = rgb;
    }
}

void CQznImgEdtJoinView::drawTrimLineMark(QPainter& painter) const
{
    QPoint point(50, 50);
    TrimMode mode = TrimMode::None;
    if (m_engine.GetTrimLineShown(point, mode) != 1)
        return;
    const QImage mark = m_cursors.joinMark(mode);
    if (!mark.isNull())
        painter.drawImage(point - QPoint(mark.width() / 2, mark.height() / 2), mark);
}

void CQznImgEdtJoinView::drawBands(QPainter& painter) const
{
    const auto drawBand = [&painter](const QRect& band) {
        // A light and a dark dash, visible on black and on white drawings.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::white, 1, Qt::SolidLine));
        painter.drawRect(band.adjusted(0, 0, -1, -1));
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(band.adjusted(0, 0, -1, -1));
    };
    if (bandVisible())
        drawBand(m_rcBand);
    if (handleBandVisible())
        drawBand(m_rcHandleBand);
}

void CQznImgEdtJoinView::repaintBand(const QRect& before, const QRect& after)
{
    // Only the band's edges change; the canvas under them is blitted again.
    for (const QRect& band : { before, after }) {
        if (band.isNull())
            continue;
        const QRect edges = band.adjusted(-1, -1, 1, 1);
        QRegion outline(edges);
        outline -= QRegion(edges.adjusted(3, 3, -3, -3));
        update(outline);
    }
}
