#pragma once

#include <QString>

// One picture on the joining canvas. The picture itself stays in its file;
// the record only says where and how it lies on the canvas.
struct JoinPicture
{
    static constexpr char New = 'Y';      // size not measured yet
    static constexpr char Measured = 'y'; // width and height hold the size

    char state = New;
    QString file; // full path, never cut
    int x = 0;    // canvas position of the unrotated box
    int y = 0;
    int width = 0; // box size in canvas units
    int height = 0;
    float angle = 0.0f; // degrees, clockwise on screen, about the box centre

    bool measured() const { return state == Measured; }
    bool operator==(const JoinPicture&) const = default;
};
