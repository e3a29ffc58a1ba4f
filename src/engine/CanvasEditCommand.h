#pragma once

#include "CanvasSnapshot.h"

#include <QUndoCommand>

#include <functional>

class ClipFileLedger;

// One undoable edit of the canvas: the records before and after it. Undo
// and redo put one or the other back whole, which is exact for every kind
// of edit, since the pictures themselves stay in their files. The clip
// files either side names are held in the ledger while the step exists.
class CanvasEditCommand : public QUndoCommand
{
public:
    // Steps with this id merge: moves and nudges of one picture in a row.
    static constexpr int MoveId = 1;

    using Apply = std::function<void(const CanvasSnapshot&)>;

    CanvasEditCommand(const QString& text, CanvasSnapshot before, CanvasSnapshot after, Apply apply,
                      ClipFileLedger* ledger, int mergeId = -1);
    ~CanvasEditCommand() override;

    void undo() override;
    void redo() override;
    int id() const override { return m_mergeId; }
    bool mergeWith(const QUndoCommand* other) override;

    const CanvasSnapshot& before() const { return m_before; }
    const CanvasSnapshot& after() const { return m_after; }

private:
    QStringList heldFiles() const;

    CanvasSnapshot m_before;
    CanvasSnapshot m_after;
    Apply m_apply;
    ClipFileLedger* m_ledger;
    int m_mergeId;
};
