#pragma once

#include <gdkmm/rgba.h>

#include "base/Color.h"

namespace Gtk {
class Widget;
}

namespace vesk {

// The colour as the toolkit paints it now: named colours resolve for the
// current light or dark look.
Gdk::RGBA toRgba(const Color& color, const Gtk::Widget* context);

// A colour picked in the toolkit, as calibrated RGB.
Color fromRgba(const Gdk::RGBA& rgba);

} // namespace vesk
