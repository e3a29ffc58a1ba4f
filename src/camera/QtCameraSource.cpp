#include "QtCameraSource.h"

#include <QCamera>
#include <QVideoFrame>

QtCameraSource::QtCameraSource(const QCameraDevice& device, QObject* parent)
    : FrameSource(parent)
    , m_device(device)
{
    m_session.setVideoSink(&m_sink);
    connect(
        &m_sink, &QVideoSink::videoFrameChanged, this,
        [this](const QVideoFrame& frame) { deliver(frame.toImage()); }, Qt::DirectConnection);
}

QtCameraSource::~QtCameraSource()
{
    stop();
    m_session.setCamera(nullptr);
}

bool QtCameraSource::start()
{
    if (m_camera == nullptr) {
        m_camera = new QCamera(m_device, this);
        m_session.setCamera(m_camera);
    }
    m_camera->start();
    if (m_camera->error() != QCamera::NoError) {
        setErrorString(m_camera->errorString());
        return false;
    }
    return true;
}

void QtCameraSource::stop()
{
    if (m_camera != nullptr)
        m_camera->stop();
}
