#include "app/AppDelegate.h"

#include <glibmm/main.h>
#include <gtkmm/passwordentry.h>

#include "platform/WebView.h"
#include "store/VeskStore.h"

namespace vesk {

namespace {

// The answer an alert gives for its first button.
constexpr int kFirstButton = 1000;
constexpr int kFieldWidth = 200;
constexpr int kFieldHeight = 24;

// The host of a page address, as the address spells it: no scheme, port, path or
// query. International names are kept as the web view reports them, neither
// converted to nor from their ASCII form. Nothing for an address without a host.
std::optional<std::string> hostOf(const std::optional<std::string>& address) {
    if (!address)
        return std::nullopt;
    GUri* uri = g_uri_parse(address->c_str(), G_URI_FLAGS_NON_DNS, nullptr);
    if (!uri)
        return std::nullopt;
    std::optional<std::string> host;
    if (const char* name = g_uri_get_host(uri); name && *name)
        host = name;
    g_uri_unref(uri);
    return host;
}

} // namespace

void AppDelegate::presentAlert(std::unique_ptr<Gtk::MessageDialog> alert,
                               std::function<void(int response)> answered) {
    // The alert is modal, so the window cannot ask for a second one meanwhile.
    if (alert_ || !window)
        return;
    Gtk::MessageDialog* shown = alert.get();
    shown->set_modal(true);
    shown->set_transient_for(*window);
    // Escape and the window's close answer like "Cancel" and only hide the alert;
    // it is released below, once its answer is handled.
    shown->set_hide_on_close(true);
    shown->signal_response().connect([this, shown, answered = std::move(answered)](int response) {
        if (alert_.get() != shown)
            return;
        std::shared_ptr<Gtk::MessageDialog> finished(std::move(alert_));
        finished->hide();
        // A dialog cannot be destroyed inside its own signal.
        Glib::signal_idle().connect_once([finished] {});
        answered(response);
    });
    alert_ = std::move(alert);
    alert_->present();
}

void AppDelegate::promptSavePassword() {
    Tab* tab = currentTab();
    if (!tab)
        return;
    // Read once: the answer comes later, perhaps after the page has moved on, and
    // the record belongs to the host the alert names.
    const std::optional<std::string> host = hostOf(tab->web->url());
    if (!host)
        return;

    auto alert =
        std::make_unique<Gtk::MessageDialog>(*window, "Save password for " + *host + "?", false,
                                             Gtk::MessageType::OTHER, Gtk::ButtonsType::NONE, true);
    alert->add_button("Save", kFirstButton);
    alert->add_button("Cancel", static_cast<int>(Gtk::ResponseType::CANCEL));
    alert->set_default_response(kFirstButton);

    auto* fields = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 0);
    fields->set_halign(Gtk::Align::CENTER);
    fields->set_size_request(kFieldWidth, 50);
    auto* user = Gtk::make_managed<Gtk::Entry>();
    user->set_placeholder_text("Username");
    user->set_margin_top(2);
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

    presentAlert(std::move(alert), [user, pass, host = *host](int response) {
        if (response != kFirstButton)
            return;
        VeskStore::shared().savePassword(user->get_text().raw(), pass->get_text().raw(), host);
    });
}

} // namespace vesk
