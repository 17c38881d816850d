#include "theme/Theme.h"

#include <gtest/gtest.h>

#include "ColorPrinter.h"

namespace {
using namespace vesk;

const Color kRed = Color::rgb(1.0, 0.0, 0.0);
const Color kGreen = Color::rgb(0.0, 1.0, 0.0);

TEST(ThemeName, PresetsKeepTheirNameAndAnyOtherNameGivesSystem) {
    for (const char* name : {"system", "light", "dark", "ocean", "sunset"}) {
        EXPECT_EQ(resolveTheme(name, kRed, kGreen).name, name);
        EXPECT_EQ(resolveTheme(name, kRed, kGreen), resolveTheme(name, {}, {})) << "custom ignored";
    }
    using Name = std::optional<std::string_view>;
    for (const Name name : {Name(), Name(""), Name("Ocean"), Name("forest"), Name("light "),
                            Name(std::string_view("dark\0x", 6))})
        EXPECT_EQ(resolveTheme(name, kRed, kGreen), resolveTheme("system", {}, {}))
            << name.value_or("(absent)");
}

TEST(CustomTheme, PanelDarkensTheBackgroundAndReplacesItsAlpha) {
    const Color background = Color::rgb(0.5, 0.25, 1.0, 0.5);
    const ResolvedTheme theme = resolveTheme("custom", background, kRed);
    EXPECT_EQ(theme.colors.background, background) << "kept unconverted";
    EXPECT_EQ(theme.colors.accent, kRed);
    EXPECT_EQ(theme.colors.panel, Color::rgb(0.325, 0.1625, 0.65, 0.9)) << "alpha replaced";

    // Even a clear white background keeps the dark look with white text.
    const ResolvedTheme white = resolveTheme("custom", Color::calibratedWhite(1.0, 0.0), {});
    EXPECT_EQ(white.appearance, Appearance::Dark);
    EXPECT_EQ(white.colors.text, Color::whiteColor());
    EXPECT_EQ(white.colors.accent, defaultCustomAccent());
    EXPECT_EQ(resolveTheme("custom", {}, {}).colors.background, defaultCustomBackground());

    // Once "system" is saved the stored custom background is the named window colour: it stays
    // named, and its panel must not darken black.
    const Color window = Color::named(NamedColor::WindowBackground);
    const ResolvedTheme named = resolveTheme("custom", window, {});
    EXPECT_EQ(named.colors.background, window);
    EXPECT_DOUBLE_EQ(named.colors.panel.red, window.resolved(ColorScheme::Dark).red * 0.65);
    EXPECT_GT(named.colors.panel.red, 0.0);
}

} // namespace
