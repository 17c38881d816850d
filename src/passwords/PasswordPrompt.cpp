#include "passwords/PasswordPrompt.h"

#include <gtkmm/box.h>
#include <gtkmm/entry.h>
#include <gtkmm/passwordentry.h>

namespace vesk {

namespace {

constexpr int kFieldWidth = 200;
constexpr int kFieldHeight = 24;
constexpr int kFieldsHeight = 50;
constexpr int kFieldsTopMargin = 2;

} // namespace

PasswordPrompt::PasswordPrompt(AlertPresenter& alerts) : alerts_(alerts) {}

void PasswordPrompt::present(const std::string& host) {
    auto alert =
        alerts_.makeAlert("Save password for " + host + "?", "Save", Gtk::MessageType::OTHER);

    auto* fields = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 0);
    fields->set_halign(Gtk::Align::CENTER);
    fields->set_size_request(kFieldWidth, kFieldsHeight);
    auto* user = Gtk::make_managed<Gtk::Entry>();
    user->set_placeholder_text("Username");
    user->set_margin_top(kFieldsTopMargin);
    auto* pass = Gtk::make_managed<Gtk::PasswordEntry>();
    pass->property_placeholder_text() = "Password";
    for (Gtk::Widget* field : {static_cast<Gtk::Widget*>(user), static_cast<Gtk::Widget*>(pass)}) {
        field->set_size_request(kFieldWidth, kFieldHeight);
        field->add_css_class("vesk-alert-field");
        fields->append(*field);
    }
    // Return in either field presses "Save", as in any alert.
    user->set_activates_default(true);
    pass->property_activates_default() = true;
    alert->get_message_area()->append(*fields);

    // The host was read when the alert was asked for: the answer comes later,
    // perhaps after the page has moved on, and belongs to the host it names.
    alerts_.present(std::move(alert), [this, user, pass, host](AlertResponse response) {
        if (response == AlertResponse::Confirm)
            save_.emit(user->get_text(), pass->get_text(), host);
    });
}

} // namespace vesk
