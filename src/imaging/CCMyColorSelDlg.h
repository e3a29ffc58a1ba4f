#pragma once

#include <QColorDialog>
#include <QPoint>

// The colour dialog of the picture editor: Qt's own colour dialog, starting
// at black, which can open with its bottom-left corner at a given screen
// point (just above the button that opened it).
class CCMyColorSelDlg : public QColorDialog
{
    Q_OBJECT

public:
    enum class Placement
    {
        Default,     // where the window system puts it
        BottomLeftAt // its bottom-left corner at the given point
    };

    explicit CCMyColorSelDlg(QWidget* parent = nullptr);

    void setPlacement(const QPoint& screenPoint, Placement placement);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPoint m_position{ 100, 50 };
    Placement m_placement = Placement::Default;
};
