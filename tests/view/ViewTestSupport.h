#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class CImgJoinEngine;
class CQznImgEdtJoinView;
class QWidget;

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

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<CImgJoinEngine> engine;
    std::unique_ptr<CQznImgEdtJoinView> view;
};

// Mouse moves with the buttons that are held during the move.
void moveMouse(QWidget* widget, const QPoint& at, Qt::MouseButtons held);
// A press, a move with the button held and a release.
void dragMouse(QWidget* widget, Qt::MouseButton button, const QPoint& from, const QPoint& to);
