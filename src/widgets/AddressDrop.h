#pragma once

#include <functional>
#include <string>
#include <vector>

#include <gtkmm/droptarget.h>

namespace vesk {

// A drop target for links, text and files, to add to a widget: `dropped` gets
// the dropped addresses in order, never none (a file as its file address, a
// link or text as it is, for the address rules). It takes the drop ahead of the widget's own
// children, so that an entry does not insert the text where the pointer is.
Glib::RefPtr<Gtk::DropTarget>
makeAddressDropTarget(std::function<void(const std::vector<std::string>&)> dropped);

} // namespace vesk
