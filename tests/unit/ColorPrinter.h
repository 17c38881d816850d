#pragma once

#include <ostream>

#include "base/Color.h"

namespace vesk {

// Readable colours in GoogleTest failure messages.
inline void PrintTo(const Color& c, std::ostream* os) {
    if (c.space == ColorSpace::CalibratedRGB)
        *os << "rgb(" << c.red << ", " << c.green << ", " << c.blue << ", ";
    else if (c.space == ColorSpace::Named)
        *os << namedColorKey(c.name) << "(";
    else
        *os << (c.space == ColorSpace::GenericWhite ? "genericWhite(" : "calibratedWhite(")
            << c.white << ", ";
    *os << "alpha " << c.alpha << ")";
}

} // namespace vesk
