#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

// Counts the undo steps that can still reach each clip file the engine wrote
// (cuts and filter results in the temporary folder). When the last of them
// leaves the undo stack, the file is deleted unless the canvas still shows
// it. Files the user owns are never counted, so never deleted.
class ClipFileLedger
{
public:
    using InUse = std::function<bool(const QString&)>;

    // Which files are the engine's own and whether one is still shown.
    void setRules(std::function<bool(const QString&)> owned, InUse inUse);
    void hold(const QStringList& files);
    void release(const QStringList& files);
    int holders(const QString& file) const { return m_holders.value(file); }

private:
    QHash<QString, int> m_holders;
    std::function<bool(const QString&)> m_owned;
    InUse m_inUse;
};
