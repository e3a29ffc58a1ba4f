#include "QtCameraSource.h"

#include <QCamera>
#include <QMutexLocker>
#include <QVideoFrame>

QtCameraSource::QtCameraSource(const QCameraDevice& device, QObject* parent)
    : FrameSource(parent)
    , m_device(device)
{
    m_session.setVideoSink(&m_sink);
    connect(
        &m_sink, &QVideoSink::videoFrameChanged, this,
        [this](const QVideoFrame& frame) {
            QMutexLocker lock(&m_deliveryMutex);
            if (m_running)
                deliver(frame.toImage());
        },
        Qt::DirectConnection);
}

QtCameraSource::~QtCameraSource()
{
    stop();
    m_session.setVideoSink(nullptr);
    m_session.setCamera(nullptr);
}

bool QtCameraSource::start()
{
    if (m_camera == nullptr) {
        m_camera = new QCamera(m_device, this);
        connect(m_camera, &QCamera::errorOccurred, this,
                [this](QCamera::Error error, const QString& reason) {
                    if (error != QCamera::NoError)
                        emit failed(reason);
                });
        m_session.setCamera(m_camera);
    }
    {
        QMutexLocker lock(&m_deliveryMutex);
        m_running = true;
    }
    m_camera->start();
    if (m_camera->error() != QCamera::NoError) {
        setErrorString(m_camera->errorString());
        stop();
        return false;
    }
    return true;
}

void QtCameraSource::stop()
{
    {
        QMutexLocker lock(&m_deliveryMutex);
        m_running = false;
    }
    if (m_camera != nullptr)
        m_camera->stop();
}
