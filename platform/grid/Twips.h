#pragma once
// Twips (1/1440 inch) are how the window definition stores positions and
// sizes; the screen's logical DPI turns them into pixels.

#include <QRect>

#include <cmath>

namespace twips {

// Pixels for a length in twips at `dpi` logical dots per inch, to the
// nearest pixel; 0 twips or a non-positive dpi gives 0.
inline int toPixels(double twips, double dpi)
{
    return dpi > 0 ? static_cast<int>(std::lround(twips * dpi / 1440.0)) : 0;
}

// Twips for a length in pixels at `dpi`; a non-positive dpi gives 0.
inline double fromPixels(double pixels, double dpi)
{
    return dpi > 0 ? pixels * 1440.0 / dpi : 0.0;
}

// A rectangle given in twips as a pixel rectangle, each edge length rounded
// on its own (horizontal lengths at dpiX, vertical at dpiY).
inline QRect toPixels(const QRect &twipsRect, double dpiX, double dpiY)
{
    return QRect(toPixels(twipsRect.x(), dpiX), toPixels(twipsRect.y(), dpiY), toPixels(twipsRect.width(), dpiX),
                 toPixels(twipsRect.height(), dpiY));
}

}  // namespace twips
