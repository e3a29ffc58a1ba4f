#pragma once

#include "JoinCodes.h"
#include "PageLayout.h"
#include "TileLayout.h"

#include <QImage>

class CImgJoinEngine;
class QPainter;
class QPrinter;

// The printed pages, the same on paper, in the preview and in a PDF file.
// The page is white; the picture is the output picture in print-output mode
// and the joined canvas (as it is saved) in joining mode. On one page the
// picture is fitted between margins of a sixteenth of the page (at least
// 80 device units): against the top-left margins in print-output mode,
// centred in joining mode. Tiled, it is printed across several sheets at
// one scale, with overlaps and cut marks (see TileLayout).
class PagePrinter
{
public:
    // The picture the pages show; null when there is none (the engine has
    // reported why when something could not be read).
    static QImage pagePicture(CImgJoinEngine& engine, DisplayMode displayMode);
    static PageLayout::Placement placementFor(DisplayMode displayMode);

    // One page of whatever size the painter's device has.
    static void drawPage(QPainter& painter, CImgJoinEngine& engine, DisplayMode displayMode);
    static void drawFitted(QPainter& painter, const QImage& picture,
                           PageLayout::Placement placement);
    // One sheet of a tiled print: its part of the picture from the top-left
    // of the printable area, then the cut marks.
    static void drawSheet(QPainter& painter, const QImage& picture, const TileLayout& layout,
                          int sheet);

    // The sheets a tiled choice gives on this printer's paper.
    static TileLayout sheetLayout(const QPrinter& printer, const QSize& picture,
                                  const TileLayout::Choice& choice);

    // Prints the page; false when the printer refused to start the job.
    static bool print(QPrinter& printer, CImgJoinEngine& engine, DisplayMode displayMode);
    // Prints a picture on one page, or on the sheets of a tiled choice, one
    // page a sheet. False when the printer refused to start the job or a
    // page, or when a tiled choice gives no valid layout on this paper.
    static bool print(QPrinter& printer, const QImage& picture, PageLayout::Placement placement,
                      const TileLayout::Choice& choice);

private:
    static void drawCutMarks(QPainter& painter, const TileLayout& layout, int sheet);
};
