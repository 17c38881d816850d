#pragma once

#include <optional>
#include <string>

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/grid.h>
#include <gtkmm/label.h>
#include <gtkmm/popover.h>

#include "engine/WebView.h"
#include "navigation/ConnectionSecurity.h"

namespace vesk {

// What the address field's security sign knows about the page on show.
struct SecurityDetails {
    ConnectionSecurity security = ConnectionSecurity::None;
    std::string host;
    std::optional<CertificateSummary> certificate;
};

// The popover the security sign opens: the host, what the sign means and,
// for a page that came over TLS, its certificate.
class SecurityPopover {
public:
    // A popover attached to `parent`, which it leaves when either goes.
    explicit SecurityPopover(Gtk::Widget& parent);
    ~SecurityPopover();
    SecurityPopover(const SecurityPopover&) = delete;
    SecurityPopover& operator=(const SecurityPopover&) = delete;

    // Fills the popover with `details` and opens it pointing at `area` of the parent.
    void open(const SecurityDetails& details, const Gdk::Rectangle& area);
    void close();
    bool isOpen() const { return popover_ && popover_->get_visible(); }
    Gtk::Popover& widget() { return *popover_; }
    Gtk::Button& clearSiteDataButton() { return *clearSiteData_; }

    // The user asked to clear the cookies and site data of the host on show.
    sigc::signal<void(const std::string&)>& signalClearSiteData() { return clearSiteDataAsked_; }

private:
    void addRow(int row, const std::string& name, const std::string& value);

    Gtk::Popover* popover_ = nullptr;
    // The parent may outlive this object, as when an animation still holds it.
    sigc::connection parentDestroyed_;
    Gtk::Label* host_ = nullptr;
    Gtk::Label* meaning_ = nullptr;
    Gtk::Grid* certificate_ = nullptr;
    Gtk::Button* clearSiteData_ = nullptr;
    std::string shownHost_;
    sigc::signal<void(const std::string&)> clearSiteDataAsked_;
};

} // namespace vesk
