#pragma once

#include "CViewCursors.h"
#include "JoinCodes.h"
#include "JoinPicture.h"
#include "UserPrompts.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QToolBar>
#include <QWidget>

#include <functional>
#include <memory>

class ImagingCommands;

class CBackgroundMusic;
class CGridTableDlg;
class CImgJoinEngine;
class CViewCommands;
class QMenu;

// The canvas view. It owns no pictures: every paint hands the engine an
// off-screen image and the display mode, and the engine draws the canvas or
// the output picture; the view adds the ruler lines and the trim-line mark.
// Mouse input becomes engine operations according to the interaction mode.
// The composed canvas is kept between paints, so rubber bands and drag bands
// that follow the mouse cost a blit, and the canvas is drawn again only when
// an operation has changed it. While the middle button or a grab handle is
// held, the dragged picture follows the mouse: the canvas is composed once
// without it and each frame blits that canvas under the picture's old and
// new place and draws the picture's rendition at the box the release gives.
class CQznImgEdtJoinView : public QWidget
{
    Q_OBJECT

public:
    // A handle's drag band reaches this far across the view.
    static constexpr int HandleBandLength = 2048;

    explicit CQznImgEdtJoinView(CImgJoinEngine& engine, QWidget* parent = nullptr);
    ~CQznImgEdtJoinView() override;

    CViewCommands& commands() { return *m_commands; }
    // The background music the music commands choose and play.
    CBackgroundMusic& music() { return *m_music; }
    // The tool bar whose buttons the popup menus open under.
    void setToolBar(QToolBar* toolBar) { m_toolBar = toolBar; }
    // The folder the current directory returns to after every file dialog.
    void setProgramDir(const QString& dir) { m_programDir = dir; }
    QString programDir() const { return m_programDir; }
    // How the view and the dialogs it opens put questions and messages to
    // the user.
    void setPrompts(const UserPrompts& prompts);
    const UserPrompts& prompts() const { return m_prompts; }

    // Asked before the canvas is given up (for print-output mode or a
    // handed-over picture); true lets the work go on. Without one the canvas
    // goes without a question.
    void setDiscardGuard(std::function<bool()> guard) { m_discardGuard = std::move(guard); }
    // Shows the canvas in joining mode after it was replaced as a whole (a
    // new or opened project).
    void showCanvas();

    // Adds a picture as the load command does after its dialog.
    void loadPicture(const QString& path);
    // Redraws the whole canvas at the next paint.
    void invalidate();

    // The popup menu of a tool bar button (rotation, trim line, ruler lines).
    std::unique_ptr<QMenu> buildPopupMenu(int menuId);
    // The file filter of the load dialog.
    static QString pictureFilter();

    DisplayMode displayMode() const { return m_displayMode; }
    MouseMode mouseMode() const { return m_mouseMode; }
    DragState dragState() const { return m_dragState; }
    GrabHandle dragHandle() const { return m_dragHandle; }
    bool wholeDrawing() const { return m_wholeDrawing; }
    bool transparent() const { return m_transparent; }
    bool showHorzLines() const { return m_showHorzLines; }
    bool showVertLines() const { return m_showVertLines; }
    // The open grid-line dialog, if any.
    CGridTableDlg* gridTableDialog() const;
    QRect bandRect() const { return m_rcBand; }
    QRect handleBandRect() const { return m_rcHandleBand; }
    bool bandVisible() const;
    bool handleBandVisible() const { return m_dragState == DragState::HandleBandShown; }
    // Whether a held drag (middle button or grab handle) is shown live, and
    // the view box the dragged picture shows at: the box its release gives.
    bool dragPreviewShown() const { return m_preview != PreviewKind::None; }
    QRect dragPreviewBox() const { return m_previewBox; }
    // How often the canvas was composed anew (not counting plain blits).
    int canvasRenders() const { return m_canvasRenders; }
    // Where the user is: the current picture's file, box and angle and the
    // zoom; while a handle or the middle button is dragged, the box the
    // drag is making.
    QString positionText() const;
    // The two colours of the current picture's outline; the outline is drawn
    // over the view only, never into a saved or printed picture.
    static QColor outlineLight() { return QColor(0xFF, 0xD8, 0x00); }
    static QColor outlineDark() { return QColor(0x00, 0x40, 0xFF); }
    // How the wheel zooms: this factor per notch, as the zoom buttons do.
    static constexpr double WheelZoomStep = 1.1;
    // How far the wheel scrolls per notch, in view pixels.
    static constexpr int WheelScrollStep = 60;
    // How far Shift with an arrow key nudges, in canvas units.
    static constexpr int LongNudge = 10;
    // An automatic joining that takes longer than this shows the progress box.
    static constexpr int AutoJoinBoxDelay = 500; // ms

