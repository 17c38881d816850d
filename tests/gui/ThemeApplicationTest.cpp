#include <filesystem>
#include <fstream>

#include "GuiTest.h"
#include "Snapshot.h"

#include "platform/WebView.h"
#include "tabs/VeskTabPill.h"
#include "theme/Theme.h"
#include "theme/ThemeSettings.h"

namespace vesk::test {
namespace {

namespace fs = std::filesystem;

class ThemeApplicationTest : public GuiTest {
protected:
    fs::path defaultsFile() const { return home->configDir() / "Vesk" / "defaults.plist"; }
};

TEST_F(ThemeApplicationTest, FirstStartIsSystemAndWritesNothing) {
    launch();
    EXPECT_EQ(app->themeName, "system");
    EXPECT_EQ(app->themeAccentColor, Color::named(NamedColor::ControlAccent));
    EXPECT_FALSE(fs::exists(home->configDir() / "Vesk"));
}

TEST_F(ThemeApplicationTest, AppliedThemeSurvivesARestartWithItsColourKeys) {
    launch();
    app->applyThemeNamed("ocean", std::nullopt, std::nullopt, SaveTheme::Yes);
    app.reset();
    pump(std::chrono::milliseconds(20));
    launch();
    EXPECT_EQ(app->themeName, "ocean");
    EXPECT_EQ(app->themeBackgroundColor, Color::rgb(0.05, 0.11, 0.16, 1.0));
    const StoredTheme stored = readStoredTheme(UserDefaults::standard());
    EXPECT_EQ(stored.name, "ocean");
    EXPECT_EQ(stored.customBackground, Color::rgb(0.05, 0.11, 0.16, 1.0));
    EXPECT_EQ(stored.customAccent, Color::rgb(0.22, 0.79, 0.86, 1.0));
}

TEST_F(ThemeApplicationTest, DamagedDefaultsStartAsSystemAndAreSetAsideOnSave) {
    fs::create_directories(defaultsFile().parent_path());
    std::ofstream(defaultsFile(), std::ios::binary) << "this is not a property list";
    launch();
    EXPECT_EQ(app->themeName, "system");
    EXPECT_FALSE(fs::exists(defaultsFile().string() + ".corrupt")) << "loading wrote";

    app->applyThemeNamed("dark", std::nullopt, std::nullopt, SaveTheme::Yes);
    std::ifstream aside(defaultsFile().string() + ".corrupt", std::ios::binary);
    ASSERT_TRUE(aside.good()) << "the damaged file was not set aside";
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(aside), {}),
              "this is not a property list");
    EXPECT_EQ(readStoredTheme(UserDefaults::standard()).name, "dark");
}

TEST_F(ThemeApplicationTest, WidgetsPaintTheThemeColours) {
    launch();
    app->addNewTab();
    app->addNewTab();
    app->selectTab(1);
    app->applyThemeNamed("ocean", std::nullopt, std::nullopt, SaveTheme::No);
    // The web area's own colour shows where no page covers it.
    app->currentTab()->web->widget().set_visible(false);
    pump(std::chrono::milliseconds(120));

    const Color panel = Color::rgb(0.08, 0.16, 0.22);
    const Color accent = Color::rgb(0.22, 0.79, 0.86);
    const Pixel base = composite(0.05, 0.11, 0.16, 1.0, Pixel{0, 0, 0, 255});
    const auto over = [&](const Color& c, double alpha) {
        return composite(c.r(), c.g(), c.b(), alpha, base);
    };
    Snapshot shot(*app->window);
    const auto painted = [&](Gtk::Widget& widget, int dx, int dy) {
        const auto f = frameOf(widget);
        return shot.at(f.get_x() + dx, f.get_y() + dy);
    };
    EXPECT_PRED3(near, painted(*app->glass, 640, 30), base, 3);
    EXPECT_PRED3(near, painted(*app->webContainer, 300, 200), over(panel, 0.9), 3);
    // The address field, away from its (empty, centred) text.
    EXPECT_PRED3(near, painted(*app->addr, 40, 14), over(panel, 0.8), 3);
    // The reload button's symbol is painted in the accent colour.
    const auto reload = frameOf(*app->controlButtons[2]);
    bool accentFound = false;
    for (int y = reload.get_y(); y < reload.get_y() + reload.get_height(); ++y)
        for (int x = reload.get_x(); x < reload.get_x() + reload.get_width(); ++x)
            accentFound = accentFound || near(shot.at(x, y), over(accent, 1.0), 6);
    EXPECT_TRUE(accentFound) << "no accent-coloured pixel in the reload button";
    // Exactly one accent pill: the selected second one.
    for (std::size_t i = 0; i < app->tabs.size(); ++i)
        EXPECT_PRED3(near, painted(*app->tabs[i]->pill, 3, 14), i == 1 ? over(accent, 0.24) : base,
                     3)
            << "pill " << i;
}

} // namespace
} // namespace vesk::test
