#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// Deterministic CAD-like inputs for the benchmarks: black background, thin
// coloured drawing lines, axis circles and text, like a screen capture of a
// construction drawing.
namespace BenchInputs {

QImage capture(int index, int width = 1920, int height = 1080);

// A large drawing (40 megapixels by default) made of differently drawn
// capture-sized tiles, so that it is as dense as a capture everywhere. It
// holds few colours, like the drawings users print.
QImage drawing(int width = 8000, int height = 5000);

// Writes count captures as PNG files into dir (once; later calls reuse them)
// and returns their paths.
QStringList captureFiles(const QString& dir, int count, int width = 1920, int height = 1080);

// A folder for the inputs that lives as long as the process.
QString workDir();

} // namespace BenchInputs
