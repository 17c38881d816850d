#include "platform/Color.h"

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

std::string cssNumber(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4f", v);
    return buf;
}

std::string cssNamed(NamedColor n) {
    switch (n) {
    case NamedColor::WindowBackground:
        return "@window_bg_color";
    case NamedColor::ControlAccent:
        return "@accent_bg_color";
    case NamedColor::Label:
        return "@window_fg_color";
    case NamedColor::SecondaryLabel:
        // A dimmed foreground, kept opaque so that a new alpha replaces it.
        return "mix(@window_fg_color,@window_bg_color,0.45)";
    case NamedColor::SystemBlue:
        return "#3584e4";
    }
    return "@window_fg_color";
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

double Color::r() const {
    return space == ColorSpace::CalibratedRGB ? red : white;
}
double Color::g() const {
    return space == ColorSpace::CalibratedRGB ? green : white;
}
double Color::b() const {
    return space == ColorSpace::CalibratedRGB ? blue : white;
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
