#pragma once

#include <QFrame>
#include <QImage>

// The live picture area of the camera dialog: a black frame that shows the
// newest camera frame, scaled to fit with its proportions kept.
class CVideoPreview : public QFrame
{
    Q_OBJECT

public:
    explicit CVideoPreview(QWidget* parent = nullptr);

    void showFrame(const QImage& frame);
    QImage frame() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_frame;
};
