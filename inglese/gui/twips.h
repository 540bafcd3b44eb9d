#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Window designs are measured in twips: 15 twips to a logical pixel.
namespace Twips {
inline constexpr int PerPixel = 15;
constexpr int px(int twips)
{
    return twips / PerPixel;
}
inline QRect rect(int left, int top, int width, int height)
{
    return { px(left), px(top), px(width), px(height) };
}
inline QSize size(int width, int height)
{
    return { px(width), px(height) };
}
} // namespace Twips
