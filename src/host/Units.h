#pragma once

namespace host {

// Layout and drawing use 1/1440 inch ("twips") at a fixed 15 per logical
// pixel, so a face comes out the same whatever the screen's DPI.
inline constexpr double kTwipsPerPx = 15.0;
inline constexpr double kDrawingDpi = 96.0;

inline constexpr double twipsToPx(double twips)
{
    return twips / kTwipsPerPx;
}
inline constexpr double pxToTwips(double px)
{
    return px * kTwipsPerPx;
}
// Widget fonts are sized in pixels so the layout does not follow the screen's DPI.
inline int pointsToPx(double pt)
{
    return static_cast<int>(pt * kDrawingDpi / 72.0 + 0.5);
}

} // namespace host
