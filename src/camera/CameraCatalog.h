#pragma once

#include "FrameSource.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

// The cameras the camera dialog offers, in the order the system lists them,
// each with the way to open it. A machine without a camera gets the test
// pattern in their place.
class CameraCatalog
{
    Q_DECLARE_TR_FUNCTIONS(CameraCatalog)

public:
    struct Entry
    {
        QString name;
        std::function<std::unique_ptr<FrameSource>()> open;
    };

    static QList<Entry> system();
    // The test pattern's name in the list.
    static QString testPatternName();
};
