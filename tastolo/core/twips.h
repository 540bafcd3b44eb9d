#pragma once

// Window geometry is designed in twips: 1440 to the inch, 15 to a logical
// pixel at 96 dots per inch.
constexpr int TwipsPerPixel = 15;

// Twips to logical pixels, rounded to the nearest pixel.
constexpr int px(int twips)
{
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}
