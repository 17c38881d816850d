#pragma once

#include <string>

#include <gtkmm/colorbutton.h>
#include <sigc++/signal.h>

#include "theme/Theme.h"
#include "widgets/FloatingPanel.h"

namespace vesk {

// The floating theme picker: the presets, two colour wells and "Apply Custom".
// Its texts and buttons keep the colours they were built with.
class ThemePanel : public FloatingPanel {
public:
    ThemePanel(ConstraintView& glass, Gtk::Widget& anchor, FloatingPanelGroup& group);

    // Opens the panel in `colors`, the wells showing `wellBackground` and `wellAccent`.
    void open(const ThemeColors& colors, const Color& wellBackground, const Color& wellAccent);

    // Sets the wells of the open panel; nothing while closed.
    void setWellColors(const Color& background, const Color& accent);

    // The open panel's wells; null while closed.
    Gtk::ColorButton* backgroundWell() const { return backgroundWell_; }
    Gtk::ColorButton* accentWell() const { return accentWell_; }

    // A preset was pressed; the argument is its theme name ("system", "light", …).
    sigc::signal<void(const std::string&)>& signalPresetChosen() { return presetChosen_; }
    // A well was set, or "Apply Custom" pressed; the arguments are the wells' colours.
    sigc::signal<void(const Color&, const Color&)>& signalCustomChosen() { return customChosen_; }

private:
    void forgetContent() override;
    double fill(ConstraintView& panel, const ThemeColors& colors, const Color& wellBackground,
                const Color& wellAccent);
    void onCustomChosen();

    Gtk::ColorButton* backgroundWell_ = nullptr;
    Gtk::ColorButton* accentWell_ = nullptr;
    sigc::signal<void(const std::string&)> presetChosen_;
    sigc::signal<void(const Color&, const Color&)> customChosen_;
};

} // namespace vesk
