#include "FrameSource.h"

FrameSource::FrameSource(QObject* parent)
    : QObject(parent)
{
}

FrameSource::~FrameSource() = default;

void FrameSource::deliver(const QImage& frame) const
{
    if (m_handler && !frame.isNull())
        m_handler(frame);
}
