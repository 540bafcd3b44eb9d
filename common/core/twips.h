#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Window sizes and positions are designed in twips: 1440 to the inch, which is
// 15 twips to a logical pixel at 96 dots per inch. Conversions to pixels drop
// the part of a pixel that is left over.
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
