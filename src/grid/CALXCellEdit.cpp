#include "CALXCellEdit.h"

#include <QToolTip>

CALXCellEdit::CALXCellEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setFrame(false);
    connect(this, &QLineEdit::textEdited, this, [this] {
        setToolTip(QString());
        QToolTip::hideText();
    });
}

void CALXCellEdit::SetText(const QString& text)
{
    setText(text);
    selectAll();
    setModified(false);
}

bool CALXCellEdit::CaretAtStart() const
{
    return text().isEmpty() || (cursorPosition() == 0 && !hasSelectedText());
}

bool CALXCellEdit::CaretAtEnd() const
{
    return text().isEmpty() || (cursorPosition() == text().size() && !hasSelectedText());
}

void CALXCellEdit::ShowRefusal(const QString& reason)
{
    setToolTip(reason);
    QToolTip::showText(mapToGlobal(QPoint(0, height())), reason, this);
}
