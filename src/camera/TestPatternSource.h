#pragma once

#include "FrameSource.h"

#include <QSize>

#include <atomic>
#include <thread>

// A camera that shows moving colour bars with a frame counter: it stands in
// for a camera on machines without one, and in the tests. Started, it makes
// frames on a thread of its own, about fifteen a second; a source made with
// Pacing::Manual makes a frame only when pushFrame is called.
class TestPatternSource : public FrameSource
{
    Q_OBJECT

public:
    enum class Pacing
    {
        Timed,
        Manual
    };

    explicit TestPatternSource(QSize size = QSize(640, 480), Pacing pacing = Pacing::Timed,
                               QObject* parent = nullptr);
    ~TestPatternSource() override;

    bool start() override;
    void stop() override;

    // Makes the next frame and hands it to the frame handler.
    void pushFrame();
    // The picture of frame number n.
    static QImage frameAt(int n, QSize size);
    int framesMade() const { return m_frames.load(); }

private:
    QSize m_size;
    Pacing m_pacing;
    std::atomic<int> m_frames{ 0 };
    std::jthread m_thread;
};
