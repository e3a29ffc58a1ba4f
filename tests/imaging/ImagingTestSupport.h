#pragma once

#include "CImgJoinEngine.h"
#include "UserPrompts.h"

#include <QColor>
#include <QCryptographicHash>
#include <QFile>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// An engine over a fresh data folder, with the questions and messages of the
// dialogs answered and recorded instead of shown.
struct ImagingTestBench
{
    ImagingTestBench()
    {
        engine.SetDataDir(dir.path());
        QObject::connect(&engine, &CImgJoinEngine::errorOccurred,
                         [this](const QString& message) { errors << message; });
        prompts.setAsk([this](QWidget*, const QString& title, const QString& text) {
            questions << title + '|' + text;
            return answer;
        });
        prompts.setTell([this](QWidget*, const QString& title, const QString& text) {
            messages << title + '|' + text;
        });
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    QString savePicture(const QImage& image, const QString& name) const
    {
        QString file = path(name);
        image.save(file);
        return file;
    }

    static QImage solid(int width, int height, QColor colour)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }

    static QByteArray hashOf(const QString& file)
    {
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly))
            return {};
        return QCryptographicHash::hash(in.readAll(), QCryptographicHash::Sha1);
    }

    QTemporaryDir dir;
    CImgJoinEngine engine;
    UserPrompts prompts;
    bool answer = true;
    QStringList questions;
    QStringList messages;
    QStringList errors;
};
