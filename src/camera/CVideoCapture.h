#pragma once

#include "CameraCatalog.h"
#include "FrameSource.h"

#include <QMutex>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class CVideoPreview;
class QComboBox;

// One camera of the catalog, opened into a preview, and the grabbing of its
// frames into a file. A grab is asked for on the user-interface thread and
// done on the frame thread: the next frame after the request is written to
// the grab file as a 24-bit bottom-up bitmap, after which the request reads
// as done. The request is atomic, so a frame thread never writes a half-set
// request and the dialog never reads a file that is still being written.
class CVideoCapture : public QObject
{
    Q_OBJECT

public:
    // OpenDevice results.
    static constexpr int Opened = 0;
    static constexpr int NoSuchDevice = 1;
    static constexpr int StartFailed = 2;

    explicit CVideoCapture(QList<CameraCatalog::Entry> devices, QObject* parent = nullptr);
    ~CVideoCapture() override;

    // Fills the combo box with the camera names in catalog order; the number
    // added, or -1 when there is no camera (or no combo box).
    int EnumDevices(QComboBox* combo) const;
    // Opens the camera at this catalog position and shows its frames in the
    // preview. Opened, or the failure; openError says why.
    int OpenDevice(int index, CVideoPreview* preview);
    QString openError() const { return m_openError; }
    FrameSource* source() const { return m_source.get(); }

    void SetGrabFile(const QString& path);
    // 1 asks for the next frame, 0 withdraws a request not yet taken.
    void SetGrabRequest(int flag);
    // 1 while a request waits for its frame or the frame is being written.
    int IsGrabPending() const;
    // Why the last grabbed frame could not be written; empty when it was.
    QString lastGrabError() const;

    // The frame handler: called by the source on its frame thread.
    void takeFrame(const QImage& frame);

signals:
    void frameArrived(const QImage& frame);

private:
    enum GrabState
    {
        Idle = 0,
        Requested = 1,
        Writing = 2
    };

    QList<CameraCatalog::Entry> m_devices;
    std::unique_ptr<FrameSource> m_source;
    QString m_openError;
    std::atomic<int> m_grabState{ Idle };
    std::atomic<bool> m_previewQueued{ false };
    mutable QMutex m_grabMutex; // guards the two texts below
    QString m_grabFile;
    QString m_grabError;
};
