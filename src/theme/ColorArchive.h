#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/Color.h"

namespace vesk {

// The colour as stored data: a binary property list that records its kind and
// its components or its name, and its alpha. Nothing for no colour, and
// nothing for a colour that could not come back (a component that is not a
// number from 0 to 1).
std::optional<std::vector<std::uint8_t>> VeskArchiveColor(const std::optional<Color>& color);

// The colour stored in `data`, or `fallback` for no data and for anything that
// is not exactly a colour archive as VeskArchiveColor makes it.
Color VeskUnarchiveColor(const std::optional<std::vector<std::uint8_t>>& data,
                         const Color& fallback);

} // namespace vesk
