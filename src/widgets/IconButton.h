#pragma once

#include <string>

#include <gtkmm/button.h>

namespace vesk {

// A borderless symbolic-icon button tinted by the style sheets: the accent
// colour of the theme in force, system blue before any theme is applied.
// The caller owns nothing: the button is managed by whatever it is added to.
// `accessibleName` is what a screen reader says for it ("Back", "Close Tab").
Gtk::Button* iconBtn(const std::string& symbol, const char* accessibleName = nullptr);

// Gives a control without text the name a screen reader says for it; nothing on screen changes.
void setAccessibleName(Gtk::Widget& widget, const char* name);

} // namespace vesk
