#include "CanvasEditCommand.h"

#include "ClipFileLedger.h"

CanvasEditCommand::CanvasEditCommand(const QString& text, CanvasSnapshot before,
                                     CanvasSnapshot after, Apply apply, ClipFileLedger* ledger,
                                     int mergeId)
    : QUndoCommand(text)
    , m_before(std::move(before))
    , m_after(std::move(after))
    , m_apply(std::move(apply))
    , m_ledger(ledger)
    , m_mergeId(mergeId)
{
    if (m_ledger)
        m_ledger->hold(heldFiles());
}

CanvasEditCommand::~CanvasEditCommand()
{
    if (m_ledger)
        m_ledger->release(heldFiles());
}

QStringList CanvasEditCommand::heldFiles() const
{
    return m_before.files() + m_after.files();
}

void CanvasEditCommand::undo()
{
    m_apply(m_before);
}

void CanvasEditCommand::redo()
{
    m_apply(m_after);
}

bool CanvasEditCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = dynamic_cast<const CanvasEditCommand*>(other);
    // Only a step that starts where this one ends, on the same picture.
    if (!next || next->id() != id() || next->m_before != m_after ||
        next->m_after.current != m_after.current ||
        next->m_after.pictures.size() != m_after.pictures.size())
        return false;
    // Hold the new set before letting go of the old one, so a file both
    // name is never dropped in between.
    const QStringList held = heldFiles();
    m_after = next->m_after;
    if (m_ledger) {
        m_ledger->hold(heldFiles());
        m_ledger->release(held);
    }
    setObsolete(m_after == m_before);
    return true;
}
