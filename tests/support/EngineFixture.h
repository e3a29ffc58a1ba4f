#pragma once

#include "CImgJoinEngine.h"
#include "TestPictures.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// An engine whose data directory is a fresh temporary folder, with the
// errors it reported collected.
class EngineFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_engine.SetDataDir(m_dir.path());
        QObject::connect(&m_engine, &CImgJoinEngine::errorOccurred,
                         [this](const QString& message) { m_errors << message; });
    }

    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

    // Saves a picture into the data directory and adds it to the canvas.
    QString addPicture(const QImage& image, const QString& name)
    {
        QString file = TestPictures::save(image, path(name));
        m_engine.AddPicture(file);
        return file;
    }

    // Paints the canvas into a buffer of the given size filled with the
    // window background, as the view does.
    QImage paint(int width = 400, int height = 300)
    {
        QImage buffer(width, height, QImage::Format_RGB32);
        buffer.fill(colorRefToColor(CImgJoinEngine::WindowBackColor));
        QPainter painter(&buffer);
        m_engine.DrawPictures(painter, DisplayMode::Joining);
        return buffer;
    }

    QTemporaryDir m_dir;
    CImgJoinEngine m_engine;
    QStringList m_errors;
};
