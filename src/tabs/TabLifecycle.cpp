#include "app/AppDelegate.h"

#include <algorithm>

#include <glibmm/main.h>
#include <gtkmm/label.h>

#include "platform/Animation.h"
#include "platform/ConstraintView.h"
#include "platform/WebView.h"
#include "tabs/VeskTabPill.h"

namespace vesk {

namespace {

constexpr double kPillWidth = VeskTabPill::kWidth;
constexpr double kPillHeight = VeskTabPill::kHeight;
constexpr double kTabFadeSeconds = 0.16;
constexpr double kFadeInSeconds = 0.18;
constexpr double kFadeOutSeconds = 0.16;

template <typename Match>
std::int64_t firstTabIndex(const std::vector<std::unique_ptr<Tab>>& tabs, Match match) {
    auto it = std::find_if(tabs.begin(), tabs.end(), [&](const auto& t) { return match(*t); });
    return it == tabs.end() ? NSNotFound : static_cast<std::int64_t>(it - tabs.begin());
}

} // namespace

void AppDelegate::addNewTab() {
    addTabObject(options_.homePage);
}

void AppDelegate::addTabObject(std::optional<std::string_view> address) {
    auto tab = std::make_unique<Tab>();
    Tab* t = tab.get();

    t->web = std::make_unique<WebView>();
    t->web->setCallbacks({
        .didFinishNavigation = [this](WebView& v) { didFinishNavigation(v); },
        .didFailNavigation = [this](WebView& v, int code) { didFailNavigation(v, code); },
        .didFailProvisionalNavigation = [this](WebView& v,
                                               int code) { didFailProvisionalNavigation(v, code); },
        .webProcessTerminated = [this](WebView& v) { webProcessTerminated(v); },
    });
    if (auto url = normalizedURLFromInput(address))
        t->web->loadURL(*url);

    t->pill = std::make_unique<VeskTabPill>();
    t->pill->set_size_request(static_cast<int>(kPillWidth), static_cast<int>(kPillHeight));
    // A strip is as tall (top) or as wide (sidebar) as its column; the pill keeps
    // its fixed size and centres in that room instead of stretching.
    t->pill->set_halign(Gtk::Align::CENTER);
    t->pill->set_valign(Gtk::Align::CENTER);

    t->btn = Gtk::make_managed<Gtk::Button>("Loading");
    t->btn->set_has_frame(false);
    t->btn->add_css_class("flat");
    t->btn->add_css_class("vesk-tab-title");
    t->btn->set_focus_on_click(false);
    if (auto* label = dynamic_cast<Gtk::Label*>(t->btn->get_child())) {
        label->set_ellipsize(Pango::EllipsizeMode::END);
        label->set_xalign(0.0);
    }
    setVeskFont(*t->btn, 12.0, FontWeight::Medium);
    t->btn->signal_clicked().connect([this, b = t->btn] { tabSwitch(b); });

    t->closeBtn = iconBtn("window-close-symbolic", nullptr);
    t->closeBtn->add_css_class("vesk-tab-close");
    t->closeBtn->set_opacity(0.5);
    t->closeBtn->signal_clicked().connect([this, b = t->closeBtn] { closeTab(b); });

    t->pill->addSubview(*t->btn);
    t->pill->addSubview(*t->closeBtn);
    Gtk::Widget* pill = nullptr; // the pill itself, as the parent
    activateConstraints(t->pill->constraintLayout(),
                        {
                            constrain(width(pill), kPillWidth),
                            constrain(height(pill), kPillHeight),
                            constrain(leading(t->btn), leading(pill), 8.0),
                            constrain(centerY(t->btn), centerY(pill)),
                            constrain(trailing(t->btn), leading(t->closeBtn), -4.0),
                            constrain(trailing(t->closeBtn), trailing(pill), -6.0),
                            constrain(centerY(t->closeBtn), centerY(pill)),
                            constrain(width(t->closeBtn), 14.0),
                            constrain(height(t->closeBtn), 14.0),
                        });

    tabs.push_back(std::move(tab));
    styleTab(*t);
    rebuildTabBarLayouts();
    selectTab(indexAfterAppend(static_cast<std::int64_t>(tabs.size()) - 1));
}

void AppDelegate::selectTab(std::int64_t index) {
    if (!isValidTabIndex(index, static_cast<std::int64_t>(tabs.size())))
        return;

    if (!activeWebConstraints.empty()) {
        deactivateConstraints(webContainer->constraintLayout(), activeWebConstraints);
        activeWebConstraints.clear();
    }
    // The view that was shown leaves the window but keeps loading.
    for (Gtk::Widget* child : webContainer->subviews())
        webContainer->removeSubview(*child);

    activeIdx = index;
    Tab& tab = *tabs[static_cast<std::size_t>(index)];

    Gtk::Widget& web = tab.web->widget();
    webContainer->addSubview(web);
    Gtk::Widget* container = nullptr;
    activeWebConstraints = {
        constrain(top(&web), top(container)),
        constrain(bottom(&web), bottom(container)),
        constrain(leading(&web), leading(container)),
        constrain(trailing(&web), trailing(container)),
    };
    activateConstraints(webContainer->constraintLayout(), activeWebConstraints);

    // The change of content fades in over 0.16 seconds.
    web.set_opacity(0.0);
    Animation::run(
        web, kTabFadeSeconds, TimingCurve::Linear, [&web](double v) { web.set_opacity(v); },
        nullptr, lifetime());

    for (auto& t : tabs) {
        t->pill->isActive = (t.get() == &tab);
        styleTab(*t);
    }
    setAddressText(tab.web->url().value_or(""));
    revealSelectedTab();
}

void AppDelegate::tabSwitch(Gtk::Button* sender) {
    const auto index = firstTabIndex(tabs, [&](const Tab& t) { return t.btn == sender; });
    if (index != NSNotFound)
        selectTab(index);
}

void AppDelegate::closeTab(Gtk::Button* sender) {
    if (tabs.size() < 2)
        return;
    const auto r = firstTabIndex(tabs, [&](const Tab& t) { return t.closeBtn == sender; });
    if (r == NSNotFound)
        return;

    Tab& tab = *tabs[static_cast<std::size_t>(r)];
    tab.web->stopLoading();
    tab.web->clearCallbacks();
    if (tab.web->widget().get_parent() == webContainer) {
        deactivateConstraints(webContainer->constraintLayout(), activeWebConstraints);
        activeWebConstraints.clear();
        webContainer->removeSubview(tab.web->widget());
    }
    if (auto* strip = dynamic_cast<Gtk::Box*>(tab.pill->get_parent()))
        strip->remove(*tab.pill);

    const auto countBefore = static_cast<std::int64_t>(tabs.size());
    std::shared_ptr<Tab> closed(std::move(tabs[static_cast<std::size_t>(r)]));
    tabs.erase(tabs.begin() + r);
    activeIdx = indexAfterRemove(activeIdx, r, countBefore);

    rebuildTabBarLayouts();
    selectTab(activeIdx);

    // The record goes after its views have left the window, which releases the
    // web view. The close button that was clicked belongs to it and is still
    // inside its own click handler, so the release waits until that returns.
    Glib::signal_idle().connect_once([closed = std::move(closed)]() mutable { closed.reset(); });
}

void AppDelegate::styleTab(Tab& tab) {
    // Colours come from the theme's style sheet; the tab only carries its state.
    tab.pill->clearHover();
    if (tab.pill->isActive)
        tab.pill->add_css_class("active");
    else
        tab.pill->remove_css_class("active");
}

void AppDelegate::animateFadeInView(Gtk::Widget& view) {
    view.set_opacity(0.0);
    Animation::run(
        view, kFadeInSeconds, TimingCurve::Linear, [&view](double v) { view.set_opacity(v); },
        nullptr, lifetime());
}

void AppDelegate::animateFadeOutAndRemoveView(Gtk::Widget& view, std::function<void()> completion) {
    const double from = view.get_opacity();
    Animation::run(
        view, kFadeOutSeconds, TimingCurve::Linear,
        [&view, from](double v) { view.set_opacity(from * (1.0 - v)); },
        [&view, completion = std::move(completion)] {
            if (auto* parent = dynamic_cast<ConstraintView*>(view.get_parent()))
                parent->removeSubview(view);
            else if (view.get_parent())
                view.unparent();
            if (completion)
                completion();
        },
        lifetime());
}

} // namespace vesk
