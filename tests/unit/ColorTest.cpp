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
        EXPECT_EQ(changed.withAlpha(1.0), c.withAlpha(1.0)) << "only the alpha changes";
    }
    EXPECT_NE(Color::calibratedWhite(0.5), Color::genericWhite(0.5)) << "spaces stay apart";
}

TEST(Color, BlendingMixesInRgbAndNamedColoursBlendAsTheyShowWhenDark) {
    const Color mixed = Color::rgb(1.0, 0.0, 0.5, 1.0).blended(0.25, Color::genericWhite(0.0, 0.0));
    EXPECT_EQ(mixed, Color::rgb(0.75, 0.0, 0.375, 0.75));
    // A named colour has no components of its own; blending must not treat it as black.
    const Color window = Color::named(NamedColor::WindowBackground);
    EXPECT_DOUBLE_EQ(window.resolved(ColorScheme::Dark).red, 36.0 / 255.0);
    EXPECT_DOUBLE_EQ(window.blended(0.5, Color::whiteColor()).red, (36.0 / 255.0 + 1.0) / 2.0);
    const Color label = Color::named(NamedColor::Label).withAlpha(0.3);
    EXPECT_LT(label.resolved(ColorScheme::Light).red, 0.5) << "dark text on a light window";
    EXPECT_EQ(label.resolved(ColorScheme::Dark), Color::rgb(1.0, 1.0, 1.0, 0.3));
}

} // namespace
} // namespace vesk
