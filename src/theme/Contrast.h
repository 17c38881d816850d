#pragma once

#include "base/Color.h"

namespace vesk {

// The least contrast body text needs to be read easily (WCAG 2, level AA).
inline constexpr double kMinimumTextContrast = 4.5;

// The relative luminance (WCAG 2) of a colour as it shows under `scheme`; its alpha is ignored.
double relativeLuminance(const Color& color, ColorScheme scheme);

// The contrast ratio (WCAG 2) of two colours, from 1 to 21; their alphas are ignored.
double contrastRatio(const Color& a, const Color& b, ColorScheme scheme);

// `top` painted over `under`: calibrated RGB with the alpha the two give together.
Color paintedOver(const Color& top, const Color& under, ColorScheme scheme);

// The least contrast `text` has on `surface`. Translucent text is painted over the
// surface, and a translucent surface is taken over both black and white, since
// whatever shows through it may be either.
double contrastOn(const Color& text, const Color& surface, ColorScheme scheme);

// A text colour that reads on `surface`: `preferred` when it reaches the minimum
// contrast; else, for a named colour, what it shows under the other scheme (the
// look's own text for a surface of the other brightness); else `preferred` moved
// toward black or white, whichever reads better there, only as far as it needs.
Color readableTextColor(const Color& preferred, const Color& surface, ColorScheme scheme);

} // namespace vesk
