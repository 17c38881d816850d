#pragma once

#include <string>
#include <vector>

#include <giomm/simpleaction.h>
#include <sigc++/connection.h>
#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include "navigation/UrlNormalization.h"

namespace vesk {

class MainWindow;
class Tab;

// The selected tab's page in the window: the one place where the window binds
// to a tab (address field, security sign, progress, full screen), and the
// commands that act on the page on show.
class PageController : public sigc::trackable {
public:
    explicit PageController(MainWindow& window);
    ~PageController();
    PageController(const PageController&) = delete;
    PageController& operator=(const PageController&) = delete;

    // Binds the window to `tab`'s page (null for none), dropping the last one's events.
    void bind(Tab* tab);
    // Enabled only while the bound page loads, so that Escape otherwise reaches the page.
    void setStopAction(Glib::RefPtr<Gio::SimpleAction> stop);

    // Loads what the user typed into the address field, through the address
    // rules; whether the text gave an address.
    bool loadTyped(const std::string& text);
    // Loads an address as it is, without the typed-address rules.
    void load(const std::string& url);
    void goBack();
    void goForward();
    void reload();
    void reloadBypassingCache();
    // Stops the load and shows the address of the page on show in the field again.
    void stopLoading();
    // The search address typed phrases go to, from now on.
    void setSearchURL(std::string searchURL) { searchURL_ = std::move(searchURL); }
    // The user zoomed the page on show in or out, or back to its default.
    sigc::signal<void(Tab&)>& signalZoomed() { return zoomed_; }
    sigc::signal<void(Tab&)>& signalZoomReset() { return zoomReset_; }
    void zoomIn();
    void zoomOut();
    void zoomReset();
    void focusAddressField();
    // Gives the keyboard to the page on show, so that its keys scroll it.
    void focusPage();
    void findInPage();
    void findNext();
    void findPrevious();
    void print();
    void toggleFullscreen();

private:
    void showAddress();
    void showLoadingState();
    void showSecurity();

    MainWindow& window_;
    Tab* tab_ = nullptr;
    std::vector<sigc::connection> bound_;
    Glib::RefPtr<Gio::SimpleAction> stop_;
    std::string searchURL_{kDefaultSearchURL};
    sigc::signal<void(Tab&)> zoomed_;
    sigc::signal<void(Tab&)> zoomReset_;
    // The window fills the screen because an element of the bound page asked.
    bool elementFullscreen_ = false;
};

} // namespace vesk
