#include "tabs/TabFolder.h"

#include "widgets/Text.h"

namespace vesk {

namespace {

constexpr double kHeaderPointSize = 12.0;

} // namespace

TabFolder::TabFolder(const std::string& name)
    : folderHeaderBtn_(std::make_unique<Gtk::Button>("\U0001F4C1 " + name)) {
    Gtk::Button& header = *folderHeaderBtn_;
    header.set_has_frame(false);
    header.add_css_class("flat");
    header.add_css_class("vesk-folder-header");
    header.set_focus_on_click(false);
    // Like the pills, the header keeps its own width in the column, centred,
    // even while the column narrows to nothing.
    header.set_halign(Gtk::Align::CENTER);
    setVeskFont(header, kHeaderPointSize, FontWeight::Bold);
    header.signal_clicked().connect([this] { toggle_.emit(); });
}

} // namespace vesk
