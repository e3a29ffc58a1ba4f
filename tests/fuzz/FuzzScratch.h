#pragma once

#include <QByteArray>
#include <QMap>
#include <QRgb>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

// What every fuzz target shares: one offscreen QGuiApplication for the whole
// process and a scratch folder that is also the working directory, so that
// nothing a target runs can write anywhere else through a relative name.
// Qt's messages are dropped: they would drown the fuzzer's own output.
class FuzzScratch
{
public:
    // Starts the application and makes the folder on the first call.
    static FuzzScratch& instance();

    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const;

    // A file written back into the folder by every reset.
    void addFixture(const QString& name, const QByteArray& bytes);
    // Empties the folder and writes the fixtures back, so that no input sees
    // what an earlier one left.
    void reset();
    // Writes a file into the folder; aborts when it cannot, as the target
    // would then test nothing.
    void write(const QString& name, const QByteArray& bytes) const;

    // A small encoded picture of one colour with a white first row, in a
    // format Qt writes ("PNG", "BMP", "JPG"), or "GIF" through the engine's
    // own writer.
    static QByteArray picture(int width, int height, QRgb colour, const char* format);

    static QByteArray bytes(const uint8_t* data, size_t size);

private:
    FuzzScratch();

    QTemporaryDir m_dir;
    QMap<QString, QByteArray> m_fixtures;
};
