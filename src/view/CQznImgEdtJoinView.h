#pragma once

#include "CViewCursors.h"

#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QToolBar>
#include <QWidget>

#include <memory>

class ImagingCommands;

class CImgJoinEngine;
class CViewCommands;
class QMenu;

// The canvas view. It owns no pictures: every paint hands the engine an
// off-screen image and the display mode, and the engine draws the canvas or
// the output picture; the view adds the ruler lines and the trim-line mark.
// Mouse input becomes engine operations according to the interaction mode.
// The composed canvas is kept between paints, so rubber bands and drag bands
// that follow the mouse cost a blit, and the canvas is drawn again only when
// an operation has changed it.
class CQznImgEdtJoinView : public QWidget
{
    Q_OBJECT

public:
    // Display modes.
    static constexpr int DISPLAY_UNDECIDED = 0;
    static constexpr int DISPLAY_JOIN = 1;
    static constexpr int DISPLAY_OUTPUT = 9;

    // Interaction modes.
    static constexpr int MODE_IDLE = 0;
    static constexpr int MODE_TRIMWIN_ARMED = 101;
    static constexpr int MODE_TRIMWIN_BAND = 102;
    static constexpr int MODE_TRIMLINE_UP = 201;
    static constexpr int MODE_TRIMLINE_DOWN = 202;
    static constexpr int MODE_TRIMLINE_LEFT = 203;
    static constexpr int MODE_TRIMLINE_RIGHT = 204;
    static constexpr int MODE_SAMPLE_ARMED = 601;
    static constexpr int MODE_SAMPLE_BAND = 602;

    // Drag states.
    static constexpr int BAND_SHOWN = 9;
    static constexpr int HANDLE_ARMED = 110816;
    static constexpr int HANDLE_BAND_SHOWN = 110817;
    // A handle's drag band reaches this far across the view.
    static constexpr int HandleBandLength = 2048;

    explicit CQznImgEdtJoinView(CImgJoinEngine& engine, QWidget* parent = nullptr);
    ~CQznImgEdtJoinView() override;

    CViewCommands& commands() { return *m_commands; }
    // The tool bar whose buttons the popup menus open under.
    void setToolBar(QToolBar* toolBar) { m_toolBar = toolBar; }
    // The folder the current directory returns to after every file dialog.
    void setProgramDir(const QString& dir) { m_programDir = dir; }

    // Adds a picture as the load command does after its dialog.
    void loadPicture(const QString& path);
    // Redraws the whole canvas at the next paint.
    void invalidate();

    // The popup menu of a tool bar button (rotation, trim line, ruler lines).
    std::unique_ptr<QMenu> buildPopupMenu(int menuId);
    // The file filter of the load dialog.
    static QString pictureFilter();

    int displayMode() const { return m_displayMode; }
    int mouseMode() const { return m_mouseMode; }
    int dragState() const { return m_dragState; }
    int dragHandle() const { return m_dragHandle; }
    bool wholeDrawing() const { return m_wholeDrawing; }
    bool transparent() const { return m_transparent; }
    bool showHorzLines() const { return m_showHorzLines; }
    bool showVertLines() const { return m_showVertLines; }
    QRect bandRect() const { return m_rcBand; }
    QRect handleBandRect() const { return m_rcHandleBand; }
    bool bandVisible() const;
    bool handleBandVisible() const { return m_dragState == HANDLE_BAND_SHOWN; }
    // How often the canvas was composed anew (not counting plain blits).
    int canvasRenders() const { return m_canvasRenders; }

public slots:
    // A relayed ruler refresh: redraws for the view codes, ignores the rest.
    void onRulerRefresh(int code, int param);
    void updateActions();

signals:
    // To the main frame: a ruler change its bars must follow.
    void rulerRefresh(int code, int param);
    // Why a command could not do its work, for the status bar.
    void statusMessage(const QString& message);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // painting
    void renderCanvas();
    void decideDisplayMode(QPainter& painter);
    void drawSplash(QPainter& painter) const;
    void drawRulerLines();
    void drawVertRulerLines();
    void drawHorzRulerLines();
    void drawTrimLineMark(QPainter& painter) const;
    void drawBands(QPainter& painter) const;
    void repaintBand(const QRect& before, const QRect& after);

    // mouse
    void leftPress(const QPoint& p);
    void finishTrimWindow();
    void finishSampleBand();
    void leftRelease(const QPoint& p);
    void mouseMoved(const QPoint& p, Qt::MouseButtons buttons);
    void trackHandleBand(const QPoint& p);
    void trackBand(const QPoint& p);
    void rightPress();
    void middlePress(const QPoint& p);
    void middleRelease(const QPoint& p);
    void setMouseMode(int mode);
    void showIdleCursor();

    // commands
    void bindCommands();
    void bindCanvasCommands();
    void bindPictureCommands();
    void bindPopupCommands();
    void bindRulerCommands();
    void bindImagingCommands();
    void zoom(int code);
    void modifyPicture(int code);
    void reorderPicture(int code);
    void deletePicture();
    void chooseAndLoadPicture();
    void switchOutputMode();
    void trimByTrimLine();
    void scaleRuler(int code);
    void showPopupMenu(int menuId);

    CImgJoinEngine& m_engine;
    CViewCommands* m_commands = nullptr; // child object
    std::unique_ptr<ImagingCommands> m_imaging;
    QPointer<QToolBar> m_toolBar;
    QString m_programDir;
    CViewCursors m_cursors;
    QImage m_splash;

    QImage m_canvas;
    bool m_canvasDirty = true;
    int m_canvasRenders = 0;

    int m_dragState = 0;
    int m_mouseMode = MODE_IDLE;
    QRect m_rcBand;
    QRect m_rcHandleBand;
    QPoint m_ptStart;
    int m_panState = 0;
    bool m_showHorzLines = false;
    bool m_showVertLines = false;
    bool m_inRefresh = false;
    int m_displayMode = DISPLAY_UNDECIDED;
    int m_dragHandle = 0;
    bool m_wholeDrawing = false;
    bool m_transparent = false;
};
