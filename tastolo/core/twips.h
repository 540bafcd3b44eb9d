#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Window geometry is designed in twips: 1440 to the inch, 15 to a logical
// pixel at 96 dots per inch. Twips become pixels by whole division.
namespace Twips {

inline constexpr int PerPixel = 15;

constexpr int px(int twips)
{
    return twips / PerPixel;
}
constexpr int fromPx(int pixels)
{
    return pixels * PerPixel;
}

inline QPoint point(int left, int top)
{
    return { px(left), px(top) };
}
inline QSize size(int width, int height)
{
    return { px(width), px(height) };
}
inline QRect rect(int left, int top, int width, int height)
{
    return { point(left, top), size(width, height) };
}

} // namespace Twips
