#pragma once

#include "ImgEditCursors.h"
#include "JoinCodes.h"

#include <QDialog>
#include <QPoint>
#include <QRect>

class CImgJoinEngine;
class QComboBox;
class QPushButton;

// The picture-edit dialog ("图片编辑"): shows the current picture at 1:1 as
// the canvas shows it and paints on it with the engine's brush. A brush is a
// colour from the colour dialog or a patch of the dialog taken by Alt + left
// click. Strips along the edit area's edges move the window over a larger
// picture. Edits are written into the picture when the window moves and when
// the dialog closes; all of them are one undo step.
class CImgEditDlg : public QDialog
{
    Q_OBJECT

public:
    // The edit area in the dialog.
    static constexpr QRect EditArea{ 7, 7, 640, 430 };

    explicit CImgEditDlg(CImgJoinEngine& engine, QWidget* parent = nullptr);
    ~CImgEditDlg() override;

    QRect editRect() const { return m_editRect; }
    bool patternSet() const { return m_patternSet; }
    // Fills the brush with one colour, as the colour dialog's OK does.
    void setBrushColour(const QColor& colour);
    // Takes the dialog's PatternSize x PatternSize pixels whose top-left
    // lies at point - (19, 19) as the brush, as Alt + left click does.
    void takePattern(const QPoint& point);

    void done(int result) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    enum class Hit
    {
        Outside,
        Scroll, // a scroll zone the window can move by
        Edit    // the edit area
    };
    // Sets the cursor for a point and, while the left button paints, paints
    // the stroke up to it.
    Hit hitTest(Qt::MouseButtons buttons, const QPoint& point, EditScroll* step = nullptr);
    void chooseColour();
    void radiusChosen(int index);
    void blinkCursor();
    void showBrush();

    CImgJoinEngine& m_engine;
    ImgEditCursors m_cursors;
    QRect m_editRect;
    QRect m_scrollZones[4]; // left, right, up, down
    bool m_patternSet = false;
    int m_stroke = 0; // 1 after a press, counting painted segments; 0 after the release
    QPoint m_lastPoint;
    bool m_ended = false;
    QComboBox* m_radiusBox = nullptr;
    QPushButton* m_colourButton = nullptr;
    QWidget* m_previewPlace = nullptr;
};
