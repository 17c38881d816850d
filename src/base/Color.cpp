#include "base/Color.h"

#include <array>
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

// What each named colour shows as with the stock style, flattened onto the
// window background where the style gives it a translucent foreground.
struct SchemeValues {
    double light[3];
    double dark[3];
};

constexpr double fromByte(int v) {
    return v / 255.0;
}

constexpr double kLightWindow = fromByte(250); // #fafafa
constexpr double kDarkWindow = fromByte(36);   // #242424
// The light foreground is black at 0.8 over the window background.
constexpr double kLightLabel = 0.2 * kLightWindow;
// The dimmed foreground mixes 45 % of the window background into the label.
constexpr double kLightSecondary = kLightLabel * 0.55 + kLightWindow * 0.45;
constexpr double kDarkSecondary = 1.0 * 0.55 + kDarkWindow * 0.45;

SchemeValues schemeValues(NamedColor n) {
    switch (n) {
    case NamedColor::WindowBackground:
        return {{kLightWindow, kLightWindow, kLightWindow},
                {kDarkWindow, kDarkWindow, kDarkWindow}};
    case NamedColor::ControlAccent:
    case NamedColor::SystemBlue:
        return {{fromByte(0x35), fromByte(0x84), fromByte(0xe4)},
                {fromByte(0x35), fromByte(0x84), fromByte(0xe4)}};
    case NamedColor::Label:
        return {{kLightLabel, kLightLabel, kLightLabel}, {1.0, 1.0, 1.0}};
    case NamedColor::SecondaryLabel:
        return {{kLightSecondary, kLightSecondary, kLightSecondary},
                {kDarkSecondary, kDarkSecondary, kDarkSecondary}};
    }
    return {{0.0, 0.0, 0.0}, {1.0, 1.0, 1.0}};
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
        return "mix(@theme_fg_color,@theme_bg_color,0.45)";
    case NamedColor::SystemBlue:
        return "#3584e4";
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
