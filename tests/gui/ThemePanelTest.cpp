#include "GuiTest.h"

#include "platform/ColorRgba.h"
#include "theme/ThemeSettings.h"
#include "theme/UserDefaults.h"

namespace vesk::test {
namespace {

const Color kOceanBackground = Color::rgb(0.05, 0.11, 0.16, 1.0);
const Color kOceanAccent = Color::rgb(0.22, 0.79, 0.86, 1.0);
const Color kSunsetBackground = Color::rgb(0.15, 0.07, 0.10, 1.0);
const Color kSunsetAccent = Color::rgb(1.0, 0.53, 0.30, 1.0);

// The panel's views, in the order they were added.
struct ThemePanelViews {
    Gtk::Label* title = nullptr;
    Gtk::Button* close = nullptr;
    Gtk::Box* presetStack = nullptr;
    Gtk::Label* customLabel = nullptr;
    Gtk::Box* customStack = nullptr;
};

class ThemePanelTest : public GuiTest {
protected:
    ThemePanelViews views() {
        ThemePanelViews v;
        const auto children = app->themePanel->subviews();
        EXPECT_EQ(children.size(), 5u);
        if (children.size() != 5)
            return v;
        v.title = dynamic_cast<Gtk::Label*>(children[0]);
        v.close = dynamic_cast<Gtk::Button*>(children[1]);
        v.presetStack = dynamic_cast<Gtk::Box*>(children[2]);
        v.customLabel = dynamic_cast<Gtk::Label*>(children[3]);
        v.customStack = dynamic_cast<Gtk::Box*>(children[4]);
        return v;
    }

    Gtk::Button* presetButton(const std::string& title) {
        for (auto* button : descendants<Gtk::Button>(*views().presetStack))
            if (button->get_label().raw() == title)
                return button;
        ADD_FAILURE() << "no preset button " << title;
        return nullptr;
    }

    Gtk::Button* applyCustomButton() {
        auto buttons = descendants<Gtk::Button>(*views().customStack);
        for (auto* button : buttons)
            if (button->get_label() == "Apply Custom")
                return button;
        ADD_FAILURE() << "no Apply Custom button";
        return nullptr;
    }

    static Gdk::RGBA rgba(const Color& c) { return toRgba(c, nullptr); }

