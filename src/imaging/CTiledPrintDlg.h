#pragma once

#include "TileLayout.h"

#include <QDialog>
#include <QSize>
#include <QSizeF>

class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

// Chooses how a picture larger than one sheet is printed: whole on one
// page, across sheets at a scale in percent, or across sheets at the scale
// that makes it so many sheets wide. It shows how many sheets the choice
// takes on the current paper. The dialog ends with the action the user
// picked; the caller prints or previews.
class CTiledPrintDlg : public QDialog
{
    Q_OBJECT

public:
    enum class Action
    {
        Cancel,
        Print,
        Preview
    };

    // picture in pixels; printable area in device units at resolution
    // units to the inch.
    CTiledPrintDlg(const QSize& picture, const QSizeF& printable, double resolution,
                   const TileLayout::Choice& choice, QWidget* parent = nullptr);

    TileLayout::Choice choice() const;
    // The sheets of the current choice on the paper (not valid for one page).
    TileLayout layout() const;
    Action action() const { return m_action; }

    QRadioButton* onePageButton() const { return m_onePage; }
    QRadioButton* scaleButton() const { return m_byScale; }
    QRadioButton* sheetsWideButton() const { return m_bySheets; }
    QSpinBox* scaleBox() const { return m_scale; }
    QSpinBox* sheetsWideBox() const { return m_sheetsWide; }
    QLabel* summaryLabel() const { return m_summary; }
    QPushButton* printButton() const { return m_printButton; }
    QPushButton* previewButton() const { return m_previewButton; }

private:
    void buildControls();
    void updateSummary();
    void finish(Action action);

    QSize m_picture;
    QSizeF m_printable;
    double m_resolution;
    Action m_action = Action::Cancel;
    QRadioButton* m_onePage = nullptr;
    QRadioButton* m_byScale = nullptr;
    QRadioButton* m_bySheets = nullptr;
    QSpinBox* m_scale = nullptr;
    QSpinBox* m_sheetsWide = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_printButton = nullptr;
    QPushButton* m_previewButton = nullptr;
};
