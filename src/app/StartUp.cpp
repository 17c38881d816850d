#include "app/AppDelegate.h"
#include "app/LayoutMetrics.h"

#include <algorithm>

#include <glibmm/main.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/eventcontrollerfocus.h>
#include <gtkmm/overlay.h>
#include <gtkmm/windowcontrols.h>
#include <gtkmm/windowhandle.h>

#include "platform/ConstraintView.h"
#include "platform/Css.h"

namespace vesk {

namespace {

constexpr int kWindowWidth = 1280;
constexpr int kWindowHeight = 800;
constexpr int kMinWindowWidth = 980;
constexpr int kMinWindowHeight = 640;
// The strip of window above the toolbar that drags the window.
constexpr int kTitleBarHeight = 50;

} // namespace

void AppDelegate::applicationDidFinishLaunching(Gtk::Application* app) {
    // Model.
    tabs.clear();
    folders.clear();
    activeIdx = NSNotFound;
    isSidebarMode = false;
    activeWebConstraints.clear();

    css_ = std::make_unique<Css>();
    buildWindow(app);
    buildToolbar();

    // Top tab strip. It sits in a scroller so that, with many tabs, it scrolls
    // sideways instead of running under the right-hand buttons.
    topTabBarStack = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
    topTabBarStack->add_css_class("vesk-top-strip");
    topTabBarScroller = Gtk::make_managed<Gtk::ScrolledWindow>();
    topTabBarScroller->set_policy(Gtk::PolicyType::EXTERNAL, Gtk::PolicyType::NEVER);
    topTabBarScroller->set_propagate_natural_width(true);
    topTabBarScroller->set_has_frame(false);
    topTabBarScroller->set_child(*topTabBarStack);
    topTabBarScroller->add_css_class("vesk-top-strip-scroller");
    glass->addSubview(*topTabBarScroller);
    connectTopStripScrolling();

    // Sidebar column and its strip.
    sidebarContainer = Gtk::make_managed<ConstraintView>("vesk-sidebar");
    sidebarContainer->set_overflow(Gtk::Overflow::HIDDEN);
    glass->addSubview(*sidebarContainer);
    sidebarTabBarStack = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 6);
    sidebarTabBarStack->add_css_class("vesk-sidebar-strip");
    // The strip keeps the open column's width while the column narrows, so its
    // pills slide out of view instead of being squeezed; and it scrolls when
    // it holds more than the column's height. The scroller asks for no width
    // of its own, so the column can be 0 wide.
    sidebarTabBarStack->set_size_request(static_cast<int>(kSidebarWidth), -1);
    sidebarTabBarStack->set_valign(Gtk::Align::START);
    sidebarTabBarScroller = Gtk::make_managed<Gtk::ScrolledWindow>();
    sidebarTabBarScroller->set_policy(Gtk::PolicyType::EXTERNAL, Gtk::PolicyType::AUTOMATIC);
    sidebarTabBarScroller->set_has_frame(false);
    sidebarTabBarScroller->set_child(*sidebarTabBarStack);
    sidebarContainer->addSubview(*sidebarTabBarScroller);

    buildAddressField();
    glass->addSubview(*addr);

    // Web area.
    webContainer = Gtk::make_managed<ConstraintView>("vesk-web-area");
    webContainer->set_overflow(Gtk::Overflow::HIDDEN);
    glass->addSubview(*webContainer);

    for (Gtk::Button* button : controlButtons)
        glass->addSubview(*button);

    activateLayoutTable();
    fitTopStripToContent();

    loadThemeSettings();
    addNewTab();

    window->present();
}

void AppDelegate::buildWindow(Gtk::Application* app) {
    window = std::make_unique<Gtk::Window>();
    window->add_css_class("vesk-window");
    window->set_default_size(kWindowWidth, kWindowHeight);
    window->set_size_request(kMinWindowWidth, kMinWindowHeight);
    window->set_resizable(true);
    window->set_deletable(true);
    // An empty title bar: the backdrop runs up to the window's top edge.
    auto* titlebar = Gtk::make_managed<Gtk::Box>();
    titlebar->set_visible(false);
    window->set_titlebar(*titlebar);
    if (app)
        app->add_window(*window);

    // The content: the backdrop, with the top strip of the window over it
    // acting as the title bar (drag to move, close and maximise, no minimise).
    auto* content = Gtk::make_managed<Gtk::Overlay>();
    glass = Gtk::make_managed<ConstraintView>("vesk-glass");
    glass->set_hexpand(true);
    glass->set_vexpand(true);
    // The glass is an overlay, not the overlay's main child, so that its
    // measured size never sets the window's smallest size: the constraint
    // solver reports the last allocated size as the minimum once any
    // constraint has changed (a tab switch, a layout switch), which would
    // keep the window from ever being made smaller again. The window's own
    // size request is the smallest size, and the glass always fills it.
    content->add_overlay(*glass);
    content->signal_get_child_position().connect(
        [content, backdrop = glass](Gtk::Widget* child, Gdk::Rectangle& frame) {
            if (child != backdrop)
                return false;
            frame = Gdk::Rectangle(0, 0, content->get_width(), content->get_height());
            return true;
        },
        false);

    auto* handle = Gtk::make_managed<Gtk::WindowHandle>();
    handle->set_valign(Gtk::Align::START);
    handle->set_size_request(-1, kTitleBarHeight);
    auto* controls = Gtk::make_managed<Gtk::WindowControls>(Gtk::PackType::END);
    controls->set_decoration_layout(":maximize,close");
    controls->set_halign(Gtk::Align::END);
    controls->set_valign(Gtk::Align::START);
    controls->set_margin(8);
    handle->set_child(*controls);
    handle->add_css_class("vesk-title-bar");
    content->add_overlay(*handle);

    // A zero-high strip across the window that reports the window's width,
    // so that the top tab strip's width can follow it after each resize.
    auto* widthProbe = Gtk::make_managed<Gtk::DrawingArea>();
    widthProbe->set_can_target(false);
    widthProbe->set_valign(Gtk::Align::START);
    widthProbe->signal_resize().connect([this](int, int) {
        // Constraints must not change inside a layout pass.
        if (!widthRefit_.connected())
            widthRefit_ = Glib::signal_idle().connect([this] {
                fitTopStripToContent();
                return false;
            });
    });
    content->add_overlay(*widthProbe);
    window->set_child(*content);
}

