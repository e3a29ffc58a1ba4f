#pragma once

// Float to integer as the canvas mapping does it: cut toward zero.
constexpr int truncToInt(double value)
{
    return static_cast<int>(value);
}
