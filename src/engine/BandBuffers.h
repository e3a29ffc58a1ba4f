#pragma once

#include <QImage>
#include <QList>

// A few band pictures that go round: a band the encoder has let go of (no
// other reference to it is left) is handed out again, so that a stream of
// bands does not fault in fresh memory for every one.
class BandBuffers
{
public:
    // A picture of that size and format nobody else holds; null when there
    // is no memory for a new one.
    QImage& next(int width, int height, QImage::Format format);

private:
    QList<QImage> m_buffers;
    QImage m_none;
};
