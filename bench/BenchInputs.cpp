#include "BenchInputs.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QTemporaryDir>

namespace BenchInputs {

namespace {

// A small linear congruential generator, so the drawing is the same every run.
class Sequence
{
public:
    explicit Sequence(quint32 seed)
        : m_state(seed * 2654435761u + 1u)
    {
    }
    int next(int bound)
    {
        m_state = m_state * 1664525u + 1013904223u;
        return int((m_state >> 8) % quint32(bound));
    }

private:
    quint32 m_state;
};

const QColor lineColours[] = { QColor(255, 0, 0),    QColor(0, 255, 0),     QColor(255, 255, 0),
                               QColor(0, 255, 255),  QColor(255, 255, 255), QColor(255, 0, 255),
                               QColor(128, 128, 128) };

} // namespace

QImage capture(int index, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    Sequence random(quint32(index) + 7u);

    // axis grid
    painter.setPen(QPen(QColor(128, 128, 128), 1, Qt::DashDotLine));
    for (int x = 40 + random.next(60); x < width; x += 180 + random.next(60))
        painter.drawLine(x, 0, x, height);
    for (int y = 30 + random.next(60); y < height; y += 150 + random.next(50))
        painter.drawLine(0, y, width, y);

    // walls, beams and diagonals
    for (int i = 0; i < 400; ++i) {
        painter.setPen(QPen(lineColours[random.next(7)], 1 + random.next(2)));
        const int x = random.next(width), y = random.next(height);
        if (i % 3 == 0)
            painter.drawLine(x, y, x + random.next(300), y);
        else if (i % 3 == 1)
            painter.drawLine(x, y, x, y + random.next(300));
        else
            painter.drawLine(x, y, x + random.next(120) - 60, y + random.next(120) - 60);
    }
    for (int i = 0; i < 40; ++i) {
        painter.setPen(QPen(lineColours[random.next(7)], 1));
        painter.drawEllipse(QPoint(random.next(width), random.next(height)), 12, 12);
    }

    // labels
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(13);
    font.setStyleStrategy(QFont::NoAntialias);
    painter.setFont(font);
    for (int i = 0; i < 150; ++i) {
        painter.setPen(lineColours[random.next(7)]);
        painter.drawText(random.next(width), random.next(height),
                         QStringLiteral("KZ%1 300x600 C30 梁%2").arg(random.next(99)).arg(i));
    }
    return image;
}

QImage drawing(int width, int height)
{
    constexpr int TileWidth = 1920, TileHeight = 1080;
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    int index = 0;
    for (int y = 0; y < height; y += TileHeight)
        for (int x = 0; x < width; x += TileWidth)
            painter.drawImage(x, y, capture(index++, TileWidth, TileHeight));
    return image;
}

QStringList captureFiles(const QString& dir, int count, int width, int height)
{
    QStringList files;
    for (int i = 0; i < count; ++i) {
        const QString file = QDir(dir).filePath(
            QStringLiteral("capture_%1x%2_%3.png").arg(width).arg(height).arg(i));
        if (!QFileInfo::exists(file))
            capture(i, width, height).save(file, "PNG");
        files << file;
    }
    return files;
}

QString workDir()
{
    static QTemporaryDir dir;
    return dir.path();
}

} // namespace BenchInputs
