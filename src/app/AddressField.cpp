#include "app/AddressField.h"

#include <gtkmm/eventcontrollerfocus.h>
#include <gtkmm/eventcontrollerkey.h>
#include <gtkmm/window.h>

namespace vesk {

AddressField::AddressField() : addr_(Gtk::make_managed<Gtk::Entry>()) {
    addr_->add_css_class("vesk-address");
    addr_->set_has_frame(false);
    addr_->set_alignment(0.5);
    addr_->set_overflow(Gtk::Overflow::HIDDEN);

    addr_->signal_activate().connect(sigc::mem_fun(*this, &AddressField::onActivate));
    addr_->signal_changed().connect(sigc::mem_fun(*this, &AddressField::onChanged));
    auto focus = Gtk::EventControllerFocus::create();
    focus->signal_enter().connect(sigc::mem_fun(*this, &AddressField::onFocusEnter));
    focus->signal_leave().connect(sigc::mem_fun(*this, &AddressField::onFocusLeave));
    addr_->add_controller(focus);
    auto keys = Gtk::EventControllerKey::create();
    keys->signal_key_pressed().connect(sigc::mem_fun(*this, &AddressField::onKeyPressed), false);
    addr_->add_controller(keys);
}

void AddressField::setAddressText(const std::string& text) {
    shownText_ = text;
    settingText_ = true;
    addr_->set_text(text);
    settingText_ = false;
}

void AddressField::setProgress(double fraction) {
    addr_->set_progress_fraction(fraction);
}

void AddressField::focusAndSelect() {
    addr_->grab_focus();
    addr_->select_region(0, -1);
}

bool AddressField::onKeyPressed(guint keyval, guint, Gdk::ModifierType) {
    if (keyval != GDK_KEY_Escape || text() == shownText_)
        return false;
    // The typing is thrown away; the field shows the page's address again.
    setAddressText(shownText_);
    addr_->select_region(0, -1);
    return true;
}

void AddressField::onFocusEnter() {
    editing_ = true;
}

void AddressField::onChanged() {
    if (!settingText_)
        editing_ = true;
}

void AddressField::onActivate() {
    // Return always loads what the field holds, also when pressed again
    // without typing; the focus leaving afterwards loads nothing more.
    editing_ = false;
    editingEnded_.emit(text());
}

void AddressField::onFocusLeave() {
    // The window losing focus to another program does not end editing.
    auto* window = dynamic_cast<Gtk::Window*>(addr_->get_root());
    if (window && !window->is_active())
        return;
    if (!editing_)
        return;
    editing_ = false;
    editingEnded_.emit(text());
}

} // namespace vesk
