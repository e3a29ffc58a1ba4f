#pragma once

#include "JoinPicture.h"

#include <QList>
#include <QString>

// The one level of undo of the pixel filters: the record of the filtered
// picture as it was before the filter. It belongs to the picture that shows
// the filter's result and does nothing once that picture has left the
// canvas or shows another file.
class FilterBackup
{
public:
    // Keeps the record as it was before a filter whose result is resultFile.
    void remember(const JoinPicture& before, const QString& resultFile);
    void forget();

    // The index of the picture the undo copy belongs to, or -1.
    int pictureIndex(const QList<JoinPicture>& pictures) const;
    // The state character of the undo copy; a space when there is nothing to undo.
    char state(const QList<JoinPicture>& pictures) const;
    // Puts the record back; false when there was nothing to undo.
    bool undo(QList<JoinPicture>& pictures);

    const JoinPicture& backup() const { return m_backup; }

private:
    static JoinPicture none();

    JoinPicture m_backup = none();
    QString m_resultFile;
};
