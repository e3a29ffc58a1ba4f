#include "PagePrinter.h"

#include "CImgJoinEngine.h"

#include <QPainter>
#include <QPrinter>

void PagePrinter::drawPage(QPainter& painter, CImgJoinEngine& engine, DisplayMode displayMode)
{
    if (displayMode == DisplayMode::Output)
        engine.PrintOutputPicture(painter);
    engine.DrawPictures(painter, displayMode);
}

bool PagePrinter::print(QPrinter& printer, CImgJoinEngine& engine, DisplayMode displayMode)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    drawPage(painter, engine, displayMode);
    return painter.end();
}
