#include "BandBuffers.h"

QImage& BandBuffers::next(int width, int height, QImage::Format format)
{
    for (QImage& buffer : m_buffers) {
        if (buffer.isDetached() && buffer.width() == width && buffer.height() == height &&
            buffer.format() == format)
            return buffer;
    }
    QImage fresh(width, height, format);
    if (fresh.isNull())
        return m_none;
    m_buffers.append(std::move(fresh));
    return m_buffers.last();
}
