#pragma once

#include <gtkmm/application.h>

namespace vesk {

// Binds the keys people know from other browsers to the window's actions.
void installKeyBindings(Gtk::Application& app);

} // namespace vesk
