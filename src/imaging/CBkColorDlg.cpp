#include "CBkColorDlg.h"

#include "CImgJoinEngine.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QUndoStack>
#include <QVBoxLayout>

namespace {

QPushButton* makeButton(const QString& text, const char* name, bool enabled, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setEnabled(enabled);
    button->setAutoDefault(false);
    return button;
}

QLabel* makeFrame(const QSize& inside, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setLineWidth(1);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFixedSize(inside + QSize(2, 2));
    return label;
}

} // namespace

CBkColorDlg::CBkColorDlg(CImgJoinEngine& engine, const BkColorSample& sample, const QRect& band,
                         QWidget* parent)
    : QDialog(parent)
    , m_engine(engine)
    , m_sample(sample)
    , m_original(sample)
    , m_band(band)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("调整设置背景色"));
    m_engine.BkColorDlgOpen(1);

    const QSize sampleSize(BkColorSample::MaxWidth, BkColorSample::MaxHeight);
    m_enlarged = makeFrame(sampleSize * Enlarge, this);
    m_enlarged->setObjectName(QStringLiteral("enlarged"));
    m_enlarged->installEventFilter(this);
    m_enlarged->setCursor(Qt::CrossCursor);
    m_actual = makeFrame(sampleSize, this);
    m_swatch = makeFrame(QSize(16, 16), this);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("count"));
    m_count->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_count->setAlignment(Qt::AlignCenter);
    m_toleranceBox = new QComboBox(this);
    m_toleranceBox->setObjectName(QStringLiteral("tolerance"));
    m_toleranceBox->setEditable(true);
    m_toleranceBox->setInsertPolicy(QComboBox::NoInsert);
    for (int t : { 2, 3, 5, 8, 10, 12, 14, 16, 18, 20, 24, 28, 32, 36, 40, 48, 56, 62, 70, 78, 86 })
        m_toleranceBox->addItem(QString::number(t));
    m_toleranceBox->setCurrentIndex(-1);
    m_toleranceBox->setEditText(QString());

    auto* average = makeButton(tr("取平均色"), "average", true, this);
    m_tryButton = makeButton(tr("调背景"), "try", false, this);
    m_undoTryButton = makeButton(tr("撤消"), "undoTry", false, this);
    m_applyButton = makeButton(tr("应用到全图"), "apply", false, this);
    m_undoApplyButton = makeButton(tr("撤消应用"), "undoApply", false, this);
    auto* close = makeButton(tr("关闭"), "close", true, this);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* top = new QHBoxLayout;
    top->addWidget(m_enlarged);
    top->addWidget(average, 0, Qt::AlignBottom);
    layout->addLayout(top);
    auto* lower = new QGridLayout;
    lower->addWidget(m_actual, 0, 0, 2, 1);
    auto* tools = new QHBoxLayout;
    tools->addWidget(m_swatch);
    tools->addWidget(new QLabel(tr("容差:"), this));
    tools->addWidget(m_toleranceBox);
    tools->addWidget(m_tryButton);
    tools->addWidget(m_undoTryButton);
    lower->addLayout(tools, 0, 1);
    auto* applying = new QHBoxLayout;
    applying->addWidget(m_applyButton);
    applying->addWidget(m_undoApplyButton);
    applying->addStretch(1);
    applying->addWidget(close);
    lower->addLayout(applying, 1, 1);
    lower->addWidget(m_count, 2, 0);
    layout->addLayout(lower);

    connect(average, &QPushButton::clicked, this, [this] {
        if (const std::optional<ColorRef> mean = m_sample.average())
            chooseColour(*mean);
    });
    connect(m_toleranceBox, &QComboBox::activated, this, &CBkColorDlg::toleranceChosen);
    connect(m_tryButton, &QPushButton::clicked, this, &CBkColorDlg::tryOnSample);
    connect(m_undoTryButton, &QPushButton::clicked, this, &CBkColorDlg::undoTry);
    connect(m_applyButton, &QPushButton::clicked, this, &CBkColorDlg::applyToPicture);
    connect(m_undoApplyButton, &QPushButton::clicked, this, &CBkColorDlg::undoApply);
    connect(close, &QPushButton::clicked, this, &CBkColorDlg::reject);

    m_count->setText(tr("颜色数:%1").arg(m_sample.colourCount()));
    showSample();
    showChosen();
}

