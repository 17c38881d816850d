#include "GuiTest.h"

#include "platform/ColorRgba.h"
#include "theme/ThemeSettings.h"
#include "theme/UserDefaults.h"

namespace vesk::test {
namespace {

const Color kOceanBackground = Color::rgb(0.05, 0.11, 0.16, 1.0);
const Color kSunsetBackground = Color::rgb(0.15, 0.07, 0.10, 1.0);
const Color kSunsetAccent = Color::rgb(1.0, 0.53, 0.30, 1.0);

class ThemePanelTest : public GuiTest {
protected:
    // Applies the theme without saving and opens the panel under it.
    void openPanelUnder(const std::string& theme) {
        launch();
        app->applyThemeNamed(theme, std::nullopt, std::nullopt, SaveTheme::No);
        app->toggleThemePanel();
        ASSERT_NE(app->themePanel, nullptr);
    }

    void pressPreset(const std::string& title) {
        for (auto* button : descendants<Gtk::Button>(*app->themePanel))
            if (button->get_label().raw() == title)
                return click(*button);
        ADD_FAILURE() << "no preset button " << title;
    }

    void expectWells(const Color& background, const Color& accent) {
        for (auto [well, colour] : {std::pair{app->themeBackgroundWell, background},
                                    std::pair{app->themeAccentWell, accent}}) {
            const Gdk::RGBA expected = toRgba(colour, nullptr);
            EXPECT_TRUE(nearColor(well->get_rgba(), expected))
                << "got " << well->get_rgba().to_string() << ", expected " << expected.to_string();
        }
    }
};

TEST_F(ThemePanelTest, UnderOceanTheWellsShowOceanColours) {
    openPanelUnder("ocean");
    expectWells(kOceanBackground, Color::rgb(0.22, 0.79, 0.86, 1.0));
}

TEST_F(ThemePanelTest, APresetKeepsTheEarlierColoursInTheWellsOnly) {
    openPanelUnder("dark");
    pressPreset("Sunset");
    EXPECT_EQ(app->themeName, "sunset");
    EXPECT_EQ(*app->themeBackgroundColor, kSunsetBackground);
    EXPECT_EQ(*app->themeAccentColor, kSunsetAccent);
    expectWells(Color::calibratedWhite(0.08, 1.0), Color::named(NamedColor::SystemBlue));
    const StoredTheme stored = readStoredTheme(UserDefaults::standard());
    EXPECT_EQ(stored.name, "sunset");
    EXPECT_EQ(stored.customBackground, kSunsetBackground);
    EXPECT_EQ(stored.customAccent, kSunsetAccent);
}

TEST_F(ThemePanelTest, ChangingAWellAppliesAndSavesCustomAtOnce) {
    openPanelUnder("ocean");
    app->themeAccentWell->set_rgba(Gdk::RGBA(1.0, 0.0, 0.0, 1.0));
    g_signal_emit_by_name(app->themeAccentWell->gobj(), "color-set");
    EXPECT_EQ(app->themeName, "custom");
    EXPECT_EQ(*app->themeAccentColor, Color::rgb(1.0, 0.0, 0.0, 1.0));
    const StoredTheme stored = readStoredTheme(UserDefaults::standard());
    EXPECT_EQ(stored.name, "custom");
    EXPECT_EQ(stored.customAccent, Color::rgb(1.0, 0.0, 0.0, 1.0));
    EXPECT_TRUE(
        nearColor(toRgba(stored.customBackground, nullptr), toRgba(kOceanBackground, nullptr)));
}

} // namespace
} // namespace vesk::test
