#include "CameraCatalog.h"

#include "QtCameraSource.h"
#include "TestPatternSource.h"

#include <QMediaDevices>

QList<CameraCatalog::Entry> CameraCatalog::system()
{
    QList<Entry> entries;
    for (const QCameraDevice& device : QMediaDevices::videoInputs())
        entries.append({ device.description(),
                         [device] { return std::make_unique<QtCameraSource>(device); } });
    if (entries.isEmpty())
        entries.append({ testPatternName(), [] { return std::make_unique<TestPatternSource>(); } });
    return entries;
}

QString CameraCatalog::testPatternName()
{
    return tr("测试图案");
}
