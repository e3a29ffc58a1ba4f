#include "CImgEditDlg.h"

#include "CCMyColorSelDlg.h"
#include "CImgJoinEngine.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSpacerItem>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr EditScroll ScrollSteps[4] = { EditScroll::Left, EditScroll::Right, EditScroll::Up,
                                        EditScroll::Down };
constexpr int BlinkMs = 500;
constexpr int PreviewSize = 44;

} // namespace

CImgEditDlg::CImgEditDlg(CImgJoinEngine& engine, QWidget* parent)
    : QDialog(parent)
    , m_engine(engine)
    , m_editRect(EditArea)
{
    setWindowTitle(tr("图片编辑"));
    setMouseTracking(true);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(EditArea.left(), EditArea.top(), EditArea.left(), 6);
    // The edit area (with its frame) is painted by the dialog itself.
    layout->addSpacerItem(new QSpacerItem(EditArea.width() + 2, EditArea.height() + 8,
                                          QSizePolicy::Fixed, QSizePolicy::Fixed));
    auto* row = new QHBoxLayout;
    layout->addLayout(row);
    row->addWidget(new QLabel(tr("画笔半径:"), this));
    m_radiusBox = new QComboBox(this);
    m_radiusBox->setEditable(true);
    m_radiusBox->setInsertPolicy(QComboBox::NoInsert);
    m_radiusBox->setObjectName(QStringLiteral("radius"));
    for (int radius : { 0, 1, 2, 3, 4, 5, 8, 12, 16, 18 })
        m_radiusBox->addItem(QString::number(radius));
    // The radius the brush keeps from the last editing.
    m_radiusBox->setCurrentText(QString::number(engine.imageEdit().radius()));
    row->addWidget(m_radiusBox);
    // Where the brush preview is drawn; the dialog paints it.
    m_previewPlace = new QWidget(this);
    m_previewPlace->setFixedSize(PreviewSize, PreviewSize);
    m_previewPlace->setAttribute(Qt::WA_TransparentForMouseEvents);
    row->addWidget(m_previewPlace);
    m_colourButton = new QPushButton(tr("选画笔颜色"), this);
    m_colourButton->setObjectName(QStringLiteral("brushColour"));
    m_colourButton->setAutoDefault(false);
    row->addWidget(m_colourButton);
    auto* hint = new QLabel(tr("“按住Alt键+左键”图中取色"), this);
    hint->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    hint->setAlignment(Qt::AlignCenter);
    row->addWidget(hint, 1);
    auto* close = new QPushButton(tr("关 闭"), this);
    close->setObjectName(QStringLiteral("close"));
    close->setAutoDefault(false);
    row->addWidget(close);

    connect(m_radiusBox, &QComboBox::activated, this, &CImgEditDlg::radiusChosen);
    connect(m_colourButton, &QPushButton::clicked, this, &CImgEditDlg::chooseColour);
    connect(close, &QPushButton::clicked, this, &CImgEditDlg::reject);

    m_engine.BeginImageEdit(m_editRect);
    for (int i = 0; i < 4; ++i)
        m_scrollZones[i] = ImageEditBuffer::scrollZone(m_editRect, ScrollSteps[i]);
}

CImgEditDlg::~CImgEditDlg()
{
    if (!m_ended)
        m_engine.EndImageEdit();
}

void CImgEditDlg::done(int result)
{
    if (!m_ended) {
        m_ended = true;
        m_engine.EndImageEdit();
    }
    QDialog::done(result);
}

void CImgEditDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_engine.imageEdit().setPreviewRect(m_previewPlace->geometry());
}

void CImgEditDlg::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.drawRect(m_editRect.adjusted(-1, -1, 0, 0));
    m_engine.imageEdit().draw(painter, event->rect());
    if (m_patternSet)
        m_engine.imageEdit().drawPreview(painter);
}

