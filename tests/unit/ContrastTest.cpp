#include "theme/Contrast.h"

#include <gtest/gtest.h>

#include "ColorPrinter.h"
#include "theme/Theme.h"

namespace {
using namespace vesk;

const Color kWhite = Color::whiteColor();
const Color kBlack = Color::blackColor();
const Color kLabel = Color::named(NamedColor::Label);
const Color kWindow = Color::named(NamedColor::WindowBackground);
// The panel the system look keeps, also under a dark desktop.
const Color kWhitePanel = Color::calibratedWhite(1.0, 0.82).withAlpha(kFloatingPanelAlpha);

struct RatioCase {
    const char* name;
    Color a;
    Color b;
    ColorScheme scheme;
    double expected;
};

class Ratio : public ::testing::TestWithParam<RatioCase> {};

TEST_P(Ratio, FollowsWcag) {
    const RatioCase& c = GetParam();
    EXPECT_NEAR(contrastRatio(c.a, c.b, c.scheme), c.expected, 0.01);
    EXPECT_NEAR(contrastRatio(c.b, c.a, c.scheme), c.expected, 0.01) << "either order";
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, Ratio,
    ::testing::Values(
        RatioCase{"BlackOnWhite", kBlack, kWhite, ColorScheme::Light, 21.0},
        RatioCase{"SameColour", Color::rgb(0.3, 0.6, 0.9), Color::rgb(0.3, 0.6, 0.9),
                  ColorScheme::Light, 1.0},
        RatioCase{"MidGreyOnWhite", Color::rgb(0.5, 0.5, 0.5), kWhite, ColorScheme::Light, 3.98},
        RatioCase{"LabelOnWindowLight", kLabel, kWindow, ColorScheme::Light, 11.61},
        RatioCase{"LabelOnWindowDark", kLabel, kWindow, ColorScheme::Dark, 10.56},
        RatioCase{"AlphaIgnored", kBlack.withAlpha(0.1), kWhite, ColorScheme::Dark, 21.0}),
    [](const auto& row) { return std::string(row.param.name); });

struct ReadableCase {
    const char* name;
    Color preferred;
    Color surface;
    ColorScheme scheme;
    Color expected; // the clear colour stands for "some other colour that reads"
};

class Readable : public ::testing::TestWithParam<ReadableCase> {};

TEST_P(Readable, KeepsTheColourWhereItReadsAndElseFindsOne) {
    const ReadableCase& c = GetParam();
    const Color chosen = readableTextColor(c.preferred, c.surface, c.scheme);
    EXPECT_GE(contrastOn(chosen, c.surface, c.scheme), kMinimumTextContrast);
    if (c.expected != Color::clearColor()) {
        EXPECT_EQ(chosen, c.expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Surfaces, Readable,
    ::testing::Values(
        ReadableCase{"LabelReadsOnLightWindow", kLabel, kWindow, ColorScheme::Light, kLabel},
        ReadableCase{"LabelReadsOnDarkWindow", kLabel, kWindow, ColorScheme::Dark, kLabel},
        // A dark desktop's label is white; the white panel takes the light look's label.
        ReadableCase{"DarkLabelOnWhitePanelTakesLightLabel", kLabel, kWhitePanel, ColorScheme::Dark,
                     kLabel.resolved(ColorScheme::Light)},
        ReadableCase{"WhiteOnLightCustomPanelDarkens", kWhite,
                     derivedPanelColor(Color::rgb(0.9, 0.9, 0.9)), ColorScheme::Dark,
                     Color::clearColor()},
        ReadableCase{"GreyOnMidGreyMovesFar", Color::rgb(0.5, 0.5, 0.5),
                     Color::rgb(0.45, 0.45, 0.45), ColorScheme::Light, Color::clearColor()},
        // Half of whatever is under it shows through: it must read over black and white.
        ReadableCase{"HalfClearSurfaceReadsOverAnyPage", Color::rgb(0.2, 0.2, 0.2),
                     Color::rgb(1.0, 1.0, 1.0, 0.5), ColorScheme::Light, Color::clearColor()}),
    [](const auto& row) { return std::string(row.param.name); });

struct ThemeCase {
    const char* name;
    ColorScheme scheme;
};

class ThemeTexts : public ::testing::TestWithParam<ThemeCase> {};

// Every theme's texts read on the surfaces they sit on, whatever the desktop asks for.
TEST_P(ThemeTexts, ReadOnTheirSurfaces) {
    const ColorScheme scheme = GetParam().scheme;
    const ThemeColors colors = resolveTheme(GetParam().name, Color::rgb(0.9, 0.9, 0.9), {}).colors;
    const ChromeTextColors text = chromeTextColors(colors, scheme);
    const Color window = colors.background;
    const Color field = paintedOver(colors.panel.withAlpha(kAddressFieldAlpha), window, scheme);
    const Color panel = colors.panel.withAlpha(kFloatingPanelAlpha);
    const Color button =
        paintedOver(colors.accent.withAlpha(kPanelButtonHoverAlpha), panel, scheme);
    EXPECT_GE(contrastOn(text.windowText, window, scheme), kMinimumTextContrast);
    EXPECT_GE(contrastOn(text.addressText, field, scheme), kMinimumTextContrast);
    EXPECT_GE(contrastOn(text.panelText, panel, scheme), kMinimumTextContrast);
    EXPECT_GE(contrastOn(text.panelMuted, panel, scheme), kMinimumTextContrast);
    EXPECT_GE(contrastOn(text.panelAccent, button, scheme), kMinimumTextContrast);
}

INSTANTIATE_TEST_SUITE_P(
    EveryTheme, ThemeTexts,
    ::testing::Values(
        ThemeCase{"system", ColorScheme::Light}, ThemeCase{"system", ColorScheme::Dark},
        ThemeCase{"light", ColorScheme::Light}, ThemeCase{"light", ColorScheme::Dark},
        ThemeCase{"dark", ColorScheme::Light}, ThemeCase{"dark", ColorScheme::Dark},
        ThemeCase{"ocean", ColorScheme::Light}, ThemeCase{"ocean", ColorScheme::Dark},
        ThemeCase{"sunset", ColorScheme::Light}, ThemeCase{"sunset", ColorScheme::Dark},
        ThemeCase{"custom", ColorScheme::Light}, ThemeCase{"custom", ColorScheme::Dark}),
    [](const auto& row) {
        return std::string(row.param.name) +
               (row.param.scheme == ColorScheme::Dark ? "UnderDark" : "UnderLight");
    });

} // namespace