void AppDelegate::buildToolbar() {
    controlButtons = {
        iconBtn("go-previous-symbolic", &AppDelegate::goBack),
        iconBtn("go-next-symbolic", &AppDelegate::goForward),
        iconBtn("view-refresh-symbolic", &AppDelegate::refreshPage),
        iconBtn("zoom-in-symbolic", &AppDelegate::zoomIn),
        iconBtn("zoom-out-symbolic", &AppDelegate::zoomOut),
        iconBtn("list-add-symbolic", &AppDelegate::addNewTab),
        iconBtn("folder-new-symbolic", &AppDelegate::createNewFolder),
        iconBtn("document-open-recent-symbolic", &AppDelegate::toggleHistory),
        iconBtn("applications-graphics-symbolic", &AppDelegate::toggleThemePanel),
        iconBtn("dialog-password-symbolic", &AppDelegate::promptSavePassword),
        iconBtn("sidebar-show-symbolic", &AppDelegate::toggleLayoutMode),
    };
    for (Gtk::Button* button : controlButtons)
        button->add_css_class("vesk-toolbar-button");
}

void AppDelegate::buildAddressField() {
    addr = Gtk::make_managed<Gtk::Entry>();
    addr->add_css_class("vesk-address");
    addr->set_has_frame(false);
    addr->set_alignment(0.5);
    addr->set_overflow(Gtk::Overflow::HIDDEN);

    addr->signal_activate().connect(sigc::mem_fun(*this, &AppDelegate::onAddressActivate));
    addr->signal_changed().connect(sigc::mem_fun(*this, &AppDelegate::onAddressChanged));
    auto focus = Gtk::EventControllerFocus::create();
    focus->signal_enter().connect(sigc::mem_fun(*this, &AppDelegate::onAddressFocusEnter));
    focus->signal_leave().connect(sigc::mem_fun(*this, &AppDelegate::onAddressFocusLeave));
    addr->add_controller(focus);
}

void AppDelegate::onAddressFocusEnter() {
    addressEditing_ = true;
}

void AppDelegate::onAddressChanged() {
    if (settingAddressText_)
        return;
    addressEditing_ = true;
    controlTextDidChange(addr);
}

void AppDelegate::onAddressActivate() {
    // Return always loads what the field holds, also when pressed again
    // without typing; the focus leaving afterwards loads nothing more.
    addressEditing_ = false;
    controlTextDidEndEditing(addr);
}

void AppDelegate::onAddressFocusLeave() {
    // The window losing focus to another program does not end editing.
    if (window && !window->is_active())
        return;
    endAddressEditing();
}

void AppDelegate::endAddressEditing() {
    if (!addressEditing_)
        return;
    addressEditing_ = false;
    controlTextDidEndEditing(addr);
}

void AppDelegate::fitTopStripToContent() {
    // The strip is as wide as its pills, but ends where the new-tab and
    // new-folder buttons after it still end 15 points before the history
    // button; what does not fit scrolls. Every other width in the row is
    // fixed, so the strip's width follows from the glass's width alone. (The
    // constraint solver does not hold to a preferred width when it places
    // views, so the width is worked out here and held as a requirement.)
    auto naturalWidth = [](Gtk::Widget& w) {
        int minimum = 0, natural = 0, minBaseline = 0, natBaseline = 0;
        w.measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, minBaseline, natBaseline);
        return natural;
    };
    const auto& b = controlButtons;
    int fixed = 20 + 10 + 10 + 15 + 5 + 20 + 15 + 10 + 15 + 15 + 15 + 15 + 20;
    for (Gtk::Button* button : b)
        fixed += naturalWidth(*button);
    const int glassWidth = glass->get_width() > 0 ? glass->get_width() : kWindowWidth;
    const int available = std::max(0, glassWidth - fixed);
    const int wanted = std::min(naturalWidth(*topTabBarStack), available);
    if (!topStripWidthConstraints.empty() && topStripWidth_ == wanted)
        return;
    topStripWidth_ = wanted;
    auto layout = glass->constraintLayout();
    deactivateConstraints(layout, topStripWidthConstraints);
    topStripWidthConstraints = {constrain(width(topTabBarScroller), wanted)};
    activateConstraints(layout, topStripWidthConstraints);
}

