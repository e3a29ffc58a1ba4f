#include "CRulerGridCtrl.h"

#include "ColorRef.h"
#include "RulerTableModel.h"

#include <QPainter>
#include <QRegularExpression>

#include <limits>

CRulerGridCtrl::CRulerGridCtrl(CImgJoinEngine& engine, QWidget* parent)
    : CALXGridCtrl(parent)
    , m_table(new RulerTableModel(engine, this))
{
    constexpr Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignVCenter;
    AddColumn(20, centred);
    AddColumn(60, Qt::AlignRight | Qt::AlignVCenter, EditorType::EditBox);
    AddColumn(18, centred);
    AddColumn(56, centred, EditorType::EditBox);
    // Text colours by column: the spacing in blue, the name in dark red.
    for (const auto& [index, colour] :
         { std::pair{ 1, ColorRef(0xFF0000) }, std::pair{ 2, ColorRef(0x808000) },
           std::pair{ 3, ColorRef(0x000080) }, std::pair{ 4, ColorRef(0x800000) },
           std::pair{ 5, ColorRef(0x800080) } })
        SetPaletteColor(index, QColor::fromRgb(colorRefToRgb(colour)));
    SetGridParams(999, 38);
    SetImageList(images());
    setModel(m_table);
}

int CRulerGridCtrl::DataRows() const
{
    return RulerTableModel::DataRows;
}

QColor CRulerGridCtrl::RowBackground(int row) const
{
    if (row >= RulerTableModel::DataRows)
        return QColor::fromRgb(SpareRowColor);
    if (row == CurrentRow())
        return QColor::fromRgb(CurrentRowColor);
    return CALXGridCtrl::RowBackground(row);
}

QString CRulerGridCtrl::RefuseCellText(int column, int, const QString& text) const
{
    return column == RulerTableModel::SpacingColumn ? RefuseSpacing(text) : QString();
}

bool CRulerGridCtrl::RowEditable(int row) const
{
    return row >= 0 && row < RulerTableModel::DataRows;
}

QString CRulerGridCtrl::RefuseSpacing(const QString& text, int* value)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?[0-9]+$"));
    const QString trimmed = text.trimmed();
    if (!number.match(trimmed).hasMatch())
        return tr("间距必须是整数");
    bool fits = false;
    const qint64 wide = trimmed.toLongLong(&fits);
    const bool negative = trimmed.startsWith(u'-');
    if (negative && (!fits || wide < 0))
        return tr("间距不能是负数");
    if (!fits || wide > std::numeric_limits<int>::max())
        return tr("间距太大，最大为 %1").arg(std::numeric_limits<int>::max());
    if (value != nullptr)
        *value = int(wide);
    return QString();
}

QList<QPixmap> CRulerGridCtrl::images()
{
    // Image 0 is empty, 7 marks a line laid out on its ruler bar, 10 and 11
    // are the unmarked and the marked box.
    QList<QPixmap> list;
    for (int i = 0; i < 12; ++i) {
        QPixmap pixmap(ImageSize, ImageSize);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        const QColor blue = QColor::fromRgb(colorRefToRgb(0xFF0000));
        if (i == RulerTableModel::LaidOutImage) {
            painter.setPen(QPen(blue, 1));
            painter.drawLine(7, 2, 7, 12);
            painter.drawLine(4, 12, 10, 12);
            painter.fillRect(6, 2, 3, 3, blue);
        } else if (i == RulerTableModel::UnmarkedImage || i == RulerTableModel::MarkedImage) {
            painter.setPen(QColor(96, 96, 96));
            painter.drawRect(2, 2, 10, 10);
            if (i == RulerTableModel::MarkedImage)
                painter.fillRect(4, 4, 7, 7, blue);
        }
        list.append(pixmap);
    }
    return list;
}
