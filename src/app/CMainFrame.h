#pragma once

#include <QMainWindow>
#include <QString>

class CImgJoinEngine;
class QCloseEvent;

// The program's main window. It shows the canvas area and a status bar; the
// picture work itself belongs to the engine handed in by main(), which lives
// for the whole run and outlives the window.
class CMainFrame : public QMainWindow
{
    Q_OBJECT

public:
    explicit CMainFrame(CImgJoinEngine& engine, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The title stays this text whatever document is open.
    static QString frameTitle();

protected:
    // Empties the temporary folder before the window goes away.
    void closeEvent(QCloseEvent* event) override;

private:
    void createCentralPlaceholder();
    void createStatusBar();

    CImgJoinEngine& m_engine;
};
