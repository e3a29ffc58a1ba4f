#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class CImgJoinEngine;
class CQznImgEdtJoinView;
class QWidget;

// Closes every message box that opens while it is installed, and counts
// them: the view puts its questions and messages through its prompts, so a
// box that opens anyway would otherwise wait for a click that never comes.
class MessageBoxCatcher : public QObject
{
public:
    MessageBoxCatcher();
    ~MessageBoxCatcher() override;
    int caught() const { return m_caught; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_caught = 0;
};

// A view on its own engine, shown at a fixed size, with the engine's data
// directory in a temporary folder.
struct ViewUnderTest
{
    ViewUnderTest(int width = 800, int height = 600);
    ~ViewUnderTest();

    // Writes a picture whose pixel (x, y) has red = x % 256, green = y % 256.
    QString writePicture(const QString& name, int width, int height) const;
    // Loads a picture as the load command does and paints once, so the
    // engine knows the picture's handles.
    void loadAndPaint(const QString& path);
    // The view's screen content as a paint produces it now.
    QImage paint();

    MessageBoxCatcher boxes;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<CImgJoinEngine> engine;
    std::unique_ptr<CQznImgEdtJoinView> view;
};

// Mouse moves with the buttons that are held during the move.
void moveMouse(QWidget* widget, const QPoint& at, Qt::MouseButtons held);
// A press, a move with the button held and a release.
void dragMouse(QWidget* widget, Qt::MouseButton button, const QPoint& from, const QPoint& to);