CImgEditDlg::Hit CImgEditDlg::hitTest(Qt::MouseButtons buttons, const QPoint& point,
                                      EditScroll* step)
{
    for (int i = 0; i < 4; ++i) {
        if (m_scrollZones[i].contains(point) && m_engine.CanScrollImageEdit(ScrollSteps[i])) {
            setCursor(m_cursors.scroll(ScrollSteps[i]));
            if (step != nullptr)
                *step = ScrollSteps[i];
            return Hit::Scroll;
        }
    }
    if (!m_editRect.contains(point))
        return Hit::Outside;
    if (!m_patternSet) {
        setCursor(m_cursors.noBrush());
        return Hit::Edit;
    }
    ImageEditBuffer& edit = m_engine.imageEdit();
    if (m_stroke >= 1 && (buttons & Qt::LeftButton)) {
        setCursor(m_cursors.painting(edit.radius()));
        // Short moves are collected until the mouse is StrokeStep pixels on.
        const QPoint d = point - m_lastPoint;
        if (int(std::sqrt(double(d.x()) * d.x() + double(d.y()) * d.y())) >=
            ImageEditBuffer::StrokeStep) {
            ++m_stroke;
            update(edit.paintStroke(m_lastPoint, point));
            m_lastPoint = point;
        }
        return Hit::Edit;
    }
    setCursor(m_cursors.brush());
    return Hit::Edit;
}

void CImgEditDlg::mouseMoveEvent(QMouseEvent* event)
{
    hitTest(event->buttons(), event->position().toPoint());
    QDialog::mouseMoveEvent(event);
}

void CImgEditDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    EditScroll step = EditScroll::Left;
    const Hit hit = hitTest(event->buttons(), p, &step);
    if (hit == Hit::Scroll && m_engine.ScrollImageEdit(step)) {
        update();
    } else if (hit == Hit::Edit) {
        if (event->modifiers() & Qt::AltModifier) {
            takePattern(p);
            blinkCursor();
        } else {
            m_lastPoint = p;
            m_stroke = 1;
        }
        setCursor(m_patternSet ? m_cursors.brush() : m_cursors.noBrush());
    }
    QDialog::mousePressEvent(event);
}

void CImgEditDlg::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QDialog::mouseReleaseEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    const Hit hit = hitTest(Qt::NoButton, p);
    if (hit == Hit::Outside) {
        unsetCursor();
    } else if (hit == Hit::Edit && m_patternSet) {
        // A click, or a drag too short for a segment, leaves one dab.
        if (m_stroke == 1)
            update(m_engine.imageEdit().paintStroke(m_lastPoint, m_lastPoint));
        m_lastPoint = p;
    }
    m_stroke = 0;
    QDialog::mouseReleaseEvent(event);
}

void CImgEditDlg::takePattern(const QPoint& point)
{
    constexpr int Size = ImageEditBuffer::PatternSize;
    const QRect patch(point - QPoint(19, 19), QSize(Size, Size));
    QImage pattern(Size, Size, QImage::Format_RGB32);
    pattern.fill(palette().color(QPalette::Window));
    const QRect inside = patch & rect();
    if (!inside.isEmpty()) {
        // What the dialog shows there, edit area, frame and background alike.
        QImage shown = grab(inside).toImage();
        if (shown.size() != inside.size())
            shown = shown.scaled(inside.size());
        QPainter painter(&pattern);
        painter.drawImage(inside.topLeft() - patch.topLeft(), shown);
    }
    m_engine.imageEdit().setPattern(pattern);
    m_patternSet = true;
    showBrush();
}

void CImgEditDlg::setBrushColour(const QColor& colour)
{
    m_engine.imageEdit().fillPattern(colour.rgb());
    m_patternSet = true;
    showBrush();
}

void CImgEditDlg::showBrush()
{
    update(m_engine.imageEdit().previewRect());
}

void CImgEditDlg::blinkCursor()
{
    // The cursor blinks to say the patch was taken.
    setCursor(m_cursors.noBrush());
    QTimer::singleShot(BlinkMs, this, [this] { setCursor(m_cursors.brush()); });
    QTimer::singleShot(2 * BlinkMs, this, [this] { setCursor(m_cursors.noBrush()); });
    QTimer::singleShot(3 * BlinkMs, this, [this] { setCursor(m_cursors.brush()); });
}

void CImgEditDlg::chooseColour()
{
    CCMyColorSelDlg dialog(this);
    dialog.setPlacement(m_colourButton->mapToGlobal(QPoint(0, 0)),
                        CCMyColorSelDlg::Placement::BottomLeftAt);
    if (dialog.exec() == QDialog::Accepted)
        setBrushColour(dialog.currentColor());
}

void CImgEditDlg::radiusChosen(int index)
{
    m_engine.imageEdit().setRadius(m_radiusBox->itemText(index).toInt());
    showBrush();
}
