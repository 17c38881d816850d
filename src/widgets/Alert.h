#pragma once

#include <functional>
#include <memory>
#include <string>

#include <gtkmm/messagedialog.h>
#include <gtkmm/window.h>

namespace vesk {

// How the user answered an alert: its first button, or "Cancel" (also Escape
// and the alert's own close).
enum class AlertResponse { Confirm, Cancel };

// Shows modal alerts over one window, one at a time. The answer arrives in a
// callback; the alert goes away after it.
class AlertPresenter {
public:
    explicit AlertPresenter(Gtk::Window& parent);
    ~AlertPresenter();
    AlertPresenter(const AlertPresenter&) = delete;
    AlertPresenter& operator=(const AlertPresenter&) = delete;

    // An alert with `message`, the buttons `confirmLabel` (the default, answering
    // Return) and "Cancel", ready for more content before it is presented.
    std::unique_ptr<Gtk::MessageDialog> makeAlert(const std::string& message,
                                                  const std::string& confirmLabel,
                                                  Gtk::MessageType type) const;

    // A notice with `message` and one button, "OK", which is all the user can answer.
    std::unique_ptr<Gtk::MessageDialog> makeNotice(const std::string& message) const;

    // Shows `alert` modally; `answered` gets its answer once. Nothing happens while
    // another alert is open.
    void present(std::unique_ptr<Gtk::MessageDialog> alert,
                 std::function<void(AlertResponse)> answered);

    // The alert being shown, if any.
    Gtk::MessageDialog* openAlert() const { return alert_.get(); }

private:
    Gtk::Window& parent_;
    std::unique_ptr<Gtk::MessageDialog> alert_;
};

} // namespace vesk
