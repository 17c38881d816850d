#include "platform/Color.h"

#include <gtest/gtest.h>

#include "ColorPrinter.h"

namespace vesk {
namespace {

TEST(Color, NewAlphaReplacesTheOldOneInEverySpace) {
    for (const Color& c :
         {Color::rgb(0.1, 0.2, 0.3, 0.5), Color::calibratedWhite(0.4, 0.5),
          Color::genericWhite(0.4, 0.5), Color::named(NamedColor::ControlAccent).withAlpha(0.5)}) {
        const Color changed = c.withAlpha(0.24);
        EXPECT_EQ(changed.alpha, 0.24) << ::testing::PrintToString(c);
        EXPECT_EQ(changed.space, c.space);
        EXPECT_EQ(changed.withAlpha(1.0), c.withAlpha(1.0)) << "only the alpha changes";
    }
}

TEST(Color, EqualityKeepsSpacesApart) {
    EXPECT_NE(Color::calibratedWhite(0.5), Color::genericWhite(0.5));
    EXPECT_NE(Color::rgb(0.5, 0.5, 0.5), Color::calibratedWhite(0.5));
    EXPECT_NE(Color::named(NamedColor::Label), Color::named(NamedColor::SecondaryLabel));
    EXPECT_NE(Color::genericWhite(0.5, 1.0), Color::genericWhite(0.5, 0.9));
    EXPECT_EQ(Color::named(NamedColor::SystemBlue), Color::named(NamedColor::SystemBlue));
}

TEST(Color, BlendMixesComponentsAndAlphaInRgb) {
    const Color mixed = Color::rgb(1.0, 0.0, 0.5, 1.0).blended(0.25, Color::genericWhite(0.0, 0.0));
    EXPECT_EQ(mixed.space, ColorSpace::CalibratedRGB);
    EXPECT_DOUBLE_EQ(mixed.red, 0.75);
    EXPECT_DOUBLE_EQ(mixed.green, 0.0);
    EXPECT_DOUBLE_EQ(mixed.blue, 0.375);
    EXPECT_DOUBLE_EQ(mixed.alpha, 0.75);
}

TEST(Color, NamedColoursBlendAsTheyShowWhenDark) {
    // A named colour has no components of its own; blending must not treat it as black.
    const Color window = Color::named(NamedColor::WindowBackground);
    const Color dark = window.resolved(ColorScheme::Dark);
    EXPECT_EQ(dark.space, ColorSpace::CalibratedRGB);
    EXPECT_DOUBLE_EQ(dark.red, 36.0 / 255.0);
    const Color half = window.blended(0.5, Color::whiteColor());
    EXPECT_DOUBLE_EQ(half.red, (36.0 / 255.0 + 1.0) / 2.0);
    EXPECT_DOUBLE_EQ(Color::named(NamedColor::Label).blended(0.0, Color::blackColor()).green, 1.0);
}

TEST(Color, ResolvingFollowsTheSchemeAndKeepsAlpha) {
    const Color label = Color::named(NamedColor::Label).withAlpha(0.3);
    const Color light = label.resolved(ColorScheme::Light);
    const Color dark = label.resolved(ColorScheme::Dark);
    EXPECT_LT(light.red, 0.5) << "dark text on a light window";
    EXPECT_DOUBLE_EQ(dark.red, 1.0);
    EXPECT_EQ(light.alpha, 0.3);
    EXPECT_EQ(dark.alpha, 0.3);
    const Color grey = Color::calibratedWhite(0.4, 0.7);
    EXPECT_EQ(grey.resolved(ColorScheme::Light), grey);
}

} // namespace
} // namespace vesk
