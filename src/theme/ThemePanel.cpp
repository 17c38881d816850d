#include "app/AppDelegate.h"

#include <algorithm>

#include <gtkmm/label.h>

#include "platform/ColorRgba.h"
#include "platform/ConstraintView.h"

namespace vesk {

namespace {

constexpr double kPanelWidth = 280;
constexpr double kPanelHeight = 320;
constexpr const char* kPresetTitles[] = {"System", "Light", "Dark", "Ocean", "Sunset"};

Gtk::Requisition naturalSize(Gtk::Widget& widget) {
    Gtk::Requisition minimum, natural;
    widget.get_preferred_size(minimum, natural);
    return natural;
}

} // namespace

void AppDelegate::toggleThemePanel() {
    if (historyPanel)
        closeHistoryPanel();
    if (themePanel) {
        closeThemePanel();
        return;
    }
    buildThemePanel();
    animateFadeInView(*themePanel);
}

void AppDelegate::buildThemePanel() {
    auto* panel = Gtk::make_managed<ConstraintView>("vesk-panel");
    panel->add_css_class("vesk-theme-panel");
    panel->set_overflow(Gtk::Overflow::HIDDEN);
    themePanel = panel;
    glass->addSubview(*panel);

    // Colours as they stand now; the panel's text keeps them until it is built again.
    const Gdk::RGBA text =
        toRgba(themeTextColor.value_or(Color::named(NamedColor::Label)), window.get());
    const Gdk::RGBA muted = toRgba(
        themeMutedTextColor.value_or(Color::named(NamedColor::SecondaryLabel)), window.get());
    const Gdk::RGBA accent =
        toRgba(themeAccentColor.value_or(Color::named(NamedColor::SystemBlue)), window.get());

    auto* title = Gtk::make_managed<Gtk::Label>("Themes");
    setPanelText(*title, 14, FontWeight::Semibold, text);
    Gtk::Button* close = iconBtn("window-close-symbolic", &AppDelegate::closeThemePanel);

    std::vector<Gtk::Button*> presets;
    for (const char* name : kPresetTitles) {
        auto* preset = Gtk::make_managed<Gtk::Button>(name);
        preset->add_css_class("vesk-panel-button");
        setPanelText(*preset, 12, FontWeight::Medium, accent);
        preset->signal_clicked().connect([this, preset] { applyThemePreset(preset); });
        presets.push_back(preset);
    }

    auto* customLabel = Gtk::make_managed<Gtk::Label>("Custom");
    setPanelText(*customLabel, 12, FontWeight::Semibold, text);
    auto* backgroundLabel = Gtk::make_managed<Gtk::Label>("Background");
    setPanelText(*backgroundLabel, 11, FontWeight::Regular, muted);
    auto* accentLabel = Gtk::make_managed<Gtk::Label>("Accent");
    setPanelText(*accentLabel, 11, FontWeight::Regular, muted);

    // The wells start with the colours in force, not with the stored custom ones.
    themeBackgroundWell = Gtk::make_managed<Gtk::ColorButton>();
    themeBackgroundWell->set_rgba(
        toRgba(themeBackgroundColor.value_or(defaultCustomBackground()), window.get()));
    themeBackgroundWell->signal_color_set().connect(
        sigc::mem_fun(*this, &AppDelegate::applyCustomTheme));
    themeAccentWell = Gtk::make_managed<Gtk::ColorButton>();
    themeAccentWell->set_rgba(
        toRgba(themeAccentColor.value_or(defaultCustomAccent()), window.get()));
    themeAccentWell->signal_color_set().connect(
        sigc::mem_fun(*this, &AppDelegate::applyCustomTheme));
    for (Gtk::ColorButton* well : {themeBackgroundWell, themeAccentWell})
        well->add_css_class("vesk-panel-button");

    auto* apply = Gtk::make_managed<Gtk::Button>("Apply Custom");
    apply->add_css_class("vesk-panel-button");
    setPanelText(*apply, 12, FontWeight::Medium, accent);
    apply->signal_clicked().connect(sigc::mem_fun(*this, &AppDelegate::applyCustomTheme));

    auto* presetStack = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 8);
    for (Gtk::Button* preset : presets)
        presetStack->append(*preset);
    auto* customStack = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 8);
    for (Gtk::Widget* view : std::initializer_list<Gtk::Widget*>{
             backgroundLabel, themeBackgroundWell, accentLabel, themeAccentWell, apply})
        customStack->append(*view);

    panel->addSubview(*title);
    panel->addSubview(*close);
    panel->addSubview(*presetStack);
    panel->addSubview(*customLabel);
    panel->addSubview(*customStack);

    // Views placed by an edge alone keep their natural size: the layout holds a
    // child to it only while measuring, not while placing it.
    const Gtk::Requisition titleSize = naturalSize(*title);
    const Gtk::Requisition customLabelSize = naturalSize(*customLabel);
    const int presetHeight = naturalSize(*presetStack).get_height();
    const int customHeight = naturalSize(*customStack).get_height();
    // At least the described height, and taller when the content needs it: cut off
    // at 320, the accent well and the "Apply Custom" button could not be reached.
    const double contentBottom = 12 + titleSize.get_height() + 12 + presetHeight + 14 +
                                 customLabelSize.get_height() + 8 + customHeight + 12;

    themePanelConstraints_ = {
        constrain(top(panel), bottom(addr), 10),                         // 1
        constrain(trailing(panel), trailing(nullptr), -20),              // 2
        constrain(width(panel), kPanelWidth),                            // 3
        constrain(height(panel), std::max(kPanelHeight, contentBottom)), // 4
    };
    activateConstraints(glass->constraintLayout(), themePanelConstraints_);
    activateConstraints(panel->constraintLayout(),
                        {
                            constrain(top(title), top(nullptr), 12),                  // 5
                            constrain(leading(title), leading(nullptr), 12),          // 6
                            constrain(trailing(close), trailing(nullptr), -12),       // 7
                            constrain(top(close), top(nullptr), 12),                  // 8
                            constrain(width(close), 22),                              // 9
                            constrain(height(close), 22),                             // 10
                            constrain(top(presetStack), bottom(title), 12),           // 11
                            constrain(leading(presetStack), leading(nullptr), 12),    // 12
                            constrain(trailing(presetStack), trailing(nullptr), -12), // 13
                            constrain(top(customLabel), bottom(presetStack), 14),     // 14
                            constrain(leading(customLabel), leading(nullptr), 12),    // 15
                            constrain(top(customStack), bottom(customLabel), 8),      // 16
                            constrain(leading(customStack), leading(nullptr), 12),    // 17
                            constrain(trailing(customStack), trailing(nullptr), -12), // 18
                            constrain(width(title), titleSize.get_width()),
                            constrain(height(title), titleSize.get_height()),
                            constrain(height(presetStack), presetHeight),
                            constrain(width(customLabel), customLabelSize.get_width()),
                            constrain(height(customLabel), customLabelSize.get_height()),
                            constrain(height(customStack), customHeight),
                        });
}

void AppDelegate::closeThemePanel() {
    if (!themePanel)
        return;
    ConstraintView* panel = themePanel;
    themePanel = nullptr;
    themeBackgroundWell = nullptr;
    themeAccentWell = nullptr;
    // A closed panel takes no more clicks while it fades.
    panel->set_can_target(false);
    animateFadeOutAndRemoveView(*panel, [this, placement = std::move(themePanelConstraints_)] {
        deactivateConstraints(glass->constraintLayout(), placement);
    });
    themePanelConstraints_.clear();
}

} // namespace vesk
