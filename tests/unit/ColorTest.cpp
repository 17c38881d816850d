#include "base/Color.h"

#include <gtest/gtest.h>

#include "ColorPrinter.h"

namespace {
using namespace vesk;

TEST(Color, NewAlphaReplacesTheOldOneInEverySpace) {
    for (const Color& c :
         {Color::rgb(0.1, 0.2, 0.3, 0.5), Color::calibratedWhite(0.4, 0.5),
          Color::genericWhite(0.4, 0.5), Color::named(NamedColor::ControlAccent).withAlpha(0.5)})
        EXPECT_EQ(c.withAlpha(0.24).withAlpha(0.5), c);
    EXPECT_NE(Color::calibratedWhite(0.5), Color::genericWhite(0.5)) << "spaces stay apart";
}

TEST(Color, BlendsInRgbAndResolvesNamedColoursPerScheme) {
    EXPECT_EQ(Color::rgb(1.0, 0.0, 0.5, 1.0).blended(0.25, Color::clearColor()),
              Color::rgb(0.75, 0.0, 0.375, 0.75));
    const Color label = Color::named(NamedColor::Label).withAlpha(0.3);
    EXPECT_LT(label.resolved(ColorScheme::Light).red, 0.5) << "dark text on a light window";
    EXPECT_EQ(label.resolved(ColorScheme::Dark),
              Color::rgb(238 / 255.0, 238 / 255.0, 236 / 255.0, 0.3));
}

} // namespace