CBkColorDlg::~CBkColorDlg()
{
    m_engine.BkColorDlgOpen(0);
}

void CBkColorDlg::done(int result)
{
    // Closed: another sample may open the tool again.
    m_engine.BkColorDlgOpen(0);
    QDialog::done(result);
}

bool CBkColorDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_enlarged && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::LeftButton) {
            const QPoint inside =
                press->position().toPoint() - m_enlarged->contentsRect().topLeft();
            pickAt(inside);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CBkColorDlg::pickAt(const QPoint& enlargedPoint)
{
    if (enlargedPoint.x() < 0 || enlargedPoint.y() < 0)
        return;
    if (const std::optional<ColorRef> colour =
            m_sample.pick(enlargedPoint.x() / Enlarge, enlargedPoint.y() / Enlarge))
        chooseColour(*colour);
}

void CBkColorDlg::showSample()
{
    const QPixmap actual = QPixmap::fromImage(m_sample.image());
    m_actual->setPixmap(actual);
    m_enlarged->setPixmap(
        actual.scaled(actual.size() * Enlarge, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

void CBkColorDlg::showChosen()
{
    QPixmap swatch(m_swatch->contentsRect().size());
    swatch.fill(colorRefToColor(m_chosen));
    m_swatch->setPixmap(swatch);
}

void CBkColorDlg::chooseColour(ColorRef colour)
{
    m_chosen = colour;
    m_tryButton->setEnabled(true);
    showChosen();
}

void CBkColorDlg::toleranceChosen(int index)
{
    // Only a tolerance chosen from the list counts; the text typed is not read.
    m_tolerance = m_toleranceBox->itemText(index).toInt();
}

void CBkColorDlg::tryOnSample()
{
    m_sample.replaceWithin(m_chosen, m_tolerance);
    showSample();
    m_undoTryButton->setEnabled(true);
    m_applyButton->setEnabled(true);
}

void CBkColorDlg::undoTry()
{
    m_undoTryButton->setEnabled(false);
    m_sample = m_original;
    showSample();
}

void CBkColorDlg::applyToPicture()
{
    const BkColorSample::Range r = BkColorSample::range(m_chosen, m_tolerance);
    m_engine.SetBkColorReplace(m_chosen, r.lo[0], r.hi[0], r.lo[1], r.hi[1], r.lo[2], r.hi[2]);
    const int current = m_engine.currentPicture();
    const QString before = current >= 0 ? m_engine.picture(current).file : QString();
    if (m_engine.ApplyFilter(FilterCode::ReplaceBackground)) {
        const QUndoStack& steps = m_engine.undoStack();
        m_applyStep = steps.index() > 0 ? steps.command(steps.index() - 1) : nullptr;
        m_fileBefore = before;
        m_fileAfter = m_engine.picture(m_engine.currentPicture()).file;
        m_undoApplyButton->setEnabled(true);
    }
    emit pictureChanged();
}

void CBkColorDlg::undoApply()
{
    m_undoApplyButton->setEnabled(false);
    const QUndoStack& steps = m_engine.undoStack();
    if (m_applyStep != nullptr && steps.index() > 0 &&
        steps.command(steps.index() - 1) == m_applyStep) {
        // The apply is the last step: undo it there, so redo can bring it back.
        m_engine.Undo();
    } else {
        // Later edits came after it: the filter undo puts the picture back,
        // as long as it still shows this apply's result.
        bool shown = false;
        for (int i = 0; i < m_engine.GetPictureCount(); ++i)
            shown = shown || m_engine.picture(i).file == m_fileAfter;
        if (shown && m_engine.filterBackup().file == m_fileBefore)
            m_engine.UndoFilter();
    }
    m_applyStep = nullptr;
    emit pictureChanged();
}
