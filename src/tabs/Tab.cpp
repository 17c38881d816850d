#include "tabs/Tab.h"

#include <gtkmm/box.h>
#include <gtkmm/gestureclick.h>
#include <gtkmm/label.h>

#include "engine/LoginForms.h"
#include "engine/OpeningGuard.h"
#include "engine/SiteIcons.h"
#include "tabs/FindBar.h"
#include "tabs/PermissionBar.h"
#include "widgets/IconButton.h"
#include "widgets/Text.h"

namespace vesk {

namespace {

constexpr double kTitlePointSize = 12.0;
constexpr double kCloseOpacity = 0.5;
constexpr int kIconSize = 16;

} // namespace

Tab::Tab() : pill_(std::make_unique<VeskTabPill>()) {
    pill_->set_size_request(static_cast<int>(VeskTabPill::kWidth),
                            static_cast<int>(VeskTabPill::kHeight));
    // A strip is as tall (top) or as wide (sidebar) as its column; the pill keeps
    // its fixed size and centres in that room instead of stretching.
    pill_->set_halign(Gtk::Align::CENTER);
    pill_->set_valign(Gtk::Align::CENTER);

    btn_ = Gtk::make_managed<Gtk::Button>("Loading");
    btn_->set_has_frame(false);
    btn_->add_css_class("flat");
    btn_->add_css_class("vesk-tab-title");
    btn_->set_focus_on_click(false);
    if (Gtk::Label* label = labelOf(*btn_)) {
        label->set_ellipsize(Pango::EllipsizeMode::END);
        label->set_xalign(0.0);
    }
    setVeskFont(*btn_, kTitlePointSize, FontWeight::Medium);
    btn_->signal_clicked().connect([this] { select_.emit(); });

    closeBtn_ = iconBtn("window-close-symbolic", "Close Tab");
    closeBtn_->add_css_class("vesk-tab-close");
    closeBtn_->set_opacity(kCloseOpacity);
    closeBtn_->signal_clicked().connect([this] { close_.emit(); });

    soundBtn_ = iconBtn("audio-volume-high-symbolic", "Mute Tab");
    soundBtn_->add_css_class("vesk-tab-sound");
    soundBtn_->set_visible(false);
    soundBtn_->signal_clicked().connect([this] { toggleMute_.emit(); });

    // The secondary button anywhere on the pill opens the tab's menu.
    auto secondary = Gtk::GestureClick::create();
    secondary->set_button(GDK_BUTTON_SECONDARY);
    // Before the buttons on it, which would otherwise take the press.
    secondary->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    secondary->signal_pressed().connect(
        [this](int, double x, double y) { menuRequested_.emit(x, y); });
    pill_->add_controller(secondary);
    icon_ = Gtk::make_managed<Gtk::Image>();
    icon_->set_pixel_size(kIconSize);
    icon_->set_visible(false);

    pill_->setParts(*icon_, *btn_, *soundBtn_, *closeBtn_);
}

Tab::~Tab() {
    // The find bar searches through the web view, so it goes first. The web
    // view's handlers go with it, so no late page event reaches a closed tab.
    findBar_.reset();
    pageIcon_.reset();
    permissionBar_.reset();
    loginForms_.reset();
    openingGuard_.reset();
    web_.reset();
    if (pill_->get_parent())
        pill_->unparent();
}

void Tab::makePage(WebSession* session, WebView* opener) {
    if (web_)
        return;
    web_ = std::make_unique<WebView>(session, opener);
    loginForms_ = std::make_unique<LoginForms>(*web_);
    openingGuard_ = std::make_unique<OpeningGuard>(*web_);
    pageIcon_ = std::make_unique<PageIcon>(*web_);
    pageIcon_->signalChanged().connect(sigc::mem_fun(*this, &Tab::setIcon));
}

void Tab::releasePage() {
    if (!web_)
        return;
    // Everything that watches the view goes before it; the pill keeps the page's icon.
    findBar_.reset();
    pageIcon_.reset();
    permissionBar_.reset();
    loginForms_.reset();
    openingGuard_.reset();
    web_->stopLoading();
    web_->disconnectAll();
    web_->endProcessBeforeRelease();
    web_.reset();
    showSound(false, false);
}

void Tab::setSleeping(bool sleeping) {
    if (sleeping)
        pill_->add_css_class("sleeping");
    else
        pill_->remove_css_class("sleeping");
}

void Tab::showSound(bool playing, bool muted) {
    // A muted tab keeps its struck-through speaker, so that it can be unmuted.
    const bool shown = playing || muted;
    pill_->setShownParts({.hasIcon = pill_->shownParts().hasIcon, .showsSound = shown});
    soundBtn_->set_visible(shown);
    soundBtn_->set_icon_name(muted ? "audio-volume-muted-symbolic" : "audio-volume-high-symbolic");
    soundBtn_->set_tooltip_text(muted ? "Unmute Tab" : "Mute Tab");
}

bool Tab::showsSound() const {
    return soundBtn_->get_visible();
}

FindBar& Tab::findBar() {
    if (!findBar_)
        findBar_ = std::make_unique<FindBar>(*web_);
    return *findBar_;
}

void Tab::askPermissions(PermissionDecisions& decisions) {
    permissionBar_ = std::make_unique<PermissionBar>(*web_, decisions, *openingGuard_);
}

void Tab::setTitle(const std::string& title) {
    btn_->set_label(title);
}

void Tab::setIcon(const Glib::RefPtr<Gdk::Paintable>& icon) {
    const bool isShown = static_cast<bool>(icon);
    if (isShown)
        icon_->set(icon);
    else
        icon_->clear();
    if (isShown == icon_->get_visible())
        return;
    icon_->set_visible(isShown);
    pill_->setShownParts({.hasIcon = isShown, .showsSound = pill_->shownParts().showsSound});
}

void Tab::setActive(bool active) {
    // Colours come from the theme's style sheet; the tab only carries its state.
    pill_->isActive = active;
    pill_->clearHover();
    if (active)
        pill_->add_css_class("active");
    else
        pill_->remove_css_class("active");
}

void Tab::detach() {
    if (web_) {
        web_->stopLoading();
        web_->disconnectAll();
    }
    pageIcon_.reset();
    // A closed tab's page neither offers nor receives a password.
    loginForms_.reset();
    // A closed tab's page gets none of what it asked for.
    permissionBar_.reset();
    openingGuard_.reset();
    if (auto* strip = dynamic_cast<Gtk::Box*>(pill_->get_parent()))
        strip->remove(*pill_);
}

} // namespace vesk
