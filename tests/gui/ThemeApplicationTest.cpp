#include <filesystem>

#include "GuiTest.h"
#include "Snapshot.h"
#include "history/HistoryPanel.h"
#include "store/VeskStore.h"
#include "theme/ThemeController.h"
#include "theme/ThemePanel.h"
#include "theme/ThemeSettings.h"
#include "widgets/ColorRgba.h"

namespace vesk::test {
namespace {

class ThemeApplicationTest : public GuiTest {
protected:
    static Gdk::RGBA styleColor(Gtk::Widget& w) { return w.get_style_context()->get_color(); }
    // The colours of the symbols of an open panel's icon buttons.
    static std::vector<std::string> iconColours(FloatingPanel& panel) {
        std::vector<std::string> out;
        for (auto* button : descendants<Gtk::Button>(*panel.view()))
            if (!button->get_icon_name().empty())
                out.push_back(styleColor(*button->get_child()).to_string());
        return out;
    }
    // The theme as the defaults file holds it once the store's writes are on disk.
    static StoredTheme storedTheme() {
        VeskStore::shared().writePending(std::chrono::seconds(3));
        return readStoredTheme(UserDefaults::load(VeskStore::shared().defaultsFile()));
    }
    // Applies the theme, checking that the toolbar's symbols did take its colours.
    void apply(const std::string& theme) {
        const Gdk::RGBA before = styleColor(*toolbar().reload().get_child());
        app->theme().applyThemeNamed(theme, std::nullopt, std::nullopt, SaveTheme::No);
        waitForRedraw();
        EXPECT_NE(styleColor(*toolbar().reload().get_child()), before) << theme;
    }
};

TEST_F(ThemeApplicationTest, SavedThemePaintsTheNextStartAndThePanelSavesPresetsAndCustom) {
    launch();
    EXPECT_EQ(app->theme().themeName(), "system");
    EXPECT_FALSE(std::filesystem::exists(home->configDir() / "Vesk")) << "the first start wrote";
    app->theme().applyThemeNamed("ocean", std::nullopt, std::nullopt, SaveTheme::Yes);
    app.reset();
    // As a quit does, the next start waits for the store's writes.
    ASSERT_TRUE(VeskStore::shared().writePending(std::chrono::seconds(3)));
    runPending();
    launch();
    EXPECT_EQ(app->theme().themeName(), "ocean");
    app->tabs().addNewTab();
    app->tabs().addNewTab();
    app->tabs().select(1);
    // The web area's own colour shows where no page covers it.
    app->tabs().current()->web().widget().set_visible(false);
    waitForRedraw();
    const Pixel base = composite(0.05, 0.11, 0.16, 1.0, Pixel{0, 0, 0, 255});
    const auto painted = [&](Gtk::Widget& widget, int dx, int dy) {
        const auto f = frameOf(widget);
        return paintedAt(window(), f.get_x() + dx, f.get_y() + dy);
    };
    EXPECT_PRED2(near, painted(glass(), 640, 30), base);
    EXPECT_PRED2(near, painted(app->window().webContainer(), 300, 200),
                 composite(0.08, 0.16, 0.22, 0.9, base));
    // The address field, away from its (empty, centred) text.
    EXPECT_PRED2(near, painted(addressEntry(), 40, 14), composite(0.08, 0.16, 0.22, 0.8, base));
    // Exactly one accent pill: the selected second one.
    const Pixel accentPill = composite(0.22, 0.79, 0.86, 0.24, base);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_PRED2(near, painted(tab(i).pill(), 3, 14), i == 1 ? accentPill : base) << i;

    // The panel's wells open with the colours in force, and a preset leaves them.
    app->theme().toggleThemePanel();
    waitForRedraw();
    ThemePanel& themes = app->themePanel();
    const auto wells = [&] {
        return themes.backgroundWell()->get_rgba().to_string() + " " +
               themes.accentWell()->get_rgba().to_string();
    };
    EXPECT_EQ(wells(), "rgb(13,28,41) rgb(56,201,219)");
    for (auto* button : descendants<Gtk::Button>(*themes.view()))
        if (button->get_label() == "Sunset")
            click(*button);
    EXPECT_EQ(app->theme().themeName(), "sunset");
    EXPECT_EQ(wells(), "rgb(13,28,41) rgb(56,201,219)");
    StoredTheme stored = storedTheme();
    EXPECT_EQ(stored.name, "sunset");
    EXPECT_EQ(stored.customBackground, Color::rgb(0.15, 0.07, 0.10, 1.0));
    EXPECT_EQ(stored.customAccent, Color::rgb(1.0, 0.53, 0.30, 1.0));
    // Setting a well applies custom from both wells at once, and saves it.
    const Color red = Color::rgb(1.0, 0.0, 0.0, 1.0);
    themes.accentWell()->set_rgba(toRgba(red, nullptr));
    g_signal_emit_by_name(themes.accentWell()->gobj(), "color-set");
    EXPECT_EQ(app->theme().colors().accent, red);
    stored = storedTheme();
    EXPECT_EQ(stored.name, "custom");
    EXPECT_EQ(stored.customAccent, red);
    EXPECT_EQ(toRgba(stored.customBackground, nullptr).to_string(), "rgb(13,28,41)");
}

// The panels' own texts and icons keep the colours they were built with while themes are
// applied under them; a named colour still follows light and dark.
TEST_F(ThemeApplicationTest, OpenPanelsKeepTheirColoursAcrossApplies) {
    launch();
    app->theme().applyThemeNamed("light", std::nullopt, std::nullopt, SaveTheme::No);
    app->theme().toggleThemePanel();
    waitForRedraw();
    std::vector<Gtk::Label*> headings;
    for (Gtk::Label* label : descendants<Gtk::Label>(*app->themePanel().view()))
        if (label->get_text() == "Themes" || label->get_text() == "Custom")
            headings.push_back(label);
    ASSERT_EQ(headings.size(), 2u);
    for (Gtk::Label* label : headings)
        EXPECT_LT(styleColor(*label).get_red(), 0.3) << label->get_text() << " under light";
    // Under dark the open panel turns dark, and its headings light.
    app->theme().applyThemeNamed("dark", std::nullopt, std::nullopt, SaveTheme::No);
    waitForRedraw();
    ConstraintView& panel = *app->themePanel().view();
    EXPECT_LT(paintedAt(panel, 6, panel.get_height() / 2).r, 80);
    for (Gtk::Label* label : headings)
        EXPECT_GT(styleColor(*label).get_red(), 0.9) << label->get_text();
    const auto icons = iconColours(app->themePanel()); // close
    ASSERT_EQ(icons.size(), 1u);
    for (const char* theme : {"ocean", "sunset"}) {
        apply(theme);
        EXPECT_EQ(iconColours(app->themePanel()), icons) << theme;
    }
    app->history().toggleHistory();
    waitForRedraw();
    const auto historyIcons = iconColours(app->historyPanel()); // trash and close
    ASSERT_EQ(historyIcons.size(), 2u);
    apply("ocean");
    EXPECT_EQ(iconColours(app->historyPanel()), historyIcons);
}

// Under the system look the panels stay translucent white when the desktop turns dark;
// every text on them, and the address field's, still reads on its surface.
TEST_F(ThemeApplicationTest, TextsReadOnTheirSurfacesOnLightAndDarkDesktops) {
    GSettings* gnome = desktopSettingsInMemory();
    ASSERT_TRUE(gnome);
    g_settings_set_string(gnome, "color-scheme", "default");
    VeskStore::shared().addHistory("https://news.example/today", std::string("Morning news"));
    ASSERT_TRUE(VeskStore::shared().writePending(std::chrono::seconds(3)));
    launch();
    addressEntry().set_text("news.example/today");

    for (const ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        const char* look = scheme == ColorScheme::Dark ? "dark" : "light";
        if (scheme == ColorScheme::Dark)
            g_settings_set_string(gnome, "color-scheme", "prefer-dark");
        ASSERT_TRUE(waitUntil([&] { return app->theme().scheme() == scheme; })) << look;
        waitForRedraw();
        const auto readable = [&](Gtk::Widget& widget) {
            return paintedTextContrast(window(), widget);
        };
        EXPECT_GE(readable(addressEntry()), kMinimumTextContrast) << "address field, " << look;

        app->history().toggleHistory();
        waitForRedraw();
        HistoryPanel& history = app->historyPanel();
        history.searchField()->set_text("news");
        waitForRedraw();
        EXPECT_GE(readable(*history.searchField()), kMinimumTextContrast) << "search, " << look;
        ASSERT_EQ(history.shownRowButtons().size(), 1u);
        EXPECT_GE(readable(*history.shownRowButtons().front()), kMinimumTextContrast)
            << "history row, " << look;

        app->theme().toggleThemePanel();
        waitForRedraw();
        int measured = 0;
        for (Gtk::Label* label : descendants<Gtk::Label>(*app->themePanel().view())) {
            const std::string text = label->get_text();
            if (text != "Themes" && text != "System" && text != "Accent")
                continue;
            // A button's label is measured on the button's fill.
            Gtk::Widget& area = text == "System" ? *label->get_parent() : *label;
            EXPECT_GE(readable(area), kMinimumTextContrast) << text << ", " << look;
            ++measured;
        }
        EXPECT_EQ(measured, 3);
        app->theme().toggleThemePanel();
        waitForRedraw();
    }
    g_object_unref(gnome);
}

} // namespace
} // namespace vesk::test
