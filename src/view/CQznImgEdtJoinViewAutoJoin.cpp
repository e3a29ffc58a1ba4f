// Automatic joining in the view: the current picture moved to where it
// matches the pictures below it, and a set of captures arranged as a whole
// behind a progress box that can be cancelled.
#include "CQznImgEdtJoinView.h"

#include "CImgJoinEngine.h"
#include "CProgressDlg.h"
#include "CViewCommands.h"
#include "CanvasMath.h"
#include "CommandIds.h"

#include <QTimer>

#include <algorithm>
#include <cmath>

using namespace CommandId;

namespace {

// Canvas coordinates farther out than this are cut back, so that the box's
// sides always fit in an int; a box that large is refused by the engine.
constexpr double FarthestCanvasPoint = double(1 << 29);

int clampedCoordinate(double value)
{
    return truncToInt(std::clamp(value, -FarthestCanvasPoint, FarthestCanvasPoint));
}

} // namespace

void CQznImgEdtJoinView::bindAutoJoinCommands()
{
    CViewCommands& c = *m_commands;
    c.setHandler(AutoAlignCurrent, [this] { autoAlignCurrentPicture(); });
    c.setHandler(AutoJoinAll, [this] { autoJoinPictures({}); });
}

QRect CQznImgEdtJoinView::shownCanvasBox() const
{
    // Every canvas unit of which the view shows some part.
    const QPointF first = m_engine.CanvasPointAt(QPointF(0, 0));
    const QPointF last = m_engine.CanvasPointAt(QPointF(width(), height()));
    const int left = clampedCoordinate(std::floor(std::min(first.x(), last.x())));
    const int top = clampedCoordinate(std::floor(std::min(first.y(), last.y())));
    const int right = clampedCoordinate(std::ceil(std::max(first.x(), last.x())));
    const int bottom = clampedCoordinate(std::ceil(std::max(first.y(), last.y())));
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void CQznImgEdtJoinView::autoAlignCurrentPicture()
{
    // Finding no match is no failure: the message says why it stayed.
    const CImgJoinEngine::AlignOutcome outcome = m_engine.AutoAlignCurrentPicture(shownCanvasBox());
    invalidate();
    emit statusMessage(outcome.message);
}

bool CQznImgEdtJoinView::autoJoinPictures(const QList<int>& pictures)
{
    AutoJoinJob job =
        pictures.isEmpty() ? m_engine.beginAutoJoin() : m_engine.beginAutoJoin(pictures);
    if (!job.valid())
        return false; // the engine has said why
    CProgressDlg box([&job] { job.run(); }, [this] { return m_engine.GetProgressText(); }, this);
    box.setCancel([&job] { job.cancel(); });
    box.runDelayed(AutoJoinBoxDelay);
    // A cancelled job changes nothing; what went wrong the engine reports.
    const bool changed = m_engine.endAutoJoin(job);
    if (changed)
        zoom(ZoomCode::Fit);
    invalidate();
    updateActions();
    emit statusMessage(CImgJoinEngine::AutoJoinSummary(job));
    return changed;
}

void CQznImgEdtJoinView::offerAutoJoin(const QList<int>& dropped, const QStringList& files)
{
    // The question comes after the drop has finished; by then the pictures
    // must still be the ones dropped.
    if (m_displayMode == DisplayMode::Output || m_engine.isBusy() || dropped.size() < 2)
        return;
    for (qsizetype i = 0; i < dropped.size(); ++i) {
        const int index = dropped.at(i);
        if (index < 0 || index >= m_engine.GetPictureCount() ||
            m_engine.picture(index).file != files.value(i))
            return;
    }
    if (m_prompts.ask(this, tr("自动拼接"),
                      tr("是否自动拼接刚拖入的 %1 张图片?").arg(dropped.size())))
        autoJoinPictures(dropped);
}
