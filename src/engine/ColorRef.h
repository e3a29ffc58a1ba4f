#pragma once

#include <QColor>
#include <QtGlobal>

// Colours as the data files and dialogs keep them: 0x00BBGGRR.
using ColorRef = quint32;

constexpr ColorRef makeColorRef(int red, int green, int blue)
{
    return ColorRef(red & 0xFF) | (ColorRef(green & 0xFF) << 8) | (ColorRef(blue & 0xFF) << 16);
}

constexpr int colorRefRed(ColorRef c)
{
    return int(c & 0xFF);
}
constexpr int colorRefGreen(ColorRef c)
{
    return int((c >> 8) & 0xFF);
}
constexpr int colorRefBlue(ColorRef c)
{
    return int((c >> 16) & 0xFF);
}

// 0xAARRGGBB pixel of a 32-bit image, written opaque.
constexpr QRgb colorRefToRgb(ColorRef c)
{
    return 0xFF000000u | (QRgb(colorRefRed(c)) << 16) | (QRgb(colorRefGreen(c)) << 8) |
           QRgb(colorRefBlue(c));
}

constexpr ColorRef rgbToColorRef(QRgb p)
{
    return makeColorRef(int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF));
}

inline QColor colorRefToColor(ColorRef c)
{
    return QColor(colorRefRed(c), colorRefGreen(c), colorRefBlue(c));
}
