#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <gtkmm/window.h>
#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include "base/Lifetime.h"
#include "engine/WebsiteData.h"
#include "settings/BrowsingData.h"
#include "settings/ClearDataDialog.h"

namespace vesk {

class AlertPresenter;
class WebSession;

// Clears what browsing leaves behind: the history, the sites' cookies and data,
// the cache and the saved passwords, over a time range the user picks in the
// clearing window, or one site's cookies and data from the security sign.
class BrowsingDataController : public sigc::trackable {
public:
    BrowsingDataController(WebSession& session, Gtk::Window& parent, AlertPresenter& alerts);
    ~BrowsingDataController();
    BrowsingDataController(const BrowsingDataController&) = delete;
    BrowsingDataController& operator=(const BrowsingDataController&) = delete;

    // Opens the clearing window.
    void showClearDialog();
    ClearDataDialog& dialog() { return dialog_; }

    // Clears `kinds` over `range`.
    void clear(ClearRange range, BrowsingDataKinds kinds);
    // Asks, then clears the cookies and site data of `host`'s site.
    void confirmClearSite(const std::string& host);

    // A clear has finished: the history, the site data or the passwords changed.
    sigc::signal<void()>& signalCleared() { return cleared_; }

private:
    WebsiteData websiteData_;
    AlertPresenter& alerts_;
    ClearDataDialog dialog_;
    sigc::signal<void()> cleared_;
    Lifetime lifetime_;
};

} // namespace vesk
