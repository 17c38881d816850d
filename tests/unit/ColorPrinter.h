#pragma once

#include <ostream>

#include "platform/Color.h"

namespace vesk {

// Readable colours in GoogleTest failure messages.
inline void PrintTo(const Color& c, std::ostream* os) {
    switch (c.space) {
    case ColorSpace::CalibratedRGB:
        *os << "rgb(" << c.red << ", " << c.green << ", " << c.blue << ", " << c.alpha << ")";
        return;
    case ColorSpace::CalibratedWhite:
        *os << "calibratedWhite(" << c.white << ", " << c.alpha << ")";
        return;
    case ColorSpace::GenericWhite:
        *os << "genericWhite(" << c.white << ", " << c.alpha << ")";
        return;
    case ColorSpace::Named:
        *os << namedColorKey(c.name) << "(alpha " << c.alpha << ")";
        return;
    }
}

} // namespace vesk
