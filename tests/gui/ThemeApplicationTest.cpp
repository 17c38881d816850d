#include <algorithm>
#include <filesystem>
#include <map>

#include "GuiTest.h"
#include "Snapshot.h"
#include "history/HistoryPanel.h"
#include "platform/ColorRgba.h"
#include "store/UserDefaults.h"
#include "theme/ThemeController.h"
#include "theme/ThemePanel.h"
#include "theme/ThemeSettings.h"

namespace vesk::test {
namespace {

const Color kOceanBackground = Color::rgb(0.05, 0.11, 0.16, 1.0);
const Color kOceanAccent = Color::rgb(0.22, 0.79, 0.86, 1.0);

// The colour the style gives a widget now.
Gdk::RGBA styleColor(Gtk::Widget& widget) {
    return widget.get_style_context()->get_color();
}

class ThemeApplicationTest : public GuiTest {
protected:
    void apply(const std::string& theme) {
        app->applyThemeNamed(theme, std::nullopt, std::nullopt, SaveTheme::No);
        pump(std::chrono::milliseconds(100));
    }
    // Applies the theme and opens the theme panel under it.
    void openPanelUnder(const std::string& theme) {
        launch();
        apply(theme);
        app->toggleThemePanel();
        ASSERT_TRUE(app->themePanel().isOpen());
        pump(std::chrono::milliseconds(400));
    }

    void expectWells(const Color& background, const Color& accent) {
        for (auto [well, colour] : {std::pair{app->themePanel().backgroundWell(), background},
                                    std::pair{app->themePanel().accentWell(), accent}})
            EXPECT_TRUE(nearColor(well->get_rgba(), toRgba(colour, nullptr)))
                << "got " << well->get_rgba().to_string();
    }

    // The colours of the symbols of an open panel's icon buttons.
    static std::vector<std::string> iconColours(FloatingPanel& panel) {
        std::vector<std::string> out;
        for (auto* button : descendants<Gtk::Button>(*panel.view()))
            if (!button->get_icon_name().empty())
                out.push_back(styleColor(*button->get_child()).to_string());
        return out;
    }

