#include "FilterBackup.h"

JoinPicture FilterBackup::none()
{
    JoinPicture empty;
    empty.state = ' ';
    return empty;
}

void FilterBackup::remember(const JoinPicture& before, const QString& resultFile)
{
    m_backup = before;
    m_resultFile = resultFile;
}

void FilterBackup::forget()
{
    m_backup.state = ' ';
    m_resultFile.clear();
}

int FilterBackup::pictureIndex(const QList<JoinPicture>& pictures) const
{
    if (m_backup.state == ' ')
        return -1;
    for (int i = 0; i < pictures.size(); ++i) {
        if (pictures.at(i).file == m_resultFile)
            return i;
    }
    return -1;
}

char FilterBackup::state(const QList<JoinPicture>& pictures) const
{
    return pictureIndex(pictures) >= 0 ? m_backup.state : ' ';
}

bool FilterBackup::undo(QList<JoinPicture>& pictures)
{
    const int index = pictureIndex(pictures);
    if (index < 0)
        return false;
    pictures[index] = m_backup;
    forget();
    return true;
}
