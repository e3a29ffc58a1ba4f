#include "PageLayout.h"

#include "CanvasMath.h"

QMargins PageLayout::margins(const QSize& page)
{
    const int x = qMax(page.width() / 16, MinMargin);
    const int y = qMax(page.height() / 16, MinMargin);
    return QMargins(x, y, x, y);
}

QRect PageLayout::fitted(const QRect& page, const QSize& picture, Placement placement)
{
    const QMargins margin = margins(page.size());
    const int spaceWidth = page.width() - margin.left() - margin.right();
    const int spaceHeight = page.height() - margin.top() - margin.bottom();
    const int w = picture.width(), h = picture.height();
    if (w <= 0 || h <= 0 || spaceWidth <= 0 || spaceHeight <= 0)
        return {};
    const double scale = qMin(double(spaceWidth) / w, double(spaceHeight) / h);
    QRect box(page.left() + margin.left(), page.top() + margin.top(), truncToInt(w * scale),
              truncToInt(h * scale));
    if (placement == Placement::Centred)
        box.translate((spaceWidth - box.width()) / 2, (spaceHeight - box.height()) / 2);
    return box;
}
