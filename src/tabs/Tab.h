#pragma once

#include <memory>
#include <string>

#include <gdkmm/paintable.h>
#include <gtkmm/button.h>
#include <gtkmm/image.h>
#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include "engine/WebView.h"
#include "tabs/VeskTabPill.h"

namespace vesk {

class FindBar;
class LoginForms;
class OpeningGuard;
class PageIcon;
class PermissionBar;
class PermissionDecisions;

// One open tab: its web view and the pill that stands for it in the tab strip,
// with the title and close buttons on the pill. It reports clicks on its
// buttons; what they do is for the coordinator to decide.
class Tab : public sigc::trackable {
public:
    // A tab with its pill only: its page is made by makePage, when it is first needed.
    Tab();
    ~Tab();
    Tab(const Tab&) = delete;
    Tab& operator=(const Tab&) = delete;

    // Makes the tab's page, keeping its website data in `session`; with `opener`,
    // one that shares the opener's web process, so that it can talk to the page
    // that opened it.
    void makePage(WebSession* session, WebView* opener = nullptr);
    bool hasPage() const { return web_ != nullptr; }
    // Releases the tab's page and everything that works on it; its web process
    // ends once no other view shares it. The pill stays.
    void releasePage();
    // The tab's page; only once it has been made.
    WebView& web() { return *web_; }
    const WebView& web() const { return *web_; }
    VeskTabPill& pill() { return *pill_; }
    Gtk::Button& titleButton() { return *btn_; }
    Gtk::Button& closeButton() { return *closeBtn_; }
    // The tab's find bar over its page, made the first time it is asked for.
    FindBar& findBar();
    // Saved passwords: the login forms of the tab's page; null once the tab has left.
    LoginForms* loginForms() { return loginForms_.get(); }
    // What keeps the page from opening windows and downloads on its own; from the
    // page's making until the tab leaves.
    OpeningGuard& openingGuard() { return *openingGuard_; }
    // Permission prompts: from now on the page's permission requests are answered
    // from `decisions` or asked in a bar over the page.
    void askPermissions(PermissionDecisions& decisions);
    // That bar; null until permissions are asked.
    PermissionBar* permissionBar() { return permissionBar_.get(); }

    // Shows the model's title on the title button.
    void setTitle(const std::string& title);
    // Shows the page's site icon at the pill's leading edge, the title moving right by the
    // icon and a gap; an empty icon shows none, and no gap.
    void setIcon(const Glib::RefPtr<Gdk::Paintable>& icon);
    bool hasIcon() const { return icon_->get_visible(); }

    // Dims the pill of a tab that sleeps.
    void setSleeping(bool sleeping);
    // Shows the speaker on the pill while the page plays sound, struck through when muted.
    void showSound(bool playing, bool muted);
    bool showsSound() const;
    Gtk::Button& soundButton() { return *soundBtn_; }

    // Marks the tab selected or not and drops any hover wash, as a restyle does.
    void setActive(bool active);
    bool isActive() const { return pill_->isActive; }

    // The title button was clicked.
    sigc::signal<void()>& signalSelect() { return select_; }
    // The close button was clicked.
    sigc::signal<void()>& signalClose() { return close_; }
    // The speaker was clicked.
    sigc::signal<void()>& signalToggleMute() { return toggleMute_; }
    // The pill was clicked with the secondary button, at (x, y) on the pill.
    sigc::signal<void(double, double)>& signalMenuRequested() { return menuRequested_; }

    // Leaves the window for good: the page stops and reports nothing more, and the
    // pill leaves its strip. The record itself may go later.
    void detach();

private:
    std::unique_ptr<WebView> web_;
    std::unique_ptr<FindBar> findBar_;
    std::unique_ptr<LoginForms> loginForms_;
    std::unique_ptr<OpeningGuard> openingGuard_;
    std::unique_ptr<PermissionBar> permissionBar_;
    std::unique_ptr<VeskTabPill> pill_;
    std::unique_ptr<PageIcon> pageIcon_;
    Gtk::Image* icon_ = nullptr;
    Gtk::Button* btn_ = nullptr;
    Gtk::Button* closeBtn_ = nullptr;
    Gtk::Button* soundBtn_ = nullptr;
    sigc::signal<void()> select_;
    sigc::signal<void()> close_;
    sigc::signal<void()> toggleMute_;
    sigc::signal<void(double, double)> menuRequested_;
};

} // namespace vesk