    // Applies the theme, checking that the toolbar's symbols did take its colours.
    void applyRestylingToolbar(const std::string& theme) {
        const Gdk::RGBA before = styleColor(*toolbar().reload().get_child());
        apply(theme);
        EXPECT_NE(styleColor(*toolbar().reload().get_child()), before) << theme;
    }
};

TEST_F(ThemeApplicationTest, SavedThemePaintsTheChromeAtTheNextStart) {
    launch();
    EXPECT_EQ(app->theme().themeName(), "system");
    EXPECT_FALSE(std::filesystem::exists(home->configDir() / "Vesk")) << "the first start wrote";
    app->applyThemeNamed("ocean", std::nullopt, std::nullopt, SaveTheme::Yes);
    app.reset();
    pump(std::chrono::milliseconds(20));
    launch();
    EXPECT_EQ(app->theme().themeName(), "ocean");
    app->addNewTab();
    app->addNewTab();
    app->selectTab(1);
    // The web area's own colour shows where no page covers it.
    app->currentTab()->web().widget().set_visible(false);
    pump(std::chrono::milliseconds(120));

    const Pixel base = composite(0.05, 0.11, 0.16, 1.0, Pixel{0, 0, 0, 255});
    const auto panel = [&](double alpha) { return composite(0.08, 0.16, 0.22, alpha, base); };
    Snapshot shot(window());
    const auto painted = [&](Gtk::Widget& widget, int dx, int dy) {
        const auto f = frameOf(widget);
        return shot.at(f.get_x() + dx, f.get_y() + dy);
    };
    EXPECT_PRED3(near, painted(glass(), 640, 30), base, 3);
    EXPECT_PRED3(near, painted(app->window().webContainer(), 300, 200), panel(0.9), 3);
    // The address field, away from its (empty, centred) text.
    EXPECT_PRED3(near, painted(addressEntry(), 40, 14), panel(0.8), 3);
    // Exactly one accent pill: the selected second one.
    const Pixel accentPill = composite(0.22, 0.79, 0.86, 0.24, base);
    for (std::size_t i = 0; i < app->tabs().size(); ++i)
        EXPECT_PRED3(near, painted(tab(i).pill(), 3, 14), i == 1 ? accentPill : base, 3)
            << "pill " << i;
}

TEST_F(ThemeApplicationTest, PresetsLeaveTheWellsAndAWellAppliesAndSavesCustom) {
    // The wells open with the colours in force.
    openPanelUnder("ocean");
    expectWells(kOceanBackground, kOceanAccent);
    for (auto* button : descendants<Gtk::Button>(*app->themePanel().view()))
        if (button->get_label() == "Sunset")
            click(*button);
    const Color sunsetBackground = Color::rgb(0.15, 0.07, 0.10, 1.0);
    EXPECT_EQ(app->theme().themeName(), "sunset");
    EXPECT_EQ(app->theme().colors().background, sunsetBackground);
    expectWells(kOceanBackground, kOceanAccent);
    StoredTheme stored = readStoredTheme(UserDefaults::standard());
    EXPECT_EQ(stored.name, "sunset");
    EXPECT_EQ(stored.customBackground, sunsetBackground);
    EXPECT_EQ(stored.customAccent, Color::rgb(1.0, 0.53, 0.30, 1.0));

    // Setting a well applies custom from both wells at once, and saves it.
    const Color red = Color::rgb(1.0, 0.0, 0.0, 1.0);
    app->themePanel().accentWell()->set_rgba(toRgba(red, nullptr));
    g_signal_emit_by_name(app->themePanel().accentWell()->gobj(), "color-set");
    EXPECT_EQ(app->theme().themeName(), "custom");
    EXPECT_EQ(app->theme().colors().accent, red);
    stored = readStoredTheme(UserDefaults::standard());
    EXPECT_EQ(stored.name, "custom");
    EXPECT_EQ(stored.customAccent, red);
    EXPECT_TRUE(
        nearColor(toRgba(stored.customBackground, nullptr), toRgba(kOceanBackground, nullptr)));
}

// The panels' own texts and icons keep the colours they were built with while
// themes are applied under them; a named colour still follows light and dark.
TEST_F(ThemeApplicationTest, OpenPanelsKeepTheirColoursAcrossApplies) {
    openPanelUnder("light");
    std::map<std::string, Gtk::Label*> headings;
    for (Gtk::Label* label : descendants<Gtk::Label>(*app->themePanel().view()))
        if (label->get_text() == "Themes" || label->get_text() == "Custom")
            headings[label->get_text()] = label;
    ASSERT_EQ(headings.size(), 2u);
    for (auto [text, label] : headings)
        EXPECT_LT(styleColor(*label).get_red(), 0.3) << text << " under light";

    // Under dark the open panel turns dark, and its headings light.
    apply("dark");
    ConstraintView& panel = *app->themePanel().view();
    EXPECT_LT(Snapshot(panel).at(6, panel.get_height() / 2).r, 80);
    for (auto [text, label] : headings) {
        const Gdk::RGBA c = styleColor(*label);
        EXPECT_GT(std::min({c.get_red(), c.get_green(), c.get_blue()}), 0.9) << text;
    }
    const auto icons = iconColours(app->themePanel()); // close
    ASSERT_EQ(icons.size(), 1u);
    for (const char* theme : {"ocean", "sunset"}) {
        applyRestylingToolbar(theme);
        EXPECT_EQ(iconColours(app->themePanel()), icons) << theme;
    }

    app->toggleHistory();
    pump(std::chrono::milliseconds(400));
    const auto historyIcons = iconColours(app->historyPanel()); // trash and close
    ASSERT_EQ(historyIcons.size(), 2u);
    applyRestylingToolbar("ocean");
    EXPECT_EQ(iconColours(app->historyPanel()), historyIcons);
}

} // namespace
} // namespace vesk::test
