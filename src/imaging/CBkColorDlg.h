#pragma once

#include "BkColorSample.h"
#include "ColorRef.h"

#include <QDialog>
#include <QRect>

class CImgJoinEngine;
class QComboBox;
class QLabel;
class QPushButton;
class QUndoCommand;

// The background-colour dialog ("调整设置背景色"), modeless: shows a sample
// of the canvas at its size and enlarged three times, lets the user pick a
// colour in it or take its average, try a tolerance on the sample ("调背景")
// and replace every colour within that tolerance in the current picture
// ("应用到全图", one undo step, undone by "撤消应用"). The sample counts
// its ends in; the picture, by the background filter, leaves them out, so a
// colour exactly at the tolerance changes in the sample only.
//
// While it is open the engine's background-tool flag is set; the dialog
// deletes itself when closed.
class CBkColorDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int Enlarge = 3;

    // band: where the sample was taken, in view pixels (already clamped).
    CBkColorDlg(CImgJoinEngine& engine, const BkColorSample& sample, const QRect& band,
                QWidget* parent = nullptr);
    ~CBkColorDlg() override;

    QRect sampleRect() const { return m_band; }
    const BkColorSample& sample() const { return m_sample; }
    ColorRef chosenColour() const { return m_chosen; }
    int tolerance() const { return m_tolerance; }

    // The sample pixel under a point of the enlarged sample becomes the
    // chosen colour; nothing outside the sample.
    void pickAt(const QPoint& enlargedPoint);

    void done(int result) override;

signals:
    // The picture changed: the views redraw.
    void pictureChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showSample();
    void showChosen();
    void chooseColour(ColorRef colour);
    void toleranceChosen(int index);
    void tryOnSample();
    void undoTry();
    void applyToPicture();
    void undoApply();

    CImgJoinEngine& m_engine;
    BkColorSample m_sample;
    const BkColorSample m_original; // what "撤消" goes back to
    QRect m_band;
    ColorRef m_chosen = 0;
    int m_tolerance = 0;
    // The undo step the last apply made, and the files it went from and to,
    // so that "撤消应用" undoes that apply and nothing else.
    const QUndoCommand* m_applyStep = nullptr;
    QString m_fileBefore;
    QString m_fileAfter;

    QLabel* m_enlarged = nullptr;
    QLabel* m_actual = nullptr;
    QLabel* m_swatch = nullptr;
    QLabel* m_count = nullptr;
    QComboBox* m_toleranceBox = nullptr;
    QPushButton* m_tryButton = nullptr;
    QPushButton* m_undoTryButton = nullptr;
    QPushButton* m_applyButton = nullptr;
    QPushButton* m_undoApplyButton = nullptr;
};
