#include "tabs/TabFolder.h"

#include <gtkmm/gestureclick.h>
#include <gtkmm/popover.h>

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
    auto secondary = Gtk::GestureClick::create();
    secondary->set_button(GDK_BUTTON_SECONDARY);
    // Before the buttons on it, which would otherwise take the press.
    secondary->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    secondary->signal_pressed().connect(
        [this](int, double x, double y) { menuRequested_.emit(x, y); });
    header.add_controller(secondary);
}

TabFolder::~TabFolder() {
    // A popover set on the header (its name field) leaves it before it goes: the
    // toolkit would leave the popover pointing at a header that is no more.
    Gtk::Widget* child = folderHeaderBtn_->get_first_child();
    while (child) {
        Gtk::Widget* next = child->get_next_sibling();
        if (dynamic_cast<Gtk::Popover*>(child))
            child->unparent();
        child = next;
    }
}

void TabFolder::setName(const std::string& name) {
    folderHeaderBtn_->set_label("\U0001F4C1 " + name);
}

} // namespace vesk
