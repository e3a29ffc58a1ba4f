#pragma once

#include "JoinCodes.h"

class CImgJoinEngine;
class QPainter;
class QPrinter;

// The one printed page, the same on paper and in the preview: in
// print-output mode the output picture fitted between margins of a sixteenth
// of the page (at least 80 device units) on a light grey page, then whatever
// the canvas pictures draw, at the screen's zoom and offset.
class PagePrinter
{
public:
    static void drawPage(QPainter& painter, CImgJoinEngine& engine, DisplayMode displayMode);

    // Prints the page; false when the printer refused to start the job.
    static bool print(QPrinter& printer, CImgJoinEngine& engine, DisplayMode displayMode);
};
