#include "TestPatternSource.h"

#include <QPainter>

#include <array>
#include <chrono>

namespace {

constexpr auto FramePeriod = std::chrono::milliseconds(66);
constexpr int BarShiftPerFrame = 4;

} // namespace

TestPatternSource::TestPatternSource(QSize size, Pacing pacing, QObject* parent)
    : FrameSource(parent)
    , m_size(size.expandedTo(QSize(1, 1)))
    , m_pacing(pacing)
{
}

TestPatternSource::~TestPatternSource()
{
    stop();
}

bool TestPatternSource::start()
{
    if (m_pacing == Pacing::Manual || m_thread.joinable())
        return true;
    m_thread = std::jthread([this](std::stop_token stop) {
        while (!stop.stop_requested()) {
            pushFrame();
            std::this_thread::sleep_for(FramePeriod);
        }
    });
    return true;
}

void TestPatternSource::stop()
{
    if (m_thread.joinable()) {
        m_thread.request_stop();
        m_thread.join();
    }
}

void TestPatternSource::pushFrame()
{
    deliver(frameAt(m_frames.fetch_add(1), m_size));
}

QImage TestPatternSource::frameAt(int n, QSize size)
{
    static constexpr std::array<QRgb, 8> Bars = { 0xFFFFFF, 0xFFFF00, 0x00FFFF, 0x00FF00,
                                                  0xFF00FF, 0xFF0000, 0x0000FF, 0x000000 };
    QImage frame(size, QImage::Format_RGB888);
    const int width = size.width();
    const int barWidth = std::max(1, (width + int(Bars.size()) - 1) / int(Bars.size()));
    const int shift = int((qint64(n) * BarShiftPerFrame) % width);
    for (int y = 0; y < size.height(); ++y) {
        uchar* line = frame.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const QRgb colour = Bars[std::size_t(((x + shift) % width) / barWidth) % Bars.size()];
            line[3 * x] = uchar(qRed(colour));
            line[3 * x + 1] = uchar(qGreen(colour));
            line[3 * x + 2] = uchar(qBlue(colour));
        }
    }
    // The counter, in a box at the bottom, so a frozen picture shows.
    if (size.height() >= 24 && width >= 60) {
        QPainter painter(&frame);
        const QRect box(0, size.height() - 22, std::min(width, 120), 22);
        painter.fillRect(box, Qt::black);
        painter.setPen(Qt::white);
        painter.drawText(box, Qt::AlignCenter, QString::number(n));
    }
    return frame;
}