void AppDelegate::activateLayoutTable() {
    auto& b = controlButtons;
    Gtk::Widget* back = b[0];
    Gtk::Widget* forward = b[1];
    Gtk::Widget* reload = b[2];
    Gtk::Widget* zoomInButton = b[3];
    Gtk::Widget* zoomOutButton = b[4];
    Gtk::Widget* newTab = b[5];
    Gtk::Widget* newFolder = b[6];
    Gtk::Widget* history = b[7];
    Gtk::Widget* theme = b[8];
    Gtk::Widget* password = b[9];
    Gtk::Widget* layout = b[10];
    Gtk::Widget* strip = topTabBarScroller;
    Gtk::Widget* g = nullptr; // the glass itself

    sidebarWidthConstraint = constrain(width(sidebarContainer), 0.0);
    webLeadingConstraint = constrain(leading(webContainer), leading(g), kTopBarWebLeading);

    activateConstraints(glass->constraintLayout(),
                        {
                            constrain(leading(back), leading(g), 20),                     // 1
                            constrain(top(back), top(g), 50),                             // 2
                            constrain(leading(forward), trailing(back), 10),              // 3
                            constrain(centerY(forward), centerY(back)),                   // 4
                            constrain(leading(reload), trailing(forward), 10),            // 5
                            constrain(centerY(reload), centerY(back)),                    // 6
                            constrain(leading(zoomOutButton), trailing(reload), 15),      // 7
                            constrain(centerY(zoomOutButton), centerY(back)),             // 8
                            constrain(leading(zoomInButton), trailing(zoomOutButton), 5), // 9
                            constrain(centerY(zoomInButton), centerY(back)),              // 10
                            constrain(leading(strip), trailing(zoomInButton), 20),        // 11
                            constrain(centerY(strip), centerY(back)),                     // 12
                            constrain(height(strip), 32),                                 // 13
                            constrain(leading(newTab), trailing(strip), 15),              // 14
                            constrain(centerY(newTab), centerY(back)),                    // 15
                            constrain(leading(newFolder), trailing(newTab), 10),          // 16
                            constrain(centerY(newFolder), centerY(back)),                 // 17
                            constrain(trailing(layout), trailing(g), -20),                // 18
                            constrain(centerY(layout), centerY(back)),                    // 19
                            constrain(trailing(password), leading(layout), -15),          // 20
                            constrain(centerY(password), centerY(back)),                  // 21
                            constrain(trailing(theme), leading(password), -15),           // 22
                            constrain(centerY(theme), centerY(back)),                     // 23
                            constrain(trailing(history), leading(theme), -15),            // 24
                            constrain(centerY(history), centerY(back)),                   // 25
                            constrain(top(addr), bottom(back), 15),                       // 26
                            constrain(centerX(addr), centerX(g)),                         // 27
                            constrain(width(addr), width(g), 0, 0.75),                    // 28
                            constrain(height(addr), 28),                                  // 29
                            constrain(leading(sidebarContainer), leading(g), 15),         // 30
                            constrain(top(sidebarContainer), bottom(addr), 15),           // 31
                            constrain(bottom(sidebarContainer), bottom(g), -15),          // 32
                            sidebarWidthConstraint,                                       // 33
                            constrain(top(webContainer), bottom(addr), 15),               // 37
                            webLeadingConstraint,                                         // 38
                            constrain(trailing(webContainer), trailing(g), -15),          // 39
                            constrain(bottom(webContainer), bottom(g), -15),              // 40
                        });
    // A constraint layout holds a child at its natural size only while it
    // measures, not when it places it; the buttons keep theirs outright, so
    // that a change of window or strip width moves them and never stretches them.
    for (Gtk::Widget* button : controlButtons) {
        int minimum = 0, natural = 0, minimumBaseline = 0, naturalBaseline = 0;
        button->measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, minimumBaseline,
                        naturalBaseline);
        glass->constraintLayout()->add_constraint(constrain(width(button), natural));
        button->measure(Gtk::Orientation::VERTICAL, -1, minimum, natural, minimumBaseline,
                        naturalBaseline);
        glass->constraintLayout()->add_constraint(constrain(height(button), natural));
    }
    // Rows 34 to 36 belong to the sidebar column's own layout; the strip's
    // scroller also ends at the column's bottom, where it starts to scroll.
    Gtk::Widget* column = nullptr;
    activateConstraints(sidebarContainer->constraintLayout(),
                        {
                            constrain(top(sidebarTabBarScroller), top(column), 10),       // 34
                            constrain(leading(sidebarTabBarScroller), leading(column)),   // 35
                            constrain(trailing(sidebarTabBarScroller), trailing(column)), // 36
                            constrain(bottom(sidebarTabBarScroller), bottom(column)),
                        });
}

} // namespace vesk
