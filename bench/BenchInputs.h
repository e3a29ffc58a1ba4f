#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

// Deterministic CAD-like inputs for the benchmarks: black background, thin
// coloured drawing lines, axis circles and text, like a screen capture of a
// construction drawing.
namespace BenchInputs {

QImage capture(int index, int width = 1920, int height = 1080);

// Writes count captures as PNG files into dir (once; later calls reuse them)
// and returns their paths.
QStringList captureFiles(const QString& dir, int count, int width = 1920, int height = 1080);

// A folder for the inputs that lives as long as the process.
QString workDir();

} // namespace BenchInputs
