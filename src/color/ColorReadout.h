#pragma once

#include "ColorValue.h"

#include <array>

namespace tintaro {

// The eight texts of the colour readout, always made together from one
// colour so that the boxes can never disagree with each other.
struct ColorReadout
{
    QString txtrgb;  // "#80FFCC"
    QString txtrgb1; // "128,255,204"
    QString txtr;    // "128"
    QString txtrh;   // "80"
    QString txtg;
    QString txtgh;
    QString txtb;
    QString txtbh;

    static ColorReadout of(ColorValue c);

    // The texts in the order the boxes are filled.
    std::array<QString, 8> inFillOrder() const;

    // The objectNames of the eight boxes, in the same order.
    static const std::array<const char*, 8>& boxNames();
};

} // namespace tintaro
