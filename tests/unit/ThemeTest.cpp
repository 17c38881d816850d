#include "theme/Theme.h"

#include <gtest/gtest.h>

#include "ColorPrinter.h"

namespace vesk {
namespace {

struct TableRow {
    const char* name;
    Appearance appearance;
    ThemeColors colors;
};

const Color kWindow = Color::named(NamedColor::WindowBackground);
const Color kControlAccent = Color::named(NamedColor::ControlAccent);
const Color kLabel = Color::named(NamedColor::Label);
const Color kSecondaryLabel = Color::named(NamedColor::SecondaryLabel);
const Color kSystemBlue = Color::named(NamedColor::SystemBlue);

class ThemeTable : public ::testing::TestWithParam<TableRow> {};

TEST_P(ThemeTable, ResolvesToItsExactAppearanceAndColours) {
    const auto& row = GetParam();
    // Custom colours given to a preset must not change it.
    const bool custom = std::string(row.name) == "custom";
    const ResolvedTheme theme =
        resolveTheme(row.name, custom ? std::nullopt : std::optional(Color::rgb(1.0, 0.0, 0.0)),
                     custom ? std::nullopt : std::optional(Color::rgb(0.0, 1.0, 0.0)));
    EXPECT_EQ(theme.name, row.name);
    EXPECT_EQ(theme.appearance, row.appearance);
    EXPECT_EQ(theme.colors, row.colors);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ThemeTable,
    ::testing::Values(
        TableRow{
            "system",
            Appearance::System,
            {kWindow, Color::calibratedWhite(1.0, 0.82), kControlAccent, kLabel, kSecondaryLabel}},
        TableRow{"light",
                 Appearance::Light,
                 {Color::calibratedWhite(0.98, 1.0), Color::calibratedWhite(1.0, 0.82), kSystemBlue,
                  kLabel, kSecondaryLabel}},
        TableRow{"dark",
                 Appearance::Dark,
                 {Color::calibratedWhite(0.08, 1.0), Color::calibratedWhite(0.13, 0.88),
                  kSystemBlue, Color::genericWhite(1.0, 1.0), Color::genericWhite(0.82, 1.0)}},
        TableRow{"ocean",
                 Appearance::Dark,
                 {Color::rgb(0.05, 0.11, 0.16, 1.0), Color::rgb(0.08, 0.16, 0.22, 0.9),
                  Color::rgb(0.22, 0.79, 0.86, 1.0), Color::genericWhite(1.0, 1.0),
                  Color::genericWhite(0.86, 1.0)}},
        TableRow{"sunset",
                 Appearance::Dark,
                 {Color::rgb(0.15, 0.07, 0.10, 1.0), Color::rgb(0.22, 0.10, 0.13, 0.9),
                  Color::rgb(1.0, 0.53, 0.30, 1.0), Color::genericWhite(1.0, 1.0),
                  Color::genericWhite(0.88, 1.0)}},
        // With no custom colours given, the defaults make the look.
        TableRow{"custom",
                 Appearance::Dark,
                 {Color::rgb(0.08, 0.09, 0.12, 1.0),
                  Color::rgb(0.08 * 0.65, 0.09 * 0.65, 0.12 * 0.65, 0.9),
                  Color::rgb(0.37, 0.62, 0.98, 1.0), Color::genericWhite(1.0, 1.0),
                  Color::genericWhite(0.86, 1.0)}}),
    [](const auto& row) { return std::string(row.param.name); });

class UnknownThemeName : public ::testing::TestWithParam<std::optional<std::string_view>> {};

TEST_P(UnknownThemeName, GivesTheSystemTheme) {
    const ResolvedTheme theme =
        resolveTheme(GetParam(), Color::rgb(1.0, 0.0, 0.0), Color::rgb(0.0, 0.0, 1.0));
    EXPECT_EQ(theme, resolveTheme("system", std::nullopt, std::nullopt));
    EXPECT_EQ(theme.name, "system");
}

INSTANTIATE_TEST_SUITE_P(Names, UnknownThemeName,
                         ::testing::Values(std::nullopt, "", "Ocean", "forest", "light ",
                                           std::string_view("dark\0x", 6)));

TEST(CustomTheme, PanelIsTheBackgroundAtSixtyFivePercentWithItsAlphaReplacedByPointNine) {
    const Color background = Color::rgb(0.2, 0.4, 0.6, 0.5);
    const ResolvedTheme theme = resolveTheme("custom", background, Color::rgb(1.0, 0.0, 0.0));
    EXPECT_EQ(theme.colors.background, background) << "kept unconverted";
    EXPECT_EQ(theme.colors.accent, Color::rgb(1.0, 0.0, 0.0));
    const Color& panel = theme.colors.panel;
    EXPECT_EQ(panel.space, ColorSpace::CalibratedRGB);
    EXPECT_DOUBLE_EQ(panel.red, 0.13);
    EXPECT_DOUBLE_EQ(panel.green, 0.26);
    EXPECT_DOUBLE_EQ(panel.blue, 0.39);
    EXPECT_EQ(panel.alpha, 0.9) << "0.45 would mean the alpha was multiplied";
}

TEST(CustomTheme, WhiteBackgroundStaysDarkWithWhiteText) {
    for (const Color& white : {Color::whiteColor(), Color::calibratedWhite(1.0, 0.0)}) {
        const ResolvedTheme theme = resolveTheme("custom", white, std::nullopt);
        EXPECT_EQ(theme.appearance, Appearance::Dark);
        EXPECT_EQ(theme.colors.text, Color::whiteColor());
        EXPECT_EQ(theme.colors.panel, Color::rgb(0.65, 0.65, 0.65, 0.9));
        EXPECT_EQ(theme.colors.accent, defaultCustomAccent());
    }
}

TEST(CustomTheme, NamedBackgroundBlendsAsItShowsInTheDarkLook) {
    // After "system" has been saved the stored custom background is the named
    // window colour; as a custom background it must not collapse to black.
    const Color window = Color::named(NamedColor::WindowBackground);
    const ResolvedTheme theme = resolveTheme("custom", window, std::nullopt);
    EXPECT_EQ(theme.colors.background, window) << "the background itself stays named";
    const double darkWindow = window.resolved(ColorScheme::Dark).red;
    EXPECT_GT(darkWindow, 0.0);
    EXPECT_DOUBLE_EQ(theme.colors.panel.red, darkWindow * 0.65);
    EXPECT_EQ(theme.colors.panel.alpha, 0.9);
}

TEST(PresetTitle, LowerCasesTheButtonTitleKeepingBadBytes) {
    EXPECT_EQ(presetNameFromTitle("Sunset"), "sunset");
    EXPECT_EQ(presetNameFromTitle("\xC3\x89t\xC3\xA9"), "\xC3\xA9t\xC3\xA9"); // "Été"
    EXPECT_EQ(presetNameFromTitle("D\xFFx"), "d\xFFx");
}

} // namespace
} // namespace vesk
