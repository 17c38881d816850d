#pragma once

#include <string>

#include <gtkmm/button.h>
#include <gtkmm/popover.h>
#include <sigc++/signal.h>
#include <sigc++/trackable.h>

namespace vesk {

// The small popover at the key button that offers a saved login for the page on
// show: "Fill login for USER". Nothing goes into the page until its button is
// pressed; it takes no focus from the page, so typing goes on undisturbed.
class SavedLoginOffer : public sigc::trackable {
public:
    explicit SavedLoginOffer(Gtk::Widget& anchor);
    ~SavedLoginOffer();
    SavedLoginOffer(const SavedLoginOffer&) = delete;
    SavedLoginOffer& operator=(const SavedLoginOffer&) = delete;

    // Offers the login of `user`, replacing any offer shown.
    void present(const std::string& user);
    // Takes the offer away, as when the page it was for goes.
    void withdraw();
    bool isShown() const { return popover_.get_visible(); }

    // The button that fills, while the offer is shown.
    Gtk::Button& fillButton() { return fill_; }
    // The user picked the offered login.
    sigc::signal<void()>& signalPicked() { return picked_; }

private:
    void on_fill_clicked();

    Gtk::Popover popover_;
    Gtk::Button fill_;
    sigc::signal<void()> picked_;
};

} // namespace vesk
