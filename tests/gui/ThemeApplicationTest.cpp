#include <filesystem>
#include <fstream>

#include "GuiTest.h"
#include "Snapshot.h"

#include "platform/WebView.h"
#include "tabs/VeskTabPill.h"
#include "theme/ColorArchive.h"
#include "theme/Theme.h"
#include "theme/ThemeSettings.h"

namespace vesk::test {
namespace {

namespace fs = std::filesystem;

class ThemeApplicationTest : public GuiTest {
protected:
    fs::path defaultsFile() const { return home->configDir() / "Vesk" / "defaults.plist"; }

    void relaunch() {
        app.reset();
        pump(std::chrono::milliseconds(20));
        launch();
    }

    // Lets the new style sheet reach the next frame.
    void settle() { pump(std::chrono::milliseconds(120)); }

    Pixel painted(Snapshot& shot, Gtk::Widget& widget, int dx, int dy) {
        const auto f = frameOf(widget);
        return shot.at(f.get_x() + dx, f.get_y() + dy);
    }
};

Pixel opaque(const Color& c) {
    return composite(c.r(), c.g(), c.b(), 1.0, Pixel{0, 0, 0, 255});
}

TEST_F(ThemeApplicationTest, FirstStartIsSystemAndWritesNothing) {
    launch();
    EXPECT_EQ(app->themeName, "system");
    ASSERT_TRUE(app->themeAccentColor.has_value());
    EXPECT_EQ(*app->themeAccentColor, Color::named(NamedColor::ControlAccent));
    EXPECT_FALSE(fs::exists(defaultsFile()));
    EXPECT_FALSE(fs::exists(home->configDir() / "Vesk"));
}

TEST_F(ThemeApplicationTest, AppliedThemeSurvivesARestart) {
    launch();
    app->applyThemeNamed("ocean", std::nullopt, std::nullopt, SaveTheme::Yes);
    ASSERT_TRUE(fs::exists(defaultsFile()));
    relaunch();
    EXPECT_EQ(app->themeName, "ocean");
    EXPECT_EQ(*app->themeBackgroundColor, Color::rgb(0.05, 0.11, 0.16, 1.0));

    // The two colour keys hold the ocean background and accent.
    const StoredTheme stored = readStoredTheme(UserDefaults::standard());
    EXPECT_EQ(stored.name, "ocean");
    EXPECT_EQ(stored.customBackground, Color::rgb(0.05, 0.11, 0.16, 1.0));
    EXPECT_EQ(stored.customAccent, Color::rgb(0.22, 0.79, 0.86, 1.0));
}

TEST_F(ThemeApplicationTest, CustomThemeComesBackWithItsColours) {
    launch();
    app->applyThemeNamed("custom", Color::rgb(0.2, 0.4, 0.6), Color::rgb(1.0, 0.0, 0.0),
                         SaveTheme::Yes);
    relaunch();
    EXPECT_EQ(app->themeName, "custom");
    EXPECT_EQ(*app->themeBackgroundColor, Color::rgb(0.2, 0.4, 0.6));
    EXPECT_EQ(*app->themeAccentColor, Color::rgb(1.0, 0.0, 0.0));
    EXPECT_NEAR(app->themePanelColor->r(), 0.13, 1e-12);
    EXPECT_EQ(app->themePanelColor->alpha, 0.9);
}

TEST_F(ThemeApplicationTest, DamagedDefaultsStartAsSystemAndAreSetAsideOnSave) {
    fs::create_directories(defaultsFile().parent_path());
    {
        std::ofstream out(defaultsFile(), std::ios::binary);
        out << "this is not a property list";
    }
    launch();
    EXPECT_EQ(app->themeName, "system");
    // Loading never writes.
    EXPECT_TRUE(fs::exists(defaultsFile()));
    EXPECT_FALSE(fs::exists(defaultsFile().string() + ".corrupt"));

    app->applyThemeNamed("dark", std::nullopt, std::nullopt, SaveTheme::Yes);
    std::ifstream aside(defaultsFile().string() + ".corrupt", std::ios::binary);
    ASSERT_TRUE(aside.good()) << "the damaged file was not set aside";
    std::string bytes((std::istreambuf_iterator<char>(aside)), {});
    EXPECT_EQ(bytes, "this is not a property list");
    EXPECT_EQ(readStoredTheme(UserDefaults::standard()).name, "dark");
}

TEST_F(ThemeApplicationTest, UnknownNameGivesSystem) {
    launch();
    app->applyThemeNamed("Ocean", std::nullopt, std::nullopt, SaveTheme::No);
    EXPECT_EQ(app->themeName, "system");
    app->applyThemeNamed(std::nullopt, std::nullopt, std::nullopt, SaveTheme::No);
    EXPECT_EQ(app->themeName, "system");
    EXPECT_FALSE(fs::exists(defaultsFile()));
}

TEST_F(ThemeApplicationTest, WidgetsPaintTheThemeColours) {
    launch();
    app->addNewTab();
    app->addNewTab();
    app->selectTab(1);
    app->applyThemeNamed("ocean", std::nullopt, std::nullopt, SaveTheme::No);
    // The web area's own colour shows where no page covers it.
    app->currentTab()->web->widget().set_visible(false);
    settle();

    const Color background = Color::rgb(0.05, 0.11, 0.16);
    const Color panel = Color::rgb(0.08, 0.16, 0.22);
    const Color accent = Color::rgb(0.22, 0.79, 0.86);
    const Pixel base = opaque(background);

    Snapshot shot(*app->window);
    // Glass: the background at 0.12 over the window's own background.
    EXPECT_PRED3(near, painted(shot, *app->glass, 640, 30), base, 3);
    // Web area: the panel colour with its own alpha.
    const Pixel web = painted(shot, *app->webContainer, 300, 200);
    EXPECT_PRED3(near, web, composite(panel.r(), panel.g(), panel.b(), 0.9, base), 3);
    // Address field: the panel at 0.8, away from its (empty, centred) text.
    const Pixel field = painted(shot, *app->addr, 40, 14);
    EXPECT_PRED3(near, field, composite(panel.r(), panel.g(), panel.b(), 0.8, base), 3);
    // A toolbar button: its symbol is painted in the accent colour.
    const auto reload = frameOf(*app->controlButtons[2]);
    bool accentFound = false;
    for (int y = reload.get_y(); y < reload.get_y() + reload.get_height() && !accentFound; ++y)
        for (int x = reload.get_x(); x < reload.get_x() + reload.get_width(); ++x)
            if (near(shot.at(x, y), opaque(accent), 6)) {
                accentFound = true;
                break;
            }
    EXPECT_TRUE(accentFound) << "no accent-coloured pixel in the reload button";

    // Exactly one accent pill: the selected second one; the others are clear.
    const Pixel activeExpected = composite(accent.r(), accent.g(), accent.b(), 0.24, base);
    for (std::size_t i = 0; i < app->tabs.size(); ++i) {
        const Pixel p = painted(shot, *app->tabs[i]->pill, 3, 14);
        if (i == 1)
            EXPECT_PRED3(near, p, activeExpected, 3) << "pill " << i;
        else
            EXPECT_PRED3(near, p, base, 3) << "pill " << i;
    }
}

TEST_F(ThemeApplicationTest, LightAndDarkThemesSetTheAppearance) {
    launch();
    app->applyThemeNamed("light", std::nullopt, std::nullopt, SaveTheme::No);
    settle();
    Snapshot light(*app->window);
    EXPECT_PRED3(near, painted(light, *app->glass, 640, 30), opaque(Color::rgb(0.98, 0.98, 0.98)),
                 3);
    app->applyThemeNamed("dark", std::nullopt, std::nullopt, SaveTheme::No);
    settle();
    Snapshot dark(*app->window);
    EXPECT_PRED3(near, painted(dark, *app->glass, 640, 30), opaque(Color::rgb(0.08, 0.08, 0.08)),
                 3);
}

} // namespace
} // namespace vesk::test
