#include "passwords/PasswordPrompt.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/passwordentry.h>

namespace vesk {

namespace {

constexpr int kFieldWidth = 200;
constexpr int kFieldHeight = 24;
constexpr int kFieldsHeight = 50;
constexpr int kFieldsTopMargin = 2;
constexpr int kManageTopMargin = 6;

} // namespace

PasswordPrompt::PasswordPrompt(AlertPresenter& alerts) : alerts_(alerts) {}

void PasswordPrompt::present(const std::string& host, PageSecurity security,
                             const std::string& user, const std::string& password) {
    auto alert =
        alerts_.makeAlert("Save password for " + host + "?", "Save", Gtk::MessageType::OTHER);

    auto* fields = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 0);
    fields->set_halign(Gtk::Align::CENTER);
    fields->set_size_request(kFieldWidth, kFieldsHeight);
    auto* userField = Gtk::make_managed<Gtk::Entry>();
    userField->set_placeholder_text("Username");
    userField->set_margin_top(kFieldsTopMargin);
    userField->set_text(user);
    auto* passField = Gtk::make_managed<Gtk::PasswordEntry>();
    passField->property_placeholder_text() = "Password";
    passField->set_text(password);
    for (Gtk::Widget* field :
         {static_cast<Gtk::Widget*>(userField), static_cast<Gtk::Widget*>(passField)}) {
        field->set_size_request(kFieldWidth, kFieldHeight);
        field->add_css_class("vesk-alert-field");
        fields->append(*field);
    }
    // Return in either field presses "Save", as in any alert.
    userField->set_activates_default(true);
    passField->property_activates_default() = true;
    alert->get_message_area()->append(*fields);

    auto* manage = Gtk::make_managed<Gtk::Button>("Manage Saved Passwords…");
    manage->add_css_class("flat");
    manage->set_halign(Gtk::Align::CENTER);
    manage->set_margin_top(kManageTopMargin);
    Gtk::MessageDialog* shown = alert.get();
    manage->signal_clicked().connect([this, shown] {
        // The list opens once this alert has gone: only one modal surface at a time.
        shown->response(Gtk::ResponseType::CANCEL);
        manage_.emit();
    });
    alert->get_message_area()->append(*manage);

    // The host and its security were read when the alert was asked for: the answer
    // comes later, perhaps after the page has moved on, and belongs to the host it names.
    alerts_.present(
        std::move(alert), [this, userField, passField, host, security](AlertResponse response) {
            if (response == AlertResponse::Confirm)
                save_.emit(userField->get_text(), passField->get_text(), host, security);
        });
}

} // namespace vesk
