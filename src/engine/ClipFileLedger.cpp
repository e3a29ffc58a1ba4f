#include "ClipFileLedger.h"

#include <QFile>
#include <QSet>

void ClipFileLedger::setRules(std::function<bool(const QString&)> owned, InUse inUse)
{
    m_owned = std::move(owned);
    m_inUse = std::move(inUse);
}

void ClipFileLedger::hold(const QStringList& files)
{
    // A step that names a file twice still holds it once.
    const QSet<QString> unique(files.cbegin(), files.cend());
    for (const QString& file : unique) {
        if (m_owned && m_owned(file))
            ++m_holders[file];
    }
}

void ClipFileLedger::release(const QStringList& files)
{
    const QSet<QString> unique(files.cbegin(), files.cend());
    for (const QString& file : unique) {
        const auto it = m_holders.find(file);
        if (it == m_holders.end())
            continue;
        if (--it.value() > 0)
            continue;
        m_holders.erase(it);
        if (!m_inUse || !m_inUse(file))
            QFile::remove(file);
    }
}
