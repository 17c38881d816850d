#include "theme/ThemePanel.h"

#include <algorithm>

#include <gtkmm/box.h>
#include <gtkmm/label.h>

#include "widgets/ColorRgba.h"
#include "widgets/IconButton.h"
#include "widgets/Text.h"

namespace vesk {

namespace {

constexpr double kPanelWidth = 280;
constexpr double kMinPanelHeight = 320;
constexpr double kInset = 12;
constexpr double kButtonSize = 22;
constexpr double kPresetsTopGap = 12;
constexpr double kCustomTopGap = 14;
constexpr double kCustomStackGap = 8;
constexpr int kStackSpacing = 8;

struct Preset {
    const char* title;
    const char* themeName;
};
constexpr Preset kPresets[] = {{"System", "system"},
                               {"Light", "light"},
                               {"Dark", "dark"},
                               {"Ocean", "ocean"},
                               {"Sunset", "sunset"}};

Gtk::Requisition naturalSize(Gtk::Widget& widget) {
    Gtk::Requisition minimum, natural;
    widget.get_preferred_size(minimum, natural);
    return natural;
}

// A panel text in its font and one of the panel's text styles, whose colours the
// theme's style sheet chooses to read on the panel under the look in force.
template <typename W>
W* panelText(W* widget, double pointSize, FontWeight weight, const char* style) {
    setVeskFont(*widget, pointSize, weight);
    widget->add_css_class(style);
    return widget;
}

constexpr const char* kTextStyle = "vesk-panel-text";
constexpr const char* kMutedStyle = "vesk-panel-muted";
constexpr const char* kButtonStyle = "vesk-panel-button";

} // namespace

ThemePanel::ThemePanel(ConstraintView& glass, Gtk::Widget& anchor, FloatingPanelGroup& group)
    : FloatingPanel(glass, anchor, group, "vesk-theme-panel") {}

void ThemePanel::open(const ThemeColors& colors, const Color& wellBackground,
                      const Color& wellAccent) {
    FloatingPanel::open(kPanelWidth, [&](ConstraintView& panel) {
        return fill(panel, colors, wellBackground, wellAccent);
    });
}

double ThemePanel::fill(ConstraintView& panel, const ThemeColors& colors,
                        const Color& wellBackground, const Color& wellAccent) {
    auto* title =
        panelText(Gtk::make_managed<Gtk::Label>("Themes"), 14, FontWeight::Semibold, kTextStyle);
    Gtk::Button* close = iconBtn("window-close-symbolic", "Close Themes");
    setFixedColor(*close, colors.accent);
    close->signal_clicked().connect(sigc::mem_fun(*this, &ThemePanel::close));

    auto* presetStack = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, kStackSpacing);
    for (const Preset& preset : kPresets) {
        auto* button = panelText(Gtk::make_managed<Gtk::Button>(preset.title), 12,
                                 FontWeight::Medium, kButtonStyle);
        button->signal_clicked().connect(
            [this, name = std::string(preset.themeName)] { presetChosen_.emit(name); });
        presetStack->append(*button);
    }

    auto* customLabel =
        panelText(Gtk::make_managed<Gtk::Label>("Custom"), 12, FontWeight::Semibold, kTextStyle);
    auto* backgroundLabel = panelText(Gtk::make_managed<Gtk::Label>("Background"), 11,
                                      FontWeight::Regular, kMutedStyle);
    auto* accentLabel =
        panelText(Gtk::make_managed<Gtk::Label>("Accent"), 11, FontWeight::Regular, kMutedStyle);

    backgroundWell_ = Gtk::make_managed<Gtk::ColorButton>();
    accentWell_ = Gtk::make_managed<Gtk::ColorButton>();
    setWellColors(wellBackground, wellAccent);
    for (Gtk::ColorButton* well : {backgroundWell_, accentWell_}) {
        well->add_css_class(kButtonStyle);
        well->signal_color_set().connect(sigc::mem_fun(*this, &ThemePanel::onCustomChosen));
    }

    auto* apply = panelText(Gtk::make_managed<Gtk::Button>("Apply Custom"), 12, FontWeight::Medium,
                            kButtonStyle);
    apply->signal_clicked().connect(sigc::mem_fun(*this, &ThemePanel::onCustomChosen));

    auto* customStack = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, kStackSpacing);
    for (Gtk::Widget* view : std::initializer_list<Gtk::Widget*>{backgroundLabel, backgroundWell_,
                                                                 accentLabel, accentWell_, apply})
        customStack->append(*view);

    panel.addChild(*title);
    panel.addChild(*close);
    panel.addChild(*presetStack);
    panel.addChild(*customLabel);
    panel.addChild(*customStack);

    // Views placed by an edge alone keep their natural size: the layout holds a
    // child to it only while measuring, not while placing it.
    const Gtk::Requisition titleSize = naturalSize(*title);
    const Gtk::Requisition customLabelSize = naturalSize(*customLabel);
    const int presetHeight = naturalSize(*presetStack).get_height();
    const int customHeight = naturalSize(*customStack).get_height();
    // Taller than the usual height when the content needs it, so that the
    // accent well and "Apply Custom" can always be reached.
    const double contentBottom = kInset + titleSize.get_height() + kPresetsTopGap + presetHeight +
                                 kCustomTopGap + customLabelSize.get_height() + kCustomStackGap +
                                 customHeight + kInset;

    Gtk::Widget* p = nullptr; // the panel itself
    activateConstraints(panel.constraintLayout(),
                        {
                            constrain(top(title), top(p), kInset),
                            constrain(leading(title), leading(p), kInset),
                            constrain(trailing(close), trailing(p), -kInset),
                            constrain(top(close), top(p), kInset),
                            constrain(width(close), kButtonSize),
                            constrain(height(close), kButtonSize),
                            constrain(top(presetStack), bottom(title), kPresetsTopGap),
                            constrain(leading(presetStack), leading(p), kInset),
                            constrain(trailing(presetStack), trailing(p), -kInset),
                            constrain(top(customLabel), bottom(presetStack), kCustomTopGap),
                            constrain(leading(customLabel), leading(p), kInset),
                            constrain(top(customStack), bottom(customLabel), kCustomStackGap),
                            constrain(leading(customStack), leading(p), kInset),
                            constrain(trailing(customStack), trailing(p), -kInset),
                            constrain(width(title), titleSize.get_width()),
                            constrain(height(title), titleSize.get_height()),
                            constrain(height(presetStack), presetHeight),
                            constrain(width(customLabel), customLabelSize.get_width()),
                            constrain(height(customLabel), customLabelSize.get_height()),
                            constrain(height(customStack), customHeight),
                        });
    return std::max(kMinPanelHeight, contentBottom);
}

void ThemePanel::setWellColors(const Color& background, const Color& accent) {
    if (!backgroundWell_ || !accentWell_)
        return;
    backgroundWell_->set_rgba(toRgba(background, backgroundWell_));
    accentWell_->set_rgba(toRgba(accent, accentWell_));
}

void ThemePanel::forgetContent() {
    backgroundWell_ = nullptr;
    accentWell_ = nullptr;
}

void ThemePanel::onCustomChosen() {
    if (!backgroundWell_ || !accentWell_)
        return;
    customChosen_.emit(fromRgba(backgroundWell_->get_rgba()), fromRgba(accentWell_->get_rgba()));
}

} // namespace vesk
