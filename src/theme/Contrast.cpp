#include "theme/Contrast.h"

#include <algorithm>
#include <cmath>

namespace vesk {

namespace {

// A little above the minimum, so that painting in 8-bit channels cannot take
// a chosen colour under it.
constexpr double kTargetContrast = kMinimumTextContrast + 0.1;
// How finely a colour is moved toward black or white.
constexpr int kBlendSteps = 64;

// The sRGB transfer curve undone (WCAG 2's figures).
double linear(double channel) {
    constexpr double kLinearKnee = 0.04045;
    constexpr double kLinearSlope = 12.92;
    constexpr double kOffset = 0.055;
    constexpr double kGamma = 2.4;
    const double c = std::clamp(channel, 0.0, 1.0);
    return c <= kLinearKnee ? c / kLinearSlope : std::pow((c + kOffset) / (1.0 + kOffset), kGamma);
}

// Red, green and blue of a colour as it shows under `scheme`.
Color rgbOf(const Color& color, ColorScheme scheme) {
    const Color c = color.resolved(scheme);
    if (c.space == ColorSpace::CalibratedRGB)
        return c;
    return Color::rgb(c.white, c.white, c.white, c.alpha);
}

ColorScheme otherScheme(ColorScheme scheme) {
    return scheme == ColorScheme::Light ? ColorScheme::Dark : ColorScheme::Light;
}

} // namespace

double relativeLuminance(const Color& color, ColorScheme scheme) {
    constexpr double kRed = 0.2126, kGreen = 0.7152, kBlue = 0.0722;
    const Color c = rgbOf(color, scheme);
    return kRed * linear(c.red) + kGreen * linear(c.green) + kBlue * linear(c.blue);
}

double contrastRatio(const Color& a, const Color& b, ColorScheme scheme) {
    // The flare the ratio allows for, so that black on black is 1, not undefined.
    constexpr double kFlare = 0.05;
    const double la = relativeLuminance(a, scheme);
    const double lb = relativeLuminance(b, scheme);
    return (std::max(la, lb) + kFlare) / (std::min(la, lb) + kFlare);
}

Color paintedOver(const Color& top, const Color& under, ColorScheme scheme) {
    const Color t = rgbOf(top, scheme);
    const Color u = rgbOf(under, scheme);
    const double alpha = t.alpha + u.alpha * (1.0 - t.alpha);
    if (alpha <= 0.0)
        return Color::rgb(0.0, 0.0, 0.0, 0.0);
    const auto mix = [&](double tc, double uc) {
        return (tc * t.alpha + uc * u.alpha * (1.0 - t.alpha)) / alpha;
    };
    return Color::rgb(mix(t.red, u.red), mix(t.green, u.green), mix(t.blue, u.blue), alpha);
}

double contrastOn(const Color& text, const Color& surface, ColorScheme scheme) {
    double least = 21.0;
    for (const Color& backdrop : {Color::blackColor(), Color::whiteColor()}) {
        const Color ground = paintedOver(surface, backdrop, scheme);
        const Color ink = paintedOver(text, ground, scheme);
        least = std::min(least, contrastRatio(ink, ground, scheme));
    }
    return least;
}

Color readableTextColor(const Color& preferred, const Color& surface, ColorScheme scheme) {
    const auto reads = [&](const Color& c) {
        return contrastOn(c, surface, scheme) >= kTargetContrast;
    };
    if (reads(preferred))
        return preferred;
    Color start = rgbOf(preferred, scheme);
    if (preferred.space == ColorSpace::Named) {
        const Color other = rgbOf(preferred, otherScheme(scheme));
        if (reads(other))
            return other;
        // The nearer of the two is moved the shorter way.
        if (contrastOn(other, surface, scheme) > contrastOn(start, surface, scheme))
            start = other;
    }
    const Color black = Color::rgb(0.0, 0.0, 0.0, start.alpha);
    const Color white = Color::rgb(1.0, 1.0, 1.0, start.alpha);
    const Color& ink =
        contrastOn(black, surface, scheme) >= contrastOn(white, surface, scheme) ? black : white;
    for (int step = 1; step < kBlendSteps; ++step) {
        const Color moved = start.blended(double(step) / kBlendSteps, ink);
        if (reads(moved))
            return moved;
    }
    return ink;
}

} // namespace vesk
