#pragma once

#include "BandComposer.h"
#include "ImageCodec.h"

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

class ProgressMeter;

// Writing the joined picture to a file, prepared by the engine on the
// user-interface thread and run on any thread: it holds its own copy of what
// it reads (pictures already decoded are shared, not copied). A PNG file is
// composed and compressed band by band, so the joined picture is never held
// whole; other formats are composed whole and then encoded.
struct JoinSaveJob
{
    QSize canvas;                      // empty: nothing to do
    QList<BandComposer::Layer> layers; // in drawing order, boxes relative to the canvas
    QString target;
    ImageCodec::Format format = ImageCodec::Format::Png;
    ProgressMeter* progress = nullptr;

    // Filled by run().
    bool written = false;
    QString error;
    int filesDecoded = 0; // pictures that were not at hand and were read from their files

    bool valid() const { return !canvas.isEmpty(); }
    void run();

    // Composes the whole canvas at once (the same pixels the file gets): the
    // picture is Format_RGB32 when the headers show it opaque, otherwise
    // Format_ARGB32_Premultiplied. *error gets why when the result is null.
    static QImage composeWhole(QSize canvas, const QList<BandComposer::Layer>& layers,
                               QString* error, int* filesDecoded = nullptr,
                               ProgressMeter* progress = nullptr);

    // Rows of a band of the given width: about 4 MB of pixels, at least one row.
    static int bandRows(int width);
};
