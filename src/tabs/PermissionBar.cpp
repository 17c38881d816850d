#include "tabs/PermissionBar.h"

#include <gtkmm/overlay.h>

#include "engine/WebView.h"

namespace vesk {

namespace {

constexpr int kSpacing = 8;
constexpr int kMargin = 6;

} // namespace

PermissionBar::PermissionBar(WebView& web, PermissionDecisions& decisions)
    : requests_(web, decisions), bar_(Gtk::Orientation::HORIZONTAL, kSpacing) {
    bar_.add_css_class("vesk-permission-bar");
    bar_.set_valign(Gtk::Align::START);
    bar_.set_margin(kMargin);
    bar_.set_visible(false);

    question_ = Gtk::make_managed<Gtk::Label>();
    question_->set_hexpand(true);
    question_->set_xalign(0.0f);
    question_->set_wrap(true);
    allow_ = Gtk::make_managed<Gtk::Button>("Allow");
    allow_->add_css_class("suggested-action");
    deny_ = Gtk::make_managed<Gtk::Button>("Deny");
    bar_.append(*question_);
    bar_.append(*deny_);
    bar_.append(*allow_);

    allow_->signal_clicked().connect([this] { requests_.answer(PermissionAnswer::Allow); });
    deny_->signal_clicked().connect([this] { requests_.answer(PermissionAnswer::Deny); });
    requests_.signalChanged().connect(sigc::mem_fun(*this, &PermissionBar::showCurrent));

    web.addOverlay(bar_);
}

PermissionBar::~PermissionBar() {
    if (auto* overlay = dynamic_cast<Gtk::Overlay*>(bar_.get_parent()))
        overlay->remove_overlay(bar_);
}

void PermissionBar::showCurrent() {
    const PermissionRequests::Pending* pending = requests_.current();
    if (pending)
        question_->set_text(pending->host + " wants to " + permissionPhrase(pending->kind));
    bar_.set_visible(pending != nullptr);
}

} // namespace vesk
