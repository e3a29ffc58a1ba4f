#pragma once

#include <cstddef>
#include <optional>

// The codes that callers hand the engine and that the view keeps as its own
// state. Each family is its own type, so a code of one family cannot be
// passed where another is expected, and a plain number cannot be passed at
// all. The numeric values are the ones the program has always used; they
// appear in the data files and in the hand-over with the other application
// only where noted.

// How the view shows the canvas, handed to the engine at every paint.
enum class DisplayMode
{
    Undecided = 0, // not decided yet: the first paint decides
    Joining = 1,   // the joining canvas
    Output = 9     // the single print-output picture
};

// Zoom steps of the canvas or of the output picture.
enum class ZoomCode
{
    In = 10,
    Out = 11,
    OneToOne = 66,
    Fit = 99
};

// What a zoom step applies to.
enum class ZoomTarget
{
    OutputPicture = 0,
    Canvas = 1 // the whole drawing
};

// Changes of the current picture: nudges by one canvas unit, turns, and the
// step to the next picture.
enum class ModifyCode
{
    NudgeUp = 101,
    NudgeDown = 102,
    NudgeLeft = 201,
    NudgeRight = 202,
    TurnRightStep = 301, // +0.1 degree
    TurnLeftStep = 302,  // -0.1 degree
    TurnNone = 366,      // 0 degrees
    TurnRight90 = 370,   // +90 degrees
    TurnRight180 = 371,  // +180 degrees
    TurnLeft90 = 380,    // -90 degrees
    TurnLeft180 = 381,   // -180 degrees
    NextPicture = 9966
};

// Layer changes of the current picture.
enum class LayerCode
{
    Delete = 100,
    Up = 201,  // one layer towards the top
    Down = 206 // one layer towards the bottom
};

// The grab handles on the current picture's edges.
enum class GrabHandle
{
    None = 0,
    Left = 101,
    Right = 102,
    Top = 201,
    Bottom = 202
};

// Trim line modes: the joining direction the line cuts for.
enum class TrimMode
{
    None = 0,
    FromBelow = 201, // keeps rows on and below the line
    FromAbove = 202, // keeps rows on and above the line
    FromRight = 203, // keeps columns on and right of the line
    FromLeft = 204   // keeps columns on and left of the line
};

// What the left mouse button does in the view.
enum class MouseMode
{
    Idle = 0,
    TrimWindowArmed = 101, // the next press starts a trim window
    TrimWindowBand = 102,  // a trim window is being drawn
    TrimLineUp = 201,      // the next click places a trim line of this direction
    TrimLineDown = 202,
    TrimLineLeft = 203,
    TrimLineRight = 204,
    SampleArmed = 601, // the next press starts a colour-sample band
    SampleBand = 602   // a colour-sample band is being drawn
};

// Where a drag in the view stands.
enum class DragState
{
    None = 0,
    BandShown = 9,           // a rubber band is on the screen
    HandleArmed = 110816,    // a grab handle is held, nothing drawn yet
    HandleBandShown = 110817 // a grab handle's band is on the screen
};

// The two ruler line tables.
enum class RulerTableId
{
    Horizontal = 101,
    Vertical = 201
};

// Steps of the ruler scale.
enum class RulerScaleCode
{
    Reset = 0,
    Shrink = 11,
    Grow = 99
};

// Pixel filters of the current picture.
enum class FilterCode
{
    RemoveBlue = 100,
    Invert = 101,
    Fade = 102,
    Brighten = 103,
    Grey = 201,
    Posterise = 202,
    ReplaceBackground = 301
};

// Steps of the picture-edit window across a picture larger than the edit
// area: each moves the window by a third of the area.
enum class EditScroll
{
    Left = 101,
    Right = 102,
    Up = 103,
    Down = 104
};

// Print-output jobs of the output picture.
enum class OutputJob
{
    WhiteBackColour = 99, // colour printer, white background
    CadGrey1 = 100,       // CAD drawing, black and white, variant 1
    Grey = 101,           // ordinary black and white
    CadGrey2 = 109        // CAD drawing, black and white, variant 2
};

// The trim line a trim-line mouse mode places; None for any other mode.
constexpr TrimMode trimModeFor(MouseMode mode)
{
    switch (mode) {
        case MouseMode::TrimLineUp: return TrimMode::FromBelow;
        case MouseMode::TrimLineDown: return TrimMode::FromAbove;
        case MouseMode::TrimLineLeft: return TrimMode::FromRight;
        case MouseMode::TrimLineRight: return TrimMode::FromLeft;
        default: return TrimMode::None;
    }
}

// The number a code stands for, for messages, files and hashing.
template<typename Code>
constexpr int codeValue(Code code)
{
    return static_cast<int>(code);
}

// Every filter and every print-output job, for callers that take a code as a
// number (the batch tool's command line).
inline constexpr FilterCode AllFilterCodes[] = {
    FilterCode::RemoveBlue,        FilterCode::Invert, FilterCode::Fade,
    FilterCode::Brighten,          FilterCode::Grey,   FilterCode::Posterise,
    FilterCode::ReplaceBackground,
};
inline constexpr OutputJob AllOutputJobs[] = { OutputJob::WhiteBackColour, OutputJob::CadGrey1,
                                               OutputJob::Grey, OutputJob::CadGrey2 };

// The code of a family that stands for a number, if any.
template<typename Code, std::size_t N>
constexpr std::optional<Code> codeFromValue(const Code (&family)[N], int value)
{
    for (Code code : family) {
        if (codeValue(code) == value)
            return code;
    }
    return std::nullopt;
}
