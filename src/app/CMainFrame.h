#pragma once

#include "HelpLinks.h"
#include "UserPrompts.h"

#include <QList>
#include <QMainWindow>
#include <QString>

class CImgJoinEngine;
class GlobalHotKey;
class ScreenGrabber;
class CHorzRulerBar;
class CQznImgEdtJoinDoc;
class CQznImgEdtJoinView;
class CVertRulerBar;
class QCloseEvent;
class QLabel;
class QMenu;
class QToolBar;

// The program's main window: menu, tool bar, the canvas view with the two
// ruler bars along its bottom and right edges, and the status bar with the
// message pane and the free-memory text. It relays the ruler refresh between
// the bars and the view. The engine handed in by main() outlives the window.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainFrame(CImgJoinEngine& engine, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // One menu of the menu bar: its title and its command ids in order, 0
    // for a separator.
    struct MenuLayout
    {
        QString title;
        QList<int> items;
    };

    // The title stays this text whatever document is open.
    static QString frameTitle();
    // The menu bar's menus, in order.
    static QList<MenuLayout> menuLayout();
    // The tool bar's buttons, in order, in groups between separators.
    static QList<QList<int>> toolBarGroups();

    // How the windows put questions and messages to the user; the view and
    // the dialogs it opens use these.
    void setPrompts(const UserPrompts& prompts);
    const UserPrompts& prompts() const { return m_prompts; }
    // How the help menu opens its manual and pages.
    void setHelpLinks(const HelpLinks& links) { m_helpLinks = links; }

    CQznImgEdtJoinView* view() const { return m_view; }
    CQznImgEdtJoinDoc* document() const { return m_document; }
    CHorzRulerBar* horzRuler() const { return m_horzRuler; }
    CVertRulerBar* vertRuler() const { return m_vertRuler; }
    QToolBar* toolBar() const { return m_toolBar; }

    // The screen-capture hot key, registered with the settings' letter when
    // the window is made; a letter changed later counts from the next start.
    GlobalHotKey* hotKey() const { return m_hotKey; }
    // Takes the grabber the captures use (the window owns it).
    void setScreenGrabber(ScreenGrabber* grabber);
    // Whether the hot key captures now: only while the window is minimised.
    bool minimisedForHotKey() const;
    // Whether a capture is under way (the window hidden, the desktop asked).
    bool capturing() const { return m_capturing; }

public slots:
    // A ruler refresh from a bar, the view or a dialog; a refresh that comes
    // while one is being handled is dropped.
    void relayRulerRefresh(int code, int param);

signals:
    // The relayed refresh, to every view.
    void viewsRefresh(int code, int param);

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // Asks whether to save a changed canvas; then empties the temporary
    // folder before the window goes away.
    void closeEvent(QCloseEvent* event) override;

private:
    void createCanvasArea();
    void bindFrameCommands();
    void createMenus();
    QMenu* addMenu(const MenuLayout& layout);
    void createToolBar();
    void createStatusBar();
    void connectRefreshChain();
    void relayoutRulers();
    // Save (or save-as when askName) of the project, or of the output picture
    // in print-output mode.
    void saveDocument(bool askName);
    void fillRecentMenu(QMenu* menu);
    void showAbout();
    void openHelp(int commandId);
    // The hot key: captures while minimised, then shows the window normally.
    void onHotKey();
    // The capture command: hides the window, captures once the desktop has
    // drawn what lies below it, and shows the window again.
    void captureFromWindow();
    void finishCapture(const QImage& screen);
    // Shows the window again in the state it is to have, with the reason a
    // capture failed, if it did, in the status bar.
    void endCapture(const QString& failure);

    CImgJoinEngine& m_engine;
    UserPrompts m_prompts;
    HelpLinks m_helpLinks;
    CQznImgEdtJoinView* m_view = nullptr; // children of the window
    CQznImgEdtJoinDoc* m_document = nullptr;
    CHorzRulerBar* m_horzRuler = nullptr;
    CVertRulerBar* m_vertRuler = nullptr;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_memoryLabel = nullptr;
    QLabel* m_positionLabel = nullptr;
    GlobalHotKey* m_hotKey = nullptr; // children of the window
    ScreenGrabber* m_grabber = nullptr;
    bool m_capturing = false;
    Qt::WindowStates m_stateAfterCapture;
    bool m_relayBusy = false;
    int m_lastWidth = 0;
};
