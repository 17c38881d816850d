#pragma once

#include <string>

namespace vesk {

// The colour spaces a colour can be kept in. Named colours are resolved from
// the current style when they are painted, so they follow light and dark.
enum class ColorSpace { CalibratedRGB, CalibratedWhite, GenericWhite, Named };

// The system colours the chrome refers to by name.
enum class NamedColor {
    WindowBackground,
    ControlAccent,
    Label,
    SecondaryLabel,
    SystemBlue,
};

// The two variants of the style that named colours follow.
enum class ColorScheme { Light, Dark };

// A colour value: components from 0 to 1 in double precision. For the white
// spaces only `white` is used; for named colours only `name` and `alpha`.
struct Color {
    ColorSpace space = ColorSpace::CalibratedRGB;
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
    double white = 0.0;
    double alpha = 1.0;
    NamedColor name = NamedColor::WindowBackground;

    // A colour in the calibrated RGB space.
    static Color rgb(double r, double g, double b, double a = 1.0);
    // A grey in the calibrated white space.
    static Color calibratedWhite(double w, double a = 1.0);
    // A grey in the generic white space.
    static Color genericWhite(double w, double a = 1.0);
    // A named system colour, opaque unless given another alpha later.
    static Color named(NamedColor n);

    // The fixed colours white, black and clear, as generic greys.
    static Color whiteColor() { return genericWhite(1.0, 1.0); }
    static Color blackColor() { return genericWhite(0.0, 1.0); }
    static Color clearColor() { return genericWhite(0.0, 0.0); }

    // The same colour with its alpha replaced (never multiplied).
    Color withAlpha(double a) const;

    // This colour blended toward `other` by `fraction` (0 keeps this colour,
    // 1 gives `other`), in RGB; the result is calibrated RGB with the blended
    // alpha. A named colour has no components of its own, so it takes part as
    // it shows under the dark scheme: the only look that derives colours by
    // blending is always dark.
    Color blended(double fraction, const Color& other) const;

    // The fixed colour a named colour shows as under `scheme` with the stock
    // style, as opaque calibrated RGB carrying this colour's alpha; a component
    // colour comes back unchanged.
    Color resolved(ColorScheme scheme) const;

    // Red, green and blue of a component colour; greys give equal components,
    // a named colour those it shows under the dark scheme.
    double r() const;
    double g() const;
    double b() const;

    bool operator==(const Color& other) const;
};

// The text that stands for a named colour in stored data ("labelColor", …);
// and the reverse, false when the text names no colour we know.
std::string namedColorKey(NamedColor n);
bool namedColorFromKey(const std::string& key, NamedColor& out);

// A CSS colour expression for the colour, for GTK style sheets. Named colours
// become references to the style's own colours, so they follow the appearance.
std::string cssColor(const Color& c);

} // namespace vesk
