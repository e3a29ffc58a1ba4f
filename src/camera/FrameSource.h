#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <functional>

// Where camera frames come from: a real camera or a made-up picture. A
// source hands every frame to its frame handler, on whatever thread it makes
// the frame on, so the handler must be safe to call from any thread. The
// handler is set before start and left alone while the source runs.
class FrameSource : public QObject
{
    Q_OBJECT

public:
    using FrameHandler = std::function<void(const QImage& frame)>;

    explicit FrameSource(QObject* parent = nullptr);
    ~FrameSource() override;

    void setFrameHandler(FrameHandler handler) { m_handler = std::move(handler); }

    // Starts delivering frames; false, with errorString saying why, when the
    // source cannot run.
    virtual bool start() = 0;
    // Stops delivering frames; no handler call is running once it returns.
    virtual void stop() = 0;
    QString errorString() const { return m_error; }

signals:
    // The running source broke down and delivers no more frames.
    void failed(const QString& reason);

protected:
    void deliver(const QImage& frame) const;
    void setErrorString(const QString& error) { m_error = error; }

private:
    FrameHandler m_handler;
    QString m_error;
};
