#pragma once

#include <string>

#include <gtkmm/button.h>

namespace vesk {

// A borderless symbolic-icon button tinted by the style sheets: the accent
// colour of the theme in force, system blue before any theme is applied.
// The caller owns nothing: the button is managed by whatever it is added to.
Gtk::Button* iconBtn(const std::string& symbol);

} // namespace vesk
