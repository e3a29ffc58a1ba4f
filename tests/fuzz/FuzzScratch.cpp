#include "FuzzScratch.h"

#include "GifWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>

namespace {

void dropMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(message));
        std::abort();
    }
}

QGuiApplication& application()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = { name, nullptr };
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(dropMessage);
    static QGuiApplication app(argc, argv);
    return app;
}

} // namespace

FuzzScratch::FuzzScratch()
    : m_dir(QDir::temp().filePath(QStringLiteral("fuzz-scratch-XXXXXX")))
{
    if (!m_dir.isValid() || !QDir::setCurrent(m_dir.path())) {
        std::fprintf(stderr, "fuzz: no scratch folder\n");
        std::abort();
    }
}

FuzzScratch& FuzzScratch::instance()
{
    application();
    static FuzzScratch scratch;
    return scratch;
}

QString FuzzScratch::filePath(const QString& name) const
{
    return QDir(m_dir.path()).filePath(name);
}

void FuzzScratch::addFixture(const QString& name, const QByteArray& bytes)
{
    m_fixtures.insert(name, bytes);
    write(name, bytes);
}

void FuzzScratch::reset()
{
    QDir folder(m_dir.path());
    const QFileInfoList entries =
        folder.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            folder.remove(entry.fileName());
    }
    for (auto it = m_fixtures.cbegin(); it != m_fixtures.cend(); ++it)
        write(it.key(), it.value());
}

void FuzzScratch::write(const QString& name, const QByteArray& bytes) const
{
    QFile file(filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", qUtf8Printable(file.fileName()));
        std::abort();
    }
}

QByteArray FuzzScratch::picture(int width, int height, QRgb colour, const char* format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    for (int x = 0; x < width; ++x)
        image.setPixel(x, 0, qRgb(255, 255, 255));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (qstrcmp(format, "GIF") == 0)
        GifWriter::write(image, &buffer);
    else
        image.save(&buffer, format);
    return buffer.data();
}

QByteArray FuzzScratch::bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}
