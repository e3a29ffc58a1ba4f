#include "CTiledPrintDlg.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

using Mode = TileLayout::Choice::Mode;

CTiledPrintDlg::CTiledPrintDlg(const QSize& picture, const QSizeF& printable, double resolution,
                               const TileLayout::Choice& choice, QWidget* parent)
    : QDialog(parent)
    , m_picture(picture)
    , m_printable(printable)
    , m_resolution(resolution)
{
    setWindowTitle(tr("分页打印"));
    buildControls();
    m_scale->setValue(int(std::lround(choice.scalePercent)));
    m_sheetsWide->setValue(choice.sheetsWide);
    switch (choice.mode) {
        case Mode::OnePage: m_onePage->setChecked(true); break;
        case Mode::Scale: m_byScale->setChecked(true); break;
        case Mode::SheetsWide: m_bySheets->setChecked(true); break;
    }
    updateSummary();
}

void CTiledPrintDlg::buildControls()
{
    m_onePage = new QRadioButton(tr("不分页, 整张图缩放到一页纸"), this);
    m_byScale = new QRadioButton(tr("按比例分页打印:"), this);
    m_bySheets = new QRadioButton(tr("拼"), this);
    auto* group = new QButtonGroup(this);
    for (QRadioButton* button : { m_onePage, m_byScale, m_bySheets })
        group->addButton(button);

    m_scale = new QSpinBox(this);
    m_scale->setRange(int(TileLayout::MinScalePercent), int(TileLayout::MaxScalePercent));
    m_scale->setSuffix(QStringLiteral(" %"));
    m_sheetsWide = new QSpinBox(this);
    m_sheetsWide->setRange(1, TileLayout::MaxSheetsWide);

    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    m_summary->setMinimumWidth(320);
    auto* help = new QLabel(tr("相邻两张纸重叠%1毫米, 纸上印有虚线和角线: 沿角线裁去纸边, "
                               "把裁好的边对齐相邻一张的虚线粘贴。")
                                .arg(TileLayout::DefaultOverlapMm),
                            this);
    help->setWordWrap(true);

    auto* grid = new QGridLayout;
    grid->addWidget(m_onePage, 0, 0, 1, 3);
    grid->addWidget(m_byScale, 1, 0);
    grid->addWidget(m_scale, 1, 1);
    grid->addWidget(m_bySheets, 2, 0);
    grid->addWidget(m_sheetsWide, 2, 1);
    grid->addWidget(new QLabel(tr("张纸宽"), this), 2, 2);
    grid->setColumnStretch(2, 1);

    auto* buttons = new QDialogButtonBox(this);
    m_printButton = buttons->addButton(tr("打印..."), QDialogButtonBox::AcceptRole);
    m_previewButton = buttons->addButton(tr("打印预览..."), QDialogButtonBox::ActionRole);
    buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole);
    m_printButton->setDefault(true);
    connect(m_printButton, &QPushButton::clicked, this, [this] { finish(Action::Print); });
    connect(m_previewButton, &QPushButton::clicked, this, [this] { finish(Action::Preview); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(m_summary);
    layout->addWidget(help);
    layout->addWidget(buttons);

    for (QRadioButton* button : { m_onePage, m_byScale, m_bySheets })
        connect(button, &QRadioButton::toggled, this, &CTiledPrintDlg::updateSummary);
    connect(m_scale, &QSpinBox::valueChanged, this, [this] {
        m_byScale->setChecked(true);
        updateSummary();
    });
    connect(m_sheetsWide, &QSpinBox::valueChanged, this, [this] {
        m_bySheets->setChecked(true);
        updateSummary();
    });
}

TileLayout::Choice CTiledPrintDlg::choice() const
{
    TileLayout::Choice result;
    result.mode = m_byScale->isChecked()    ? Mode::Scale
                  : m_bySheets->isChecked() ? Mode::SheetsWide
                                            : Mode::OnePage;
    result.scalePercent = m_scale->value();
    result.sheetsWide = m_sheetsWide->value();
    return result;
}

TileLayout CTiledPrintDlg::layout() const
{
    return TileLayout::forChoice(m_picture, m_printable, m_resolution, choice());
}

void CTiledPrintDlg::updateSummary()
{
    const TileLayout::Choice current = choice();
    bool printable = true;
    if (!current.tiled()) {
        m_summary->setText(tr("整张图打印在一页纸上。"));
    } else if (const TileLayout sheets = layout(); sheets.valid()) {
        m_summary->setText(tr("共%1张纸: 横向%2张, 竖向%3张, 打印比例%4%。")
                               .arg(sheets.count())
                               .arg(sheets.columns())
                               .arg(sheets.rows())
                               .arg(sheets.scalePercent(), 0, 'f', 1));
    } else if (sheets.tooManySheets()) {
        m_summary->setText(tr("需要超过%1张纸, 请减小打印比例。").arg(TileLayout::MaxSheets));
        printable = false;
    } else {
        m_summary->setText(tr("纸张太小, 无法按这个比例分页打印。"));
        printable = false;
    }
    m_printButton->setEnabled(printable);
    m_previewButton->setEnabled(printable);
}

void CTiledPrintDlg::finish(Action action)
{
    m_action = action;
    accept();
}
