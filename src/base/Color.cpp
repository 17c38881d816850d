#include "base/Color.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <utility>

namespace vesk {

namespace {

const std::array<std::pair<NamedColor, const char*>, 5> kNamedKeys{{
    {NamedColor::WindowBackground, "windowBackgroundColor"},
    {NamedColor::ControlAccent, "controlAccentColor"},
    {NamedColor::Label, "labelColor"},
    {NamedColor::SecondaryLabel, "secondaryLabelColor"},
    {NamedColor::SystemBlue, "systemBlueColor"},
}};

// What each named colour shows as with the toolkit's own style (GTK's default
// theme, light and dark variants), as the style sheet's references resolve.
struct SchemeValues {
    double light[3];
    double dark[3];
};

struct Rgb {
    double r, g, b;
};

constexpr Rgb fromHex(unsigned hex) {
    return {((hex >> 16) & 0xff) / 255.0, ((hex >> 8) & 0xff) / 255.0, (hex & 0xff) / 255.0};
}

constexpr Rgb kLightWindow = fromHex(0xf6f5f4);
constexpr Rgb kDarkWindow = fromHex(0x353535);
constexpr Rgb kLightLabel = fromHex(0x2e3436);
constexpr Rgb kDarkLabel = fromHex(0xeeeeec);
constexpr Rgb kLightSelection = fromHex(0x3584e4);
constexpr Rgb kDarkSelection = fromHex(0x15539e);
// The style sheet writes the fixed system blue out, the same under both schemes.
constexpr Rgb kSystemBlue = fromHex(0x3584e4);
// The dimmed foreground mixes this share of the window background into the label.
constexpr double kSecondaryMix = 0.45;

constexpr Rgb mixed(const Rgb& a, const Rgb& b, double fraction) {
    return {a.r * (1.0 - fraction) + b.r * fraction, a.g * (1.0 - fraction) + b.g * fraction,
            a.b * (1.0 - fraction) + b.b * fraction};
}

constexpr SchemeValues both(const Rgb& light, const Rgb& dark) {
    return {{light.r, light.g, light.b}, {dark.r, dark.g, dark.b}};
}

SchemeValues schemeValues(NamedColor n) {
    switch (n) {
    case NamedColor::WindowBackground:
        return both(kLightWindow, kDarkWindow);
    case NamedColor::ControlAccent:
        return both(kLightSelection, kDarkSelection);
    case NamedColor::SystemBlue:
        return both(kSystemBlue, kSystemBlue);
    case NamedColor::Label:
        return both(kLightLabel, kDarkLabel);
    case NamedColor::SecondaryLabel:
        return both(mixed(kLightLabel, kLightWindow, kSecondaryMix),
                    mixed(kDarkLabel, kDarkWindow, kSecondaryMix));
    }
    return both(kLightLabel, kDarkLabel);
}

std::string cssNumber(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    return buf;
}

std::string cssNamed(NamedColor n) {
    switch (n) {
    case NamedColor::WindowBackground:
        return "@theme_bg_color";
    case NamedColor::ControlAccent:
        return "@theme_selected_bg_color";
    case NamedColor::Label:
        return "@theme_fg_color";
    case NamedColor::SecondaryLabel:
        // A dimmed foreground, kept opaque so that a new alpha replaces it.
        return "mix(@theme_fg_color,@theme_bg_color," + cssNumber(kSecondaryMix) + ")";
    case NamedColor::SystemBlue:
        return "rgb(" + std::to_string(std::lround(kSystemBlue.r * 255)) + "," +
               std::to_string(std::lround(kSystemBlue.g * 255)) + "," +
               std::to_string(std::lround(kSystemBlue.b * 255)) + ")";
    }
    return "@theme_fg_color";
}

} // namespace

Color Color::rgb(double r, double g, double b, double a) {
    Color c;
    c.space = ColorSpace::CalibratedRGB;
    c.red = r;
    c.green = g;
    c.blue = b;
    c.alpha = a;
    return c;
}

Color Color::calibratedWhite(double w, double a) {
    Color c;
    c.space = ColorSpace::CalibratedWhite;
    c.white = w;
    c.alpha = a;
    return c;
}

Color Color::genericWhite(double w, double a) {
    Color c;
    c.space = ColorSpace::GenericWhite;
    c.white = w;
    c.alpha = a;
    return c;
}

Color Color::named(NamedColor n) {
    Color c;
    c.space = ColorSpace::Named;
    c.name = n;
    c.alpha = 1.0;
    return c;
}

Color Color::withAlpha(double a) const {
    Color c = *this;
    c.alpha = a;
    return c;
}

Color Color::resolved(ColorScheme scheme) const {
    if (space != ColorSpace::Named)
        return *this;
    const SchemeValues values = schemeValues(name);
    const double* v = scheme == ColorScheme::Light ? values.light : values.dark;
    return rgb(v[0], v[1], v[2], alpha);
}

double Color::r() const {
    const Color c = resolved(ColorScheme::Dark);
    return c.space == ColorSpace::CalibratedRGB ? c.red : c.white;
}

double Color::g() const {
    const Color c = resolved(ColorScheme::Dark);
    return c.space == ColorSpace::CalibratedRGB ? c.green : c.white;
}

double Color::b() const {
    const Color c = resolved(ColorScheme::Dark);
    return c.space == ColorSpace::CalibratedRGB ? c.blue : c.white;
}

Color Color::blended(double fraction, const Color& other) const {
    auto mix = [fraction](double a, double b) { return a * (1.0 - fraction) + b * fraction; };
    return rgb(mix(r(), other.r()), mix(g(), other.g()), mix(b(), other.b()),
               mix(alpha, other.alpha));
}

bool Color::operator==(const Color& o) const {
    if (space != o.space || alpha != o.alpha)
        return false;
    switch (space) {
    case ColorSpace::CalibratedRGB:
        return red == o.red && green == o.green && blue == o.blue;
    case ColorSpace::CalibratedWhite:
    case ColorSpace::GenericWhite:
        return white == o.white;
    case ColorSpace::Named:
        return name == o.name;
    }
    return false;
}

std::string namedColorKey(NamedColor n) {
    for (const auto& [value, key] : kNamedKeys)
        if (value == n)
            return key;
    return {};
}

bool namedColorFromKey(const std::string& key, NamedColor& out) {
    for (const auto& [value, text] : kNamedKeys) {
        if (key == text) {
            out = value;
            return true;
        }
    }
    return false;
}

std::string cssColor(const Color& c) {
    if (c.space == ColorSpace::Named) {
        std::string base = cssNamed(c.name);
        if (c.alpha >= 1.0)
            return base;
        return "alpha(" + base + "," + cssNumber(c.alpha) + ")";
    }
    auto channel = [](double v) { return cssNumber(v * 100.0) + "%"; };
    return "rgba(" + channel(c.r()) + "," + channel(c.g()) + "," + channel(c.b()) + "," +
           cssNumber(c.alpha) + ")";
}

} // namespace vesk
