#pragma once

#include "CaptureAligner.h"
#include "ImageCodec.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

class ProgressMeter;

// Arranging every canvas picture as captures of one drawing, prepared by the
// engine on the user-interface thread and handed back to it when done (see
// CImgJoinEngine::beginAutoJoin). run() may go on any thread: it decodes the
// pictures the cache did not hold, aligns them and writes each placed
// picture's drawing area to its own clip file, touching nothing but the job.
struct AutoJoinJob
{
    QList<int> indices;   // the canvas pictures arranged, in layer order ...
    QStringList files;    // ... and their files
    QList<QImage> images; // decoded already, or null: run() decodes it
    QStringList targets;  // the clip file each placed picture's area goes to
    QList<ImageCodec::Format> formats;
    CaptureAligner::Options options;
    ProgressMeter* progress = nullptr;
    // Shared by the copies of the job, so the window may cancel the one running.
    std::shared_ptr<std::atomic<bool>> cancelled = std::make_shared<std::atomic<bool>>(false);

    // Filled by run().
    CaptureAligner::Result result;
    QList<bool> decoded; // per picture: run() decoded it (images holds it now)
    QList<QImage> clips; // per placed picture: its drawing area, as written
    QList<bool> written; // per picture: its clip file was written
    QString error;       // why nothing was arranged (empty on success or cancel)

    bool valid() const { return !files.isEmpty(); }
    void run();
    void cancel() { cancelled->store(true); }
    bool wasCancelled() const { return cancelled->load(); }
};
