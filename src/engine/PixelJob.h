#pragma once

#include "ImageCodec.h"
#include "PixelRules.h"

#include <QImage>
#include <QSize>
#include <QString>

class ProgressMeter;

// One filter run or print-output job, prepared by the engine on the
// user-interface thread and handed back to it when done. It holds its own
// copy of everything it reads (the decoded picture is shared, not copied), so
// run() may go on any thread: it touches nothing but the job itself and the
// progress meter.
struct PixelJob
{
    enum class Kind
    {
        None, // nothing to do: no picture, or it could not be read
        Filter,
        Output
    };

    Kind kind = Kind::None;
    FilterCode filter = FilterCode::Invert; // the filter of a filter run
    OutputJob job = OutputJob::Grey;        // the job of a print-output job
    QImage source;                          // the decoded picture

    // Filters: the box the picture is shown in and its turn in degrees.
    QSize box;
    float angle = 0.0f;
    PixelRules::FilterSettings settings;
    int pictureIndex = -1; // the record the filter works on ...
    QString pictureFile;   // ... and the file it showed when the job began

    QString target; // the file the result is written to
    ImageCodec::Format format = ImageCodec::Format::Png;
    // Temporary results are read back at once: a fast PNG is worth more
    // than a small one.
    ImageCodec::Effort effort = ImageCodec::Effort::Fast;
    ProgressMeter* progress = nullptr;

    // Filled by run().
    QImage result;
    bool written = false;
    QString error;

    bool valid() const { return kind != Kind::None; }

    // Computes the result and writes it to target.
    void run();

    // The picture drawn into a transparent box the way the canvas shows it:
    // scaled to the box and turned about the box centre (integer halves).
    static QImage renderBox(const QImage& picture, const QSize& box, float angle);
};
