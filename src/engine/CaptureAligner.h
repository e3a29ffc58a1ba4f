#pragma once

#include <QCoreApplication>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <atomic>
#include <functional>

// Finds where overlapping screen captures of one drawing belong.
//
// The captures show the same program around a drawing area that sits at the
// same place in each of them; the drawing is panned between captures, never
// zoomed. The aligner finds that area (what changes from capture to capture),
// then each capture's place by exact pixel matching: small patches that occur
// once only in their capture are hashed, equal patches in two captures vote
// for the offset between them, and each offset found is checked pixel by
// pixel over the whole overlap. Repeating content (axis grids, long walls,
// empty background) occurs more than once in a capture and never votes, so a
// match cannot lock onto the pitch of a grid. Each capture is placed through
// the most trustworthy chain of checked offsets; one that no checked offset
// ties to the others is reported, never guessed.
class CaptureAligner
{
    Q_DECLARE_TR_FUNCTIONS(CaptureAligner)

public:
    // Side of the square patches that are hashed.
    static constexpr int PatchSize = 16;

    struct Options
    {
        // The drawing area in capture coordinates; empty: found.
        QRect area;
        // Raised (0 to 99) as the work advances; called on worker threads.
        std::function<void(int)> progress;
        // Stops the work early when it becomes true; the result then says cancelled.
        const std::atomic<bool>* cancel = nullptr;
    };

    struct Result
    {
        QRect area; // the drawing area cut from every capture
        // One entry per capture, in the order given.
        QList<bool> placed;
        QList<QPoint> offsets;     // where the area's top-left lies on the canvas
        QList<double> confidence;  // 0 (not placed) to 1
        QList<QString> whyLeftOut; // empty for placed captures
        QSize canvasSize;          // the box the placed areas cover, from (0, 0)
        bool cancelled = false;
        QString error; // when nothing could be done at all (no captures, no area)

        int placedCount() const;
    };

    // The overlap test of one offset between two pictures.
    struct Check
    {
        qint64 matched = 0;      // equal pixels that are not background
        qint64 mismatched = 0;   // pixels that differ
        qint64 overlap = 0;      // pixels compared
        int mismatchedTiles = 0; // 32-pixel squares of the overlap with a difference
        // Exact but for at most two small spots (a cursor drawn on each
        // picture), over at least a twenty-fifth of the smaller picture.
        bool accepted = false;
        double confidence = 0.0;
    };

    // The drawing area: the box of what changes between the captures, less
    // changing bits of the program around it (a status bar's coordinates).
    // Captures of another size than the first are not looked at. Empty when
    // fewer than two captures differ.
    static QRect findDrawingArea(const QList<QImage>& captures);

    // Aligns the captures; each is a whole capture of the same size, cut to
    // the area here.
    static Result align(const QList<QImage>& captures, const Options& options);

    // Where picture lies on ground: the offset of picture's top-left from
    // ground's top-left, at which it matches what ground covers exactly.
    // Transparent ground pixels are not compared. False when no offset
    // matches with confidence.
    static bool locate(const QImage& picture, const QImage& ground, QPoint& offset,
                       double& confidence);

    // Compares picture b placed at offset on picture a, over their overlap;
    // pixels where either is transparent are not compared. Background is
    // the colour that counts as empty drawing.
    static Check verify(const QImage& a, const QImage& b, const QPoint& offset, QRgb background);

    // The placed captures' areas drawn in the order given (later ones over
    // earlier) on one picture of the canvas size: Format_RGB32 when they
    // cover it whole, otherwise Format_ARGB32_Premultiplied with the rest
    // transparent. Null when the picture does not fit in memory.
    static QImage compose(const QList<QImage>& captures, const Result& result);
};
