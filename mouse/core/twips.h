#pragma once

// Window sizes and positions are designed in twips: 1440 to the inch, which is
// 15 twips to a logical pixel at 96 dots per inch.
constexpr int twipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return twips / twipsPerPixel;
}

constexpr int pixelsToTwips(int pixels)
{
    return pixels * twipsPerPixel;
}