    // The canvas box, in canvas units, that the view shows now.
    QRect shownCanvasBox() const;

public slots:
    // A relayed ruler refresh: redraws for the view codes, ignores the rest.
    void onRulerRefresh(int code, int param);
    void updateActions();

signals:
    // To the main frame: a ruler change its bars must follow.
    void rulerRefresh(int code, int param);
    // Why a command could not do its work, or what a save wrote, for the
    // status bar.
    void statusMessage(const QString& message);
    // The position text changed (see positionText).
    void positionChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // painting
    void renderCanvas();
    void decideDisplayMode(QPainter& painter);
    bool handOverNeedsConsent();
    void offerHandOver();
    void drawSplash(QPainter& painter) const;
    void drawRulerLines();
    void drawVertRulerLines();
    void drawHorzRulerLines();
    void drawTrimLineMark(QPainter& painter) const;
    void drawBands(QPainter& painter) const;
    void repaintBand(const QRect& before, const QRect& after);
    void drawOutline(QPainter& painter) const;
    // live drag feedback
    void trackPreview(const QPoint& p);
    QRect previewArea() const;
    void endPreview();
    bool cancelDrag();

    // keys, wheel, dropped files and the position report
    ZoomTarget viewTarget() const;
    void nudge(ModifyCode code, int steps);
    void dropFiles(const QStringList& files, const QPoint& at);
    // Asks whether to arrange pictures just dropped (canvas indices and
    // their files) and does so on yes.
    void offerAutoJoin(const QList<int>& dropped, const QStringList& files);
    void reportPosition();

    // mouse
    void leftPress(const QPoint& p);
    void finishTrimWindow();
    void finishSampleBand();
    // Samples the band from the canvas and opens the background-colour tool
    // on it; an empty band is refused with a status message.
    void openBackgroundTool(const QRect& band);
    void leftRelease(const QPoint& p);
    void mouseMoved(const QPoint& p, Qt::MouseButtons buttons);
    void trackHandleBand(const QPoint& p);
    void trackBand(const QPoint& p);
    void rightPress();
    void middlePress(const QPoint& p);
    void middleRelease(const QPoint& p);
    void setMouseMode(MouseMode mode);
    void showIdleCursor();

    // commands
    void bindCommands();
    void bindCanvasCommands();
    void bindPictureCommands();
    void bindPopupCommands();
    void bindRulerCommands();
    void bindImagingCommands();
    void bindAutoJoinCommands();
    void zoom(ZoomCode code);
    void modifyPicture(ModifyCode code);
    void reorderPicture(LayerCode code);
    void deletePicture();
    void chooseAndLoadPicture();
    void switchOutputMode();
    void editPicture();
    void trimByTrimLine();
    void scaleRuler(RulerScaleCode code);
    void openGridTable(RulerTableId table);
    void showPopupMenu(int menuId);
    // automatic joining
    void autoAlignCurrentPicture();
    // Arranges these canvas pictures (all when empty) behind the progress
    // box; returns whether the canvas changed.
    bool autoJoinPictures(const QList<int>& pictures);

    CImgJoinEngine& m_engine;
    CViewCommands* m_commands = nullptr; // child objects
    CBackgroundMusic* m_music = nullptr;
    std::unique_ptr<ImagingCommands> m_imaging;
    UserPrompts m_prompts;
    std::function<bool()> m_discardGuard;
    // A handed-over picture the user chose not to take over for now.
    bool m_handOverPostponed = false;
    bool m_handOverAgreed = false;
    QPointer<QToolBar> m_toolBar;
    QPointer<CGridTableDlg> m_gridTableDlg;
    QString m_programDir;
    CViewCursors m_cursors;
    QImage m_splash;

    QImage m_canvas;
    bool m_canvasDirty = true;
    int m_canvasRenders = 0;

    DragState m_dragState = DragState::None;
    MouseMode m_mouseMode = MouseMode::Idle;
    QRect m_rcBand;
    QRect m_rcHandleBand;
    QPoint m_ptStart;
    bool m_panning = false; // the middle button is held
    QPoint m_ptLive;        // where the mouse is during a drag
    bool m_liveDrag = false;
    // While a drag is held the canvas is kept composed without the dragged
    // picture, which is drawn over it at the place the release would give;
    // a dragged whole drawing or output picture is the canvas shifted.
    enum class PreviewKind
    {
        None,
        Picture,
        Shift
    };
    PreviewKind m_preview = PreviewKind::None;
    JoinPicture m_previewPicture;
    QRect m_previewBox;
    QPoint m_previewShift;
    QString m_positionText; // as last reported
    bool m_showHorzLines = false;
    bool m_showVertLines = false;
    bool m_inRefresh = false;
    DisplayMode m_displayMode = DisplayMode::Undecided;
    GrabHandle m_dragHandle = GrabHandle::None;
    bool m_wholeDrawing = false;
    bool m_transparent = false;
};
