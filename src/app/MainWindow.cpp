#include "app/MainWindow.h"

#include <algorithm>
#include <cmath>

#include <glibmm/main.h>
#include <gtkmm/drawingarea.h>
#include <gtkmm/eventcontrollerscroll.h>
#include <gtkmm/gestureclick.h>
#include <gtkmm/overlay.h>
#include <gtkmm/windowcontrols.h>
#include <gtkmm/windowhandle.h>

#include "app/ActionNames.h"
#include "app/LayoutMetrics.h"
#include "widgets/Animation.h"
#include "widgets/IconButton.h"

namespace vesk {

using namespace metrics;

namespace {

constexpr double kWebFadeSeconds = 0.16;
// The window's title while no tab is selected.
constexpr const char* kProgramTitle = "Vesk";
// The buttons a mouse's thumb presses for back and forward.
constexpr unsigned kMouseBackButton = 8;
constexpr unsigned kMouseForwardButton = 9;

Gtk::Requisition naturalSize(Gtk::Widget& widget) {
    Gtk::Requisition minimum, natural;
    widget.get_preferred_size(minimum, natural);
    return natural;
}

} // namespace

MainWindow::MainWindow(Gtk::Application* app)
    : tabStrip_(static_cast<int>(kSidebarWidth)), sidebarWidth_(0.0),
      webLeading_(kTopBarWebLeading) {
    buildWindow(app);

    glass_->addChild(tabStrip_.topScroller());
    // Over the strip's end, so that the pills scroll beneath it.
    tabListButton_ = iconBtn("view-list-symbolic", "All Tabs");
    tabListButton_->add_css_class("vesk-tab-list-button");
    tabListButton_->set_tooltip_text("All Tabs");
    tabListButton_->set_visible(false);
    glass_->addChild(*tabListButton_);

    sidebarContainer_ = Gtk::make_managed<ConstraintView>("vesk-sidebar");
    sidebarContainer_->set_overflow(Gtk::Overflow::HIDDEN);
    glass_->addChild(*sidebarContainer_);
    sidebarContainer_->addChild(tabStrip_.sidebarScroller());

    glass_->addChild(addressField_.widget());

    webContainer_ = Gtk::make_managed<ConstraintView>("vesk-web-area");
    webContainer_->set_overflow(Gtk::Overflow::HIDDEN);
    glass_->addChild(*webContainer_);
    // Added after the web area so that it lies over the page, across the area's top.
    Gtk::Widget* restore = &restoreBar_.widget();
    glass_->addChild(*restore);
    // It keeps its natural height, as the buttons do; hidden, it would measure nothing.
    restore->set_visible(true);
    const int restoreHeight = naturalSize(*restore).get_height();
    restore->set_visible(false);
    activateConstraints(glass_->constraintLayout(),
                        {constrain(top(restore), top(webContainer_)),
                         constrain(leading(restore), leading(webContainer_)),
                         constrain(trailing(restore), trailing(webContainer_)),
                         constrain(height(restore), restoreHeight)});

    for (Gtk::Button* button : toolbar_.buttons())
        glass_->addChild(*button);
    Gtk::Widget* downloads = &downloads_.button();
    glass_->addChild(*downloads);
    // Measured while shown, as the restore bar is; it appears with the first download.
    downloads->set_visible(true);
    const Gtk::Requisition downloadsSize = naturalSize(*downloads);
    downloads->set_visible(false);
    activateConstraints(
        glass_->constraintLayout(),
        {constrain(trailing(downloads), leading(&toolbar_.history()), -kRightGroupGap),
         constrain(centerY(downloads), centerY(&toolbar_.back())),
         constrain(width(downloads), downloadsSize.get_width()),
         constrain(height(downloads), downloadsSize.get_height())});
    downloadsWidth_ = downloadsSize.get_width();
    downloads->property_visible().signal_changed().connect([this] { onWidthChanged(); });

    activateLayoutConstraints();
    fitTopStripToContent();
    connectPointerShortcuts();
    alerts_ = std::make_unique<AlertPresenter>(*window_);
    // Drawn last, over the pills that scroll beneath it.
    gtk_widget_insert_before(GTK_WIDGET(tabListButton_->gobj()), GTK_WIDGET(glass_->gobj()),
                             nullptr);
}

void MainWindow::connectPointerShortcuts() {
    auto buttons = Gtk::GestureClick::create();
    buttons->set_button(0);
    buttons->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    buttons->signal_pressed().connect([this, gesture = buttons.get()](int, double, double) {
        const unsigned button = gesture->get_current_button();
        if (button == kMouseBackButton)
            window_->activate_action(std::string("win.") + action::kGoBack);
        else if (button == kMouseForwardButton)
            window_->activate_action(std::string("win.") + action::kGoForward);
    });
    window_->add_controller(buttons);

    auto wheel = Gtk::EventControllerScroll::create();
    wheel->set_flags(Gtk::EventControllerScroll::Flags::VERTICAL);
    wheel->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    wheel->signal_scroll().connect(
        [this, controller = wheel.get()](double, double dy) {
            const bool ctrl = (controller->get_current_event_state() &
                               Gdk::ModifierType::CONTROL_MASK) == Gdk::ModifierType::CONTROL_MASK;
            if (!ctrl || dy == 0.0)
                return false;
            window_->activate_action(std::string("win.") +
                                     (dy < 0 ? action::kZoomIn : action::kZoomOut));
            return true;
        },
        false);
    webContainer_->add_controller(wheel);
}

std::vector<Glib::RefPtr<Gtk::Constraint>> MainWindow::webFrameConstraints() const {
    return {webTopConstraint_, webLeadingConstraint_, webTrailingConstraint_, webBottomConstraint_};
}

void MainWindow::setFullscreen(bool fullscreen) {
    if (fullscreen == fullscreen_)
        return;
    fullscreen_ = fullscreen;
    for (Gtk::Button* button : toolbar_.buttons())
        button->set_visible(!fullscreen);
    downloads_.button().set_visible(!fullscreen && downloads_.hasDownloads());
    for (Gtk::Widget* part : std::initializer_list<Gtk::Widget*>{
             &tabStrip_.topScroller(), sidebarContainer_, &addressField_.widget(), titleBar_})
        part->set_visible(!fullscreen);

    auto layout = glass_->constraintLayout();
    if (fullscreen) {
        deactivateConstraints(layout, webFrameConstraints());
        Gtk::Widget* g = nullptr;
        fullscreenConstraints_ = {
            constrain(top(webContainer_), top(g)),
            constrain(leading(webContainer_), leading(g)),
            constrain(trailing(webContainer_), trailing(g)),
            constrain(bottom(webContainer_), bottom(g)),
        };
        activateConstraints(layout, fullscreenConstraints_);
        window_->add_css_class("vesk-fullscreen");
        window_->fullscreen();
    } else {
        deactivateConstraints(layout, fullscreenConstraints_);
        fullscreenConstraints_.clear();
        // The layout mode may have moved on meanwhile: its leading edge is the latest.
        webLeadingConstraint_ = constrain(leading(webContainer_), leading(nullptr), webLeading_);
        activateConstraints(layout, webFrameConstraints());
        window_->remove_css_class("vesk-fullscreen");
        window_->unfullscreen();
    }
}

MainWindow::~MainWindow() {
    widthRefit_.disconnect();
    alerts_.reset();
    window_->destroy();
}

void MainWindow::buildWindow(Gtk::Application* app) {
    window_ = std::make_unique<Gtk::ApplicationWindow>();
    window_->add_css_class("vesk-window");
    window_->set_default_size(kWindowWidth, kWindowHeight);
    window_->set_size_request(kMinWindowWidth, kMinWindowHeight);
    window_->set_resizable(true);
    window_->set_deletable(true);
    window_->set_show_menubar(false);
    // An empty title bar: the backdrop runs up to the window's top edge.
    auto* titlebar = Gtk::make_managed<Gtk::Box>();
    titlebar->set_visible(false);
    window_->set_titlebar(*titlebar);
    if (app)
        app->add_window(*window_);

    // The content: the backdrop, with the top strip of the window over it
    // acting as the title bar (drag to move, close and maximise, no minimise).
    auto* content = Gtk::make_managed<Gtk::Overlay>();
    glass_ = Gtk::make_managed<ConstraintView>("vesk-glass");
    glass_->set_hexpand(true);
    glass_->set_vexpand(true);
    // The glass is an overlay, not the overlay's main child, so that its
    // measured size never sets the window's smallest size: the constraint
    // solver reports the last allocated size as the minimum once any
    // constraint has changed (a tab switch, a layout switch), which would
    // keep the window from ever being made smaller again. The window's own
    // size request is the smallest size, and the glass always fills it.
    content->add_overlay(*glass_);
    content->signal_get_child_position().connect(
        [content, backdrop = glass_](Gtk::Widget* child, Gdk::Rectangle& frame) {
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
    titleBar_ = handle;

    // A zero-high strip across the window that reports the window's width,
    // so that the top tab strip's width can follow it after each resize.
    auto* widthProbe = Gtk::make_managed<Gtk::DrawingArea>();
    widthProbe->set_can_target(false);
    widthProbe->set_valign(Gtk::Align::START);
    widthProbe->signal_resize().connect([this](int, int) { onWidthChanged(); });
    // Nothing may touch the window's widgets once it has been closed and destroyed.
    window_->signal_destroy().connect([this] {
        closed_ = true;
        widthRefit_.disconnect();
    });
    content->add_overlay(*widthProbe);
    window_->set_child(*content);
}

void MainWindow::onWidthChanged() {
    // Constraints must not change inside a layout pass.
    if (!widthRefit_.connected() && !closed_)
        widthRefit_ = Glib::signal_idle().connect([this] {
            fitTopStripToContent();
            return false;
        });
}

void MainWindow::fitTopStripToContent() {
    if (closed_)
        return;
    // The strip is as wide as its pills, but ends where the new-tab and
    // new-folder buttons after it still end a clearance before the downloads
    // or history button; what does not fit scrolls. Every other width in the row is
    // fixed, so the strip's width follows from the glass's width alone. (The
    // constraint solver does not hold to a preferred width when it places
    // views, so the width is worked out here and held as a requirement.)
    double fixed = kToolbarEdgeInset + 2 * kNavigationButtonGap + kZoomGroupGap + kZoomButtonGap +
                   kStripLeadingGap + kStripTrailingGap + kNewFolderGap + kStripClearance +
                   3 * kRightGroupGap + kToolbarEdgeInset;
    for (Gtk::Button* button : toolbar_.buttons())
        fixed += naturalSize(*button).get_width();
    if (downloads_.button().get_visible())
        fixed += downloadsWidth_ + kRightGroupGap;
    const int glassWidth = glass_->get_width() > 0 ? glass_->get_width() : kWindowWidth;
    const int available = std::max(0, glassWidth - static_cast<int>(fixed));
    const int wanted = std::min(tabStrip_.naturalTopWidth(), available);
    if (!topStripWidthConstraints_.empty() && topStripWidth_ == wanted)
        return;
    topStripWidth_ = wanted;
    auto layout = glass_->constraintLayout();
    deactivateConstraints(layout, topStripWidthConstraints_);
    topStripWidthConstraints_ = {constrain(width(&tabStrip_.topScroller()), wanted)};
    activateConstraints(layout, topStripWidthConstraints_);
}

void MainWindow::activateLayoutConstraints() {
    Toolbar& t = toolbar_;
    Gtk::Widget* back = &t.back();
    Gtk::Widget* strip = &tabStrip_.topScroller();
    // Measured while shown, as the downloads button is; it appears once the pills overflow.
    tabListButton_->set_visible(true);
    const Gtk::Requisition listSize = naturalSize(*tabListButton_);
    tabListButton_->set_visible(false);
    activateConstraints(glass_->constraintLayout(),
                        {constrain(trailing(tabListButton_), trailing(strip)),
                         constrain(centerY(tabListButton_), centerY(strip)),
                         constrain(width(tabListButton_), listSize.get_width()),
                         constrain(height(tabListButton_), listSize.get_height())});
    Gtk::Widget* addr = &addressField_.widget();
    Gtk::Widget* g = nullptr; // the glass itself

    sidebarWidthConstraint_ = constrain(width(sidebarContainer_), sidebarWidth_);
    webLeadingConstraint_ = constrain(leading(webContainer_), leading(g), webLeading_);
    webTopConstraint_ = constrain(top(webContainer_), bottom(addr), kContentMargin);
    webTrailingConstraint_ = constrain(trailing(webContainer_), trailing(g), -kContentMargin);
    webBottomConstraint_ = constrain(bottom(webContainer_), bottom(g), -kContentMargin);

    activateConstraints(
        glass_->constraintLayout(),
        {
            // The toolbar row: back, forward and reload, the zoom pair, the top
            // strip with new-tab and new-folder after it, all on the back button's
            // centre line; history, theme, password and layout from the right.
            constrain(leading(back), leading(g), kToolbarEdgeInset),
            constrain(top(back), top(g), kTitleBarHeight),
            constrain(leading(&t.forward()), trailing(back), kNavigationButtonGap),
            constrain(centerY(&t.forward()), centerY(back)),
            constrain(leading(&t.reload()), trailing(&t.forward()), kNavigationButtonGap),
            constrain(centerY(&t.reload()), centerY(back)),
            constrain(leading(&t.zoomOut()), trailing(&t.reload()), kZoomGroupGap),
            constrain(centerY(&t.zoomOut()), centerY(back)),
            constrain(leading(&t.zoomIn()), trailing(&t.zoomOut()), kZoomButtonGap),
            constrain(centerY(&t.zoomIn()), centerY(back)),
            constrain(leading(strip), trailing(&t.zoomIn()), kStripLeadingGap),
            constrain(centerY(strip), centerY(back)),
            constrain(height(strip), kStripHeight),
            constrain(leading(&t.newTab()), trailing(strip), kStripTrailingGap),
            constrain(centerY(&t.newTab()), centerY(back)),
            constrain(leading(&t.newFolder()), trailing(&t.newTab()), kNewFolderGap),
            constrain(centerY(&t.newFolder()), centerY(back)),
            constrain(trailing(&t.layout()), trailing(g), -kToolbarEdgeInset),
            constrain(centerY(&t.layout()), centerY(back)),
            constrain(trailing(&t.password()), leading(&t.layout()), -kRightGroupGap),
            constrain(centerY(&t.password()), centerY(back)),
            constrain(trailing(&t.theme()), leading(&t.password()), -kRightGroupGap),
            constrain(centerY(&t.theme()), centerY(back)),
            constrain(trailing(&t.history()), leading(&t.theme()), -kRightGroupGap),
            constrain(centerY(&t.history()), centerY(back)),
            // The address field, centred under the toolbar.
            constrain(top(addr), bottom(back), kAddressTopGap),
            constrain(centerX(addr), centerX(g)),
            constrain(width(addr), width(g), 0, kAddressWidthShare),
            constrain(height(addr), kAddressHeight),
            // The sidebar column and the web area fill the rest, side by side.
            constrain(leading(sidebarContainer_), leading(g), kContentMargin),
            constrain(top(sidebarContainer_), bottom(addr), kContentMargin),
            constrain(bottom(sidebarContainer_), bottom(g), -kContentMargin),
            sidebarWidthConstraint_,
            webTopConstraint_,
            webLeadingConstraint_,
            webTrailingConstraint_,
            webBottomConstraint_,
        });
    // A constraint layout holds a child at its natural size only while it
    // measures, not when it places it; the buttons keep theirs outright, so
    // that a change of window or strip width moves them and never stretches them.
    for (Gtk::Button* button : toolbar_.buttons()) {
        const Gtk::Requisition size = naturalSize(*button);
        glass_->constraintLayout()->add_constraint(constrain(width(button), size.get_width()));
        glass_->constraintLayout()->add_constraint(constrain(height(button), size.get_height()));
    }
    // The sidebar strip's scroller fills the column below a small top inset,
    // and starts to scroll at the column's bottom.
    Gtk::Widget* column = nullptr;
    Gtk::Widget* sidebarScroller = &tabStrip_.sidebarScroller();
    activateConstraints(sidebarContainer_->constraintLayout(),
                        {
                            constrain(top(sidebarScroller), top(column), kSidebarStripTop),
                            constrain(leading(sidebarScroller), leading(column)),
                            constrain(trailing(sidebarScroller), trailing(column)),
                            constrain(bottom(sidebarScroller), bottom(column)),
                        });
}

void MainWindow::followTitles(TabModel& model) {
    titledModel_ = &model;
    model.signalSelected().connect(
        sigc::hide(sigc::mem_fun(*this, &MainWindow::showSelectedTitle)));
    model.signalChanged().connect(sigc::mem_fun(*this, &MainWindow::onTabChanged));
    showSelectedTitle();
}

void MainWindow::onTabChanged(TabId id, TabField field) {
    const TabRecord* selected = titledModel_->selected();
    if (field == TabField::Title && selected && selected->id == id)
        showSelectedTitle();
}

void MainWindow::showSelectedTitle() {
    const TabRecord* selected = titledModel_->selected();
    window_->set_title(selected ? selected->title : kProgramTitle);
}

void MainWindow::showWebView(Gtk::Widget& page) {
    if (!activeWebConstraints_.empty()) {
        deactivateConstraints(webContainer_->constraintLayout(), activeWebConstraints_);
        activeWebConstraints_.clear();
    }
    // The view that was shown leaves the window but keeps loading.
    for (Gtk::Widget* child : webContainer_->children())
        webContainer_->removeChild(*child);

    webContainer_->addChild(page);
    Gtk::Widget* container = nullptr;
    activeWebConstraints_ = {
        constrain(top(&page), top(container)),
        constrain(bottom(&page), bottom(container)),
        constrain(leading(&page), leading(container)),
        constrain(trailing(&page), trailing(container)),
    };
    activateConstraints(webContainer_->constraintLayout(), activeWebConstraints_);

    // The change of content fades in; the first page, shown with the window, has
    // nothing to fade from.
    if (!window_->get_mapped()) {
        page.set_opacity(1.0);
        return;
    }
    page.set_opacity(0.0);
    Animation::run(
        page, kWebFadeSeconds, TimingCurve::Linear, [&page](double v) { page.set_opacity(v); },
        nullptr, lifetime_.watch());
}

void MainWindow::removeWebView(Gtk::Widget& page) {
    if (page.get_parent() != webContainer_)
        return;
    deactivateConstraints(webContainer_->constraintLayout(), activeWebConstraints_);
    activeWebConstraints_.clear();
    webContainer_->removeChild(page);
}

void MainWindow::animateLayoutMode(StripMode mode, std::function<void()> completion) {
    const bool sidebar = mode == StripMode::Sidebar;
    // Each change animates from wherever things stand now towards the new mode.
    const double fromWidth = sidebarWidth_;
    const double fromLeading = webLeading_;
    const double fromOpacity = topStripOpacity_;
    const double toWidth = sidebar ? kSidebarWidth : 0.0;
    const double toLeading = sidebar ? kSidebarWebLeading : kTopBarWebLeading;
    const double toOpacity = sidebar ? 0.0 : 1.0;
    const unsigned generation = ++layoutGeneration_;

    auto step = [this, generation, fromWidth, fromLeading, fromOpacity, toWidth, toLeading,
                 toOpacity](double v) {
        // A newer change owns the values from now on.
        if (generation != layoutGeneration_)
            return;
        // Written so that the last frame lands exactly on the target.
        auto mix = [v](double from, double to) { return from * (1.0 - v) + to * v; };
        // Whole pixels only: once fractional constants have been swapped in and
        // out, the layout's solver is off by a sliver, and as positions are
        // floored and sizes rounded up, a turned-around change ended a pixel off.
        setLayoutConstants(std::round(mix(fromWidth, toWidth)),
                           std::round(mix(fromLeading, toLeading)), mix(fromOpacity, toOpacity));
    };
    Animation::run(*glass_, kLayoutSeconds, TimingCurve::EaseInEaseOut, step, std::move(completion),
                   lifetime_.watch());
}

void MainWindow::setLayoutConstants(double sidebarWidth, double webLeading, double stripOpacity) {
    // A constraint cannot change: the two held ones are replaced.
    auto layout = glass_->constraintLayout();
    if (sidebarWidth != sidebarWidth_) {
        layout->remove_constraint(sidebarWidthConstraint_);
        sidebarWidthConstraint_ = constrain(width(sidebarContainer_), sidebarWidth);
        layout->add_constraint(sidebarWidthConstraint_);
        sidebarWidth_ = sidebarWidth;
    }
    if (webLeading != webLeading_ && fullscreen_) {
        // Full screen holds the web area at the edges; leaving it takes this value up.
        webLeading_ = webLeading;
    } else if (webLeading != webLeading_) {
        layout->remove_constraint(webLeadingConstraint_);
        webLeadingConstraint_ = constrain(leading(webContainer_), leading(nullptr), webLeading);
        layout->add_constraint(webLeadingConstraint_);
        webLeading_ = webLeading;
    }
    topStripOpacity_ = stripOpacity;
    tabStrip_.topScroller().set_opacity(stripOpacity);
}

} // namespace vesk
