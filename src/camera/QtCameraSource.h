#pragma once

#include "FrameSource.h"

#include <QCameraDevice>
#include <QMediaCaptureSession>
#include <QMutex>
#include <QVideoSink>

class QCamera;

// A camera of the system, through Qt Multimedia: the capture session feeds
// a video sink whose frames go to the frame handler on the media back end's
// thread.
class QtCameraSource : public FrameSource
{
    Q_OBJECT

public:
    explicit QtCameraSource(const QCameraDevice& device, QObject* parent = nullptr);
    ~QtCameraSource() override;

    bool start() override;
    void stop() override;

private:
    QCameraDevice m_device;
    QCamera* m_camera = nullptr; // child
    QMediaCaptureSession m_session;
    QVideoSink m_sink;
    // Held while a frame is handed on, so that no frame reaches the handler
    // once stop has returned.
    QMutex m_deliveryMutex;
    bool m_running = false;
};
