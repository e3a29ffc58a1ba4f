#include "CVideoCapture.h"

#include "CVideoPreview.h"
#include "ScreenBitmap.h"

#include <QComboBox>
#include <QMutexLocker>

CVideoCapture::CVideoCapture(QList<CameraCatalog::Entry> devices, QObject* parent)
    : QObject(parent)
    , m_devices(std::move(devices))
{
}

CVideoCapture::~CVideoCapture()
{
    // No frame may reach this object once it is going.
    if (m_source)
        m_source->stop();
}

int CVideoCapture::EnumDevices(QComboBox* combo) const
{
    if (combo == nullptr || m_devices.isEmpty())
        return -1;
    for (const CameraCatalog::Entry& device : m_devices)
        combo->addItem(device.name);
    return int(m_devices.size());
}

int CVideoCapture::OpenDevice(int index, CVideoPreview* preview)
{
    m_openError.clear();
    if (index < 0 || index >= m_devices.size()) {
        m_openError = tr("没有这个摄像头");
        return NoSuchDevice;
    }
    if (m_source)
        m_source->stop();
    m_source = m_devices.at(index).open();
    if (!m_source) {
        m_openError = tr("没有这个摄像头");
        return NoSuchDevice;
    }
    if (preview != nullptr)
        connect(this, &CVideoCapture::frameArrived, preview, &CVideoPreview::showFrame,
                Qt::UniqueConnection);
    m_source->setFrameHandler([this](const QImage& frame) { takeFrame(frame); });
    if (!m_source->start()) {
        m_openError = m_source->errorString();
        if (m_openError.isEmpty())
            m_openError = tr("摄像头无法开启");
        m_source.reset();
        return StartFailed;
    }
    return Opened;
}

void CVideoCapture::SetGrabFile(const QString& path)
{
    QMutexLocker lock(&m_grabMutex);
    m_grabFile = path;
}

void CVideoCapture::SetGrabRequest(int flag)
{
    // A request made while a frame is being written stays for the next one:
    // the writer only clears the request it took itself.
    m_grabState.store(flag != 0 ? Requested : Idle);
}

int CVideoCapture::IsGrabPending() const
{
    return m_grabState.load() != Idle ? 1 : 0;
}

QString CVideoCapture::lastGrabError() const
{
    QMutexLocker lock(&m_grabMutex);
    return m_grabError;
}

void CVideoCapture::takeFrame(const QImage& frame)
{
    int requested = Requested;
    if (m_grabState.compare_exchange_strong(requested, Writing)) {
        QString path;
        {
            QMutexLocker lock(&m_grabMutex);
            path = m_grabFile;
        }
        const IoStatus written = ScreenBitmap::write(frame, path);
        {
            QMutexLocker lock(&m_grabMutex);
            m_grabError = written.error;
        }
        int writing = Writing;
        m_grabState.compare_exchange_strong(writing, Idle);
    }
    // One frame at a time waits for the preview; frames arriving meanwhile
    // are not shown.
    if (!m_previewQueued.exchange(true)) {
        QMetaObject::invokeMethod(
            this,
            [this, frame] {
                m_previewQueued.store(false);
                emit frameArrived(frame);
            },
            Qt::QueuedConnection);
    }
}
