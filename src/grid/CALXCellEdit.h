#pragma once

#include <QLineEdit>

// The edit-box cell editor: a frameless line edit laid over the current
// cell. It starts with its whole text selected, and tells whether the caret
// stands at an edge, so Left and Right can leave the cell there.
class CALXCellEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit CALXCellEdit(QWidget* parent = nullptr);

    // Sets the text, selects all of it and clears the modified flag.
    void SetText(const QString& text);
    bool CaretAtStart() const;
    bool CaretAtEnd() const;
    // Shows why the text was refused, at the editor, and keeps it as the
    // editor's tool tip until the text changes.
    void ShowRefusal(const QString& reason);
};
