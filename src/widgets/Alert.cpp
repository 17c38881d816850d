#include "widgets/Alert.h"

#include <glibmm/main.h>

namespace vesk {

namespace {

// The dialog's own codes for the two buttons.
constexpr int kConfirmCode = static_cast<int>(Gtk::ResponseType::ACCEPT);
constexpr int kCancelCode = static_cast<int>(Gtk::ResponseType::CANCEL);

} // namespace

AlertPresenter::AlertPresenter(Gtk::Window& parent) : parent_(parent) {}

AlertPresenter::~AlertPresenter() = default;

std::unique_ptr<Gtk::MessageDialog> AlertPresenter::makeAlert(const std::string& message,
                                                              const std::string& confirmLabel,
                                                              Gtk::MessageType type) const {
    auto alert = std::make_unique<Gtk::MessageDialog>(parent_, message, false, type,
                                                      Gtk::ButtonsType::NONE, true);
    alert->add_button(confirmLabel, kConfirmCode);
    alert->add_button("Cancel", kCancelCode);
    alert->set_default_response(kConfirmCode);
    return alert;
}

std::unique_ptr<Gtk::MessageDialog> AlertPresenter::makeNotice(const std::string& message) const {
    auto notice = std::make_unique<Gtk::MessageDialog>(
        parent_, message, false, Gtk::MessageType::WARNING, Gtk::ButtonsType::NONE, true);
    notice->add_button("OK", kConfirmCode);
    notice->set_default_response(kConfirmCode);
    return notice;
}

void AlertPresenter::present(std::unique_ptr<Gtk::MessageDialog> alert,
                             std::function<void(AlertResponse)> answered) {
    // The alert is modal, so the window cannot ask for a second one meanwhile.
    if (alert_)
        return;
    Gtk::MessageDialog* shown = alert.get();
    shown->set_modal(true);
    shown->set_transient_for(parent_);
    // Escape and the alert's close answer like "Cancel" and only hide the alert;
    // it is released below, once its answer is handled.
    shown->set_hide_on_close(true);
    shown->signal_response().connect([this, shown, answered = std::move(answered)](int response) {
        if (alert_.get() != shown)
            return;
        std::shared_ptr<Gtk::MessageDialog> finished(std::move(alert_));
        finished->hide();
        // A dialog cannot be destroyed inside its own signal.
        Glib::signal_idle().connect_once([finished] {});
        answered(response == kConfirmCode ? AlertResponse::Confirm : AlertResponse::Cancel);
    });
    alert_ = std::move(alert);
    alert_->present();
}

} // namespace vesk
