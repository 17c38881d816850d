#include "tabs/PermissionBar.h"

#include <string>

#include <gtkmm/overlay.h>

#include "engine/WebView.h"

namespace vesk {

namespace {

constexpr int kSpacing = 8;
constexpr int kMargin = 6;

std::string counted(int count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// "tried to open 3 windows and download 1 file"; empty when nothing was kept back.
std::string blockedPhrase(int windows, int downloads) {
    std::string phrase;
    if (windows > 0)
        phrase = "open " + counted(windows, "window", "windows");
    if (downloads > 0)
        phrase += (phrase.empty() ? "" : " and ") + std::string("download ") +
                  counted(downloads, "file", "files");
    return phrase.empty() ? "" : "tried to " + phrase;
}

} // namespace

PermissionBar::PermissionBar(WebView& web, PermissionDecisions& decisions, OpeningGuard& guard)
    : requests_(web, decisions), guard_(guard), bar_(Gtk::Orientation::HORIZONTAL, kSpacing) {
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

    allow_->signal_clicked().connect([this] {
        if (requests_.current())
            requests_.answer(PermissionAnswer::Allow);
        else
            guard_.allow();
    });
    deny_->signal_clicked().connect([this] {
        if (requests_.current())
            requests_.answer(PermissionAnswer::Deny);
        else
            guard_.dismiss();
    });
    requests_.signalChanged().connect(sigc::mem_fun(*this, &PermissionBar::showCurrent));
    guard_.signalChanged().connect(sigc::mem_fun(*this, &PermissionBar::showCurrent));

    web.addOverlay(bar_);
}

PermissionBar::~PermissionBar() {
    if (auto* overlay = dynamic_cast<Gtk::Overlay*>(bar_.get_parent()))
        overlay->remove_overlay(bar_);
}

void PermissionBar::showCurrent() {
    if (const PermissionRequests::Pending* pending = requests_.current()) {
        question_->set_text(pending->host + " wants to " + permissionPhrase(pending->kind));
        bar_.set_visible(true);
        return;
    }
    const std::string blocked = blockedPhrase(guard_.blockedWindows(), guard_.blockedDownloads());
    if (!blocked.empty())
        question_->set_text((guard_.host().empty() ? "This page" : guard_.host()) + " " + blocked);
    bar_.set_visible(!blocked.empty());
}

} // namespace vesk
