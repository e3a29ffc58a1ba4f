#pragma once

#include "JoinPicture.h"

#include <QList>
#include <QStringList>

// The picture records of the canvas and which of them is current, as one
// edit found or left them. Records only name their files, so a snapshot is
// small and puts the canvas back exactly.
struct CanvasSnapshot
{
    QList<JoinPicture> pictures;
    int current = 0;

    bool operator==(const CanvasSnapshot&) const = default;

    QStringList files() const
    {
        QStringList names;
        for (const JoinPicture& picture : pictures)
            names.append(picture.file);
        return names;
    }
};
