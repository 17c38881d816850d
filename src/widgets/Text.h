#pragma once

#include <gtkmm/label.h>
#include <gtkmm/widget.h>
#include <pangomm/fontdescription.h>

#include "base/Color.h"

namespace vesk {

// Font weights used by the chrome's labels.
enum class FontWeight { Regular = 400, Medium = 500, Semibold = 600, Bold = 700 };

// The system font at a size (in points, one point per logical pixel) and weight.
Pango::FontDescription veskFont(double pointSize, FontWeight weight);

// The label itself, or a text button's label; nothing for other widgets.
Gtk::Label* labelOf(Gtk::Widget& labelOrButton);

// Gives a label (or a button's label) the font.
void setVeskFont(Gtk::Widget& labelOrButton, double pointSize, FontWeight weight);

// Gives a widget (a label, a text or icon button) a colour of its own that no
// later theme apply replaces. A named colour stays a name, so it still follows
// the light or dark look.
void setFixedColor(Gtk::Widget& widget, const Color& color);

} // namespace vesk
