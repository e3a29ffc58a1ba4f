#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

// Builds the pictures that the canvas drawing blits: a decoded picture scaled
// to its screen box, optionally turned inside the box, optionally with every
// other pixel left out (the screen door of the transparent current picture).
namespace Rendition {

// The picture scaled to size with area-averaging quality, unrotated.
QImage scaled(const QImage& decoded, const QSize& size);

// The part of the box (0, 0, size) given by part, with the picture scaled to
// the box and turned by angle degrees about the box centre (integer halves).
// Alpha is ignored: every pixel of the result is opaque, and the corners that
// the turned picture does not cover are black.
QImage opaque(const QImage& decoded, const QSize& size, float angle, const QRect& part);

// The screen door of a box part whose top-left lies at (partX, partY) inside
// the box: pixel (x, y) shows the box pixel (x - y % 2, y) when x + y is even
// and is transparent otherwise, so odd rows are shifted right by one and reach
// one column past the box. opaquePart holds the box from column
// partX - sourceShift on (sourceShift is 1 when partX > 0, so that the first
// column of an odd row has its source); the result is width pixels wide.
QImage screenDoor(const QImage& opaquePart, int partX, int partY, int sourceShift, int width);

// Makes every pixel opaque, keeping its colour as stored without alpha.
QImage ignoreAlpha(const QImage& image);

} // namespace Rendition
