#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <sigc++/trackable.h>

#include "engine/OpeningGuard.h"
#include "engine/PermissionRequests.h"

namespace vesk {

class WebView;

// The bar over the top of a tab's page that asks the user about the page's
// permission requests, "127.0.0.1 wants to use your camera", with Allow and
// Deny; one request at a time, the next one as soon as the last is answered.
// When no request waits, it tells of the windows and downloads the page was
// kept from starting on its own ("127.0.0.1 tried to open 499 windows"), with
// Allow, which lets the page's origin do so, and Deny. Hidden while nothing waits.
class PermissionBar : public sigc::trackable {
public:
    PermissionBar(WebView& web, PermissionDecisions& decisions, OpeningGuard& guard);
    ~PermissionBar();
    PermissionBar(const PermissionBar&) = delete;
    PermissionBar& operator=(const PermissionBar&) = delete;

    bool isShown() const { return bar_.get_visible(); }
    PermissionRequests& requests() { return requests_; }
    OpeningGuard& openingGuard() { return guard_; }
    Gtk::Widget& widget() { return bar_; }
    Gtk::Label& question() { return *question_; }
    Gtk::Button& allowButton() { return *allow_; }
    Gtk::Button& denyButton() { return *deny_; }

private:
    void showCurrent();

    PermissionRequests requests_;
    OpeningGuard& guard_;
    Gtk::Box bar_;
    Gtk::Label* question_ = nullptr;
    Gtk::Button* allow_ = nullptr;
    Gtk::Button* deny_ = nullptr;
};

} // namespace vesk
