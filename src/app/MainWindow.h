#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <gtkmm/application.h>
#include <gtkmm/applicationwindow.h>
#include <gtkmm/constraint.h>
#include <sigc++/trackable.h>

#include "app/AddressField.h"
#include "app/RestoreBar.h"
#include "app/Toolbar.h"
#include "base/Lifetime.h"
#include "downloads/DownloadsButton.h"
#include "tabs/TabModel.h"
#include "tabs/TabStrip.h"
#include "tabs/TabStripArrangement.h"
#include "widgets/Alert.h"
#include "widgets/ConstraintView.h"

namespace vesk {

// The one window: the glass backdrop filling it, the title strip that drags it,
// and on the glass the toolbar, the top tab strip, the sidebar column, the
// address field and the rounded web area, all placed by one constraint layout.
// It animates between the two layout modes and shows one page at a time in the
// web area.
class MainWindow : public sigc::trackable {
public:
    explicit MainWindow(Gtk::Application* app);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    Gtk::ApplicationWindow& window() { return *window_; }
    ConstraintView& glass() { return *glass_; }
    Toolbar& toolbar() { return toolbar_; }
    AddressField& addressField() { return addressField_; }
    TabStrip& tabStrip() { return tabStrip_; }
    // Opens the list of all tabs; it stands at the end of the top strip.
    Gtk::Button& tabListButton() { return *tabListButton_; }
    ConstraintView& sidebarContainer() { return *sidebarContainer_; }
    ConstraintView& webContainer() { return *webContainer_; }
    AlertPresenter& alerts() { return *alerts_; }
    // The bar over the top of the web area offering the last session's tabs.
    RestoreBar& restoreBar() { return restoreBar_; }
    // Left of the history button while there are downloads.
    DownloadsButton& downloads() { return downloads_; }

    // Shows `page` alone in the web area, fading it in; the page shown before
    // leaves the window but keeps loading.
    void showWebView(Gtk::Widget& page);
    // Takes `page` out of the web area if it is shown there.
    void removeWebView(Gtk::Widget& page);

    // Moves the sidebar column, the web area and the top strip's opacity towards
    // `mode` over 0.3 s from wherever they stand; `completion` runs at the end.
    // A later call takes over the values; every completion still runs.
    void animateLayoutMode(StripMode mode, std::function<void()> completion);

    // Holds the top strip at its pills' width, or narrower where new-folder
    // would come too close to the history button.
    void fitTopStripToContent();

    void present() { window_->present(); }

    // Keeps the window's title on the selected tab's from now on, so that window
    // lists and task switchers name the page on show.
    void followTitles(TabModel& model);

    // Hides every part of the chrome so that the web area fills the screen, or
    // brings them back exactly as they were.
    void setFullscreen(bool fullscreen);
    bool isFullscreen() const { return fullscreen_; }

private:
    void buildWindow(Gtk::Application* app);
    void activateLayoutConstraints();
    void setLayoutConstants(double sidebarWidth, double webLeading, double stripOpacity);
    void onWidthChanged();
    // The mouse's back and forward buttons, and Ctrl with the wheel over the page,
    // run the same window actions as the toolbar.
    void connectPointerShortcuts();
    void showSelectedTitle();
    void onTabChanged(TabId id, TabField field);
    std::vector<Glib::RefPtr<Gtk::Constraint>> webFrameConstraints() const;

    std::unique_ptr<Gtk::ApplicationWindow> window_;
    ConstraintView* glass_ = nullptr;
    Toolbar toolbar_;
    AddressField addressField_;
    TabStrip tabStrip_;
    Gtk::Button* tabListButton_ = nullptr;
    ConstraintView* sidebarContainer_ = nullptr;
    ConstraintView* webContainer_ = nullptr;
    std::unique_ptr<AlertPresenter> alerts_;
    RestoreBar restoreBar_;
    DownloadsButton downloads_;

    Glib::RefPtr<Gtk::Constraint> sidebarWidthConstraint_;
    Glib::RefPtr<Gtk::Constraint> webLeadingConstraint_;
    // The web area's other edges, held so that full screen can take them away.
    Glib::RefPtr<Gtk::Constraint> webTopConstraint_;
    Glib::RefPtr<Gtk::Constraint> webTrailingConstraint_;
    Glib::RefPtr<Gtk::Constraint> webBottomConstraint_;
    std::vector<Glib::RefPtr<Gtk::Constraint>> fullscreenConstraints_;
    bool fullscreen_ = false;
    Gtk::Widget* titleBar_ = nullptr;
    // The model whose selected tab names the window; null until followTitles.
    const TabModel* titledModel_ = nullptr;
    std::vector<Glib::RefPtr<Gtk::Constraint>> activeWebConstraints_;
    std::vector<Glib::RefPtr<Gtk::Constraint>> topStripWidthConstraints_;
    int topStripWidth_ = -1;
    int downloadsWidth_ = 0;
    sigc::connection widthRefit_;
    bool closed_ = false;

    // Bumped by every mode change, so that only the newest animation sets the values.
    unsigned layoutGeneration_ = 0;
    double sidebarWidth_;
    double webLeading_;
    double topStripOpacity_ = 1.0;
    Lifetime lifetime_;
};

} // namespace vesk