    bool isInGlass(Gtk::Widget* view) {
        for (Gtk::Widget* child : app->glass->subviews())
            if (child == view)
                return true;
        return false;
    }
};

#define EXPECT_COLOR(actual, expected)                                                             \
    EXPECT_TRUE(nearColor((actual), (expected)))                                                   \
        << "got " << (actual).to_string() << ", expected " << (expected).to_string()

TEST_F(ThemePanelTest, BuildsItsViewsInOrder) {
    launch();
    app->toggleThemePanel();
    ASSERT_NE(app->themePanel, nullptr);
    ASSERT_NE(app->themeBackgroundWell, nullptr);
    ASSERT_NE(app->themeAccentWell, nullptr);
    const ThemePanelViews v = views();
    ASSERT_NE(v.title, nullptr);
    ASSERT_NE(v.close, nullptr);
    ASSERT_NE(v.presetStack, nullptr);
    ASSERT_NE(v.customLabel, nullptr);
    ASSERT_NE(v.customStack, nullptr);
    EXPECT_EQ(v.title->get_text(), "Themes");
    EXPECT_EQ(v.customLabel->get_text(), "Custom");

    std::vector<std::string> presets;
    for (auto* button : descendants<Gtk::Button>(*v.presetStack))
        presets.push_back(button->get_label());
    EXPECT_EQ(presets, (std::vector<std::string>{"System", "Light", "Dark", "Ocean", "Sunset"}));

    std::vector<Gtk::Widget*> custom;
    for (Gtk::Widget* c = v.customStack->get_first_child(); c; c = c->get_next_sibling())
        custom.push_back(c);
    ASSERT_EQ(custom.size(), 5u);
    EXPECT_EQ(dynamic_cast<Gtk::Label*>(custom[0])->get_text(), "Background");
    EXPECT_EQ(custom[1], app->themeBackgroundWell);
    EXPECT_EQ(dynamic_cast<Gtk::Label*>(custom[2])->get_text(), "Accent");
    EXPECT_EQ(custom[3], app->themeAccentWell);
    EXPECT_EQ(dynamic_cast<Gtk::Button*>(custom[4])->get_label(), "Apply Custom");
}

TEST_F(ThemePanelTest, HangsBelowTheAddressFieldAndHoldsAllItsContent) {
    launch();
    app->toggleThemePanel();
    pump(std::chrono::milliseconds(250));
    const auto panel = frameOf(*app->themePanel);
    const auto addr = frameOf(*app->addr);
    EXPECT_EQ(panel.get_width(), 280);
    EXPECT_GE(panel.get_height(), 320);
    EXPECT_EQ(panel.get_y(), addr.get_y() + addr.get_height() + 10);
    EXPECT_EQ(panel.get_x() + panel.get_width(), app->glass->get_width() - 20);

    const ThemePanelViews v = views();
    const auto title = v.title->get_allocation();
    const auto close = v.close->get_allocation();
    const auto presets = v.presetStack->get_allocation();
    const auto customLabel = v.customLabel->get_allocation();
    const auto custom = v.customStack->get_allocation();
    EXPECT_EQ(title.get_x(), 12);
    EXPECT_EQ(title.get_y(), 12);
    EXPECT_EQ(close.get_x() + close.get_width(), 280 - 12);
    EXPECT_EQ(close.get_y(), 12);
    EXPECT_EQ(close.get_width(), 22);
    EXPECT_EQ(close.get_height(), 22);
    EXPECT_EQ(presets.get_y(), title.get_y() + title.get_height() + 12);
    EXPECT_EQ(presets.get_x(), 12);
    EXPECT_EQ(presets.get_width(), 280 - 24);
    EXPECT_EQ(customLabel.get_y(), presets.get_y() + presets.get_height() + 14);
    EXPECT_EQ(customLabel.get_x(), 12);
    EXPECT_EQ(custom.get_y(), customLabel.get_y() + customLabel.get_height() + 8);
    EXPECT_EQ(custom.get_x(), 12);
    EXPECT_EQ(custom.get_width(), 280 - 24);
    // Every control can be reached: nothing is cut off at the panel's bottom.
    EXPECT_LE(custom.get_y() + custom.get_height(), panel.get_height() - 12);
    Gtk::Button* apply = applyCustomButton();
    ASSERT_NE(apply, nullptr);
    EXPECT_GT(apply->get_allocation().get_height(), 0);
}

TEST_F(ThemePanelTest, OceanShowsItsColours) {
    launch();
    app->applyThemeNamed("ocean", std::nullopt, std::nullopt, SaveTheme::No);
    app->toggleThemePanel();
    EXPECT_COLOR(app->themeBackgroundWell->get_rgba(), rgba(kOceanBackground));
    EXPECT_COLOR(app->themeAccentWell->get_rgba(), rgba(kOceanAccent));

    const ThemePanelViews v = views();
    const Gdk::RGBA white = rgba(Color::whiteColor());
    const Gdk::RGBA muted = rgba(Color::genericWhite(0.86, 1.0));
    EXPECT_COLOR(*attributeColorOf(*v.title), white);
    EXPECT_COLOR(*attributeColorOf(*v.customLabel), white);
    auto labels = descendants<Gtk::Label>(*v.customStack);
    ASSERT_GE(labels.size(), 2u);
    EXPECT_COLOR(*attributeColorOf(*labels[0]), muted);
    for (auto* button : descendants<Gtk::Button>(*v.presetStack))
        EXPECT_COLOR(*attributeColorOf(*button), rgba(kOceanAccent));
    EXPECT_COLOR(*attributeColorOf(*applyCustomButton()), rgba(kOceanAccent));
}

TEST_F(ThemePanelTest, UnderSystemTheWellsShowTheSystemColours) {
    launch();
    ASSERT_EQ(app->themeName, "system");
    app->toggleThemePanel();
    EXPECT_COLOR(app->themeBackgroundWell->get_rgba(),
                 rgba(Color::named(NamedColor::WindowBackground)));
    EXPECT_COLOR(app->themeAccentWell->get_rgba(), rgba(Color::named(NamedColor::ControlAccent)));
}

TEST_F(ThemePanelTest, APresetKeepsTheEarlierColoursInTheWells) {
    launch();
    app->applyThemeNamed("dark", std::nullopt, std::nullopt, SaveTheme::No);
    app->toggleThemePanel();
    click(*presetButton("Sunset"));

    EXPECT_EQ(app->themeName, "sunset");
    EXPECT_EQ(*app->themeBackgroundColor, kSunsetBackground);
    EXPECT_EQ(*app->themeAccentColor, kSunsetAccent);
    // The wells show the dark theme's colours, everything else the sunset ones.
    EXPECT_COLOR(app->themeBackgroundWell->get_rgba(), rgba(Color::calibratedWhite(0.08, 1.0)));
    EXPECT_COLOR(app->themeAccentWell->get_rgba(), rgba(Color::named(NamedColor::SystemBlue)));
    const StoredTheme stored = readStoredTheme(UserDefaults::standard());
    EXPECT_EQ(stored.name, "sunset");
    EXPECT_EQ(stored.customBackground, kSunsetBackground);
    EXPECT_EQ(stored.customAccent, kSunsetAccent);

    // A second press: now the wells show the sunset colours too.
    click(*presetButton("Sunset"));
    EXPECT_COLOR(app->themeBackgroundWell->get_rgba(), rgba(kSunsetBackground));
    EXPECT_COLOR(app->themeAccentWell->get_rgba(), rgba(kSunsetAccent));
}

TEST_F(ThemePanelTest, OpenPanelTextKeepsItsColoursUntilReopened) {
    launch();
    app->applyThemeNamed("ocean", std::nullopt, std::nullopt, SaveTheme::No);
    app->toggleThemePanel();
    click(*presetButton("Light"));
    EXPECT_EQ(app->themeName, "light");
    EXPECT_COLOR(*attributeColorOf(*views().title), rgba(Color::whiteColor()));
    EXPECT_COLOR(app->themeBackgroundWell->get_rgba(), rgba(kOceanBackground));

    app->toggleThemePanel();
    app->toggleThemePanel();
    EXPECT_COLOR(*attributeColorOf(*views().title), rgba(Color::named(NamedColor::Label)));
    EXPECT_COLOR(app->themeBackgroundWell->get_rgba(), rgba(Color::calibratedWhite(0.98, 1.0)));
}

TEST_F(ThemePanelTest, ChangingAWellAppliesAndSavesCustomAtOnce) {
    launch();
    app->applyThemeNamed("ocean", std::nullopt, std::nullopt, SaveTheme::No);
    app->toggleThemePanel();
    app->themeAccentWell->set_rgba(Gdk::RGBA(1.0, 0.0, 0.0, 1.0));
    g_signal_emit_by_name(app->themeAccentWell->gobj(), "color-set");

    EXPECT_EQ(app->themeName, "custom");
    EXPECT_EQ(*app->themeAccentColor, Color::rgb(1.0, 0.0, 0.0, 1.0));
    const StoredTheme stored = readStoredTheme(UserDefaults::standard());
    EXPECT_EQ(stored.name, "custom");
    EXPECT_EQ(stored.customAccent, Color::rgb(1.0, 0.0, 0.0, 1.0));
    EXPECT_COLOR(rgba(stored.customBackground), rgba(kOceanBackground));

    app->themeBackgroundWell->set_rgba(Gdk::RGBA(0.9, 0.9, 0.9, 1.0));
    g_signal_emit_by_name(app->themeBackgroundWell->gobj(), "color-set");
    EXPECT_COLOR(rgba(*app->themeBackgroundColor), Gdk::RGBA(0.9, 0.9, 0.9, 1.0));
}

TEST_F(ThemePanelTest, ApplyCustomTakesBothWells) {
    launch();
    app->toggleThemePanel();
    click(*presetButton("Ocean"));
    ASSERT_EQ(app->themeName, "ocean");
    app->themeBackgroundWell->set_rgba(Gdk::RGBA(0.2, 0.4, 0.6, 1.0));
    app->themeAccentWell->set_rgba(Gdk::RGBA(1.0, 0.45, 0.0, 1.0));
    click(*applyCustomButton());
    EXPECT_EQ(app->themeName, "custom");
    EXPECT_COLOR(rgba(*app->themeBackgroundColor), Gdk::RGBA(0.2, 0.4, 0.6, 1.0));
    EXPECT_COLOR(rgba(*app->themeAccentColor), Gdk::RGBA(1.0, 0.45, 0.0, 1.0));
    EXPECT_EQ(readStoredTheme(UserDefaults::standard()).name, "custom");
}

TEST_F(ThemePanelTest, ClosingClearsAtOnceAndTheFadingPanelIsLeftAlone) {
    launch();
    app->applyThemeNamed("ocean", std::nullopt, std::nullopt, SaveTheme::No);
    app->toggleThemePanel();
    ConstraintView* first = app->themePanel;
    Gtk::ColorButton* firstWell = app->themeBackgroundWell;

    app->toggleThemePanel();
    EXPECT_EQ(app->themePanel, nullptr);
    EXPECT_EQ(app->themeBackgroundWell, nullptr);
    EXPECT_EQ(app->themeAccentWell, nullptr);
    ASSERT_TRUE(isInGlass(first)) << "the panel fades out before it goes";
    // An apply during the fade-out no longer reaches the old wells.
    app->applyThemeNamed("light", std::nullopt, std::nullopt, SaveTheme::No);
    EXPECT_COLOR(firstWell->get_rgba(), rgba(kOceanBackground));

    // Pressed again during the fade: a fresh panel; the old one still goes.
    app->toggleThemePanel();
    ASSERT_NE(app->themePanel, nullptr);
    EXPECT_NE(app->themePanel, first);
    EXPECT_TRUE(waitUntil([&] { return !isInGlass(first); }, std::chrono::seconds(2)));
    EXPECT_TRUE(isInGlass(app->themePanel));

    // The close button closes it too.
    click(*views().close);
    EXPECT_EQ(app->themePanel, nullptr);
}

} // namespace
} // namespace vesk::test
