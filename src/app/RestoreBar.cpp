#include "app/RestoreBar.h"

#include <string>

namespace vesk {

namespace {
constexpr int kSpacing = 8;
constexpr int kMargin = 6;
} // namespace

RestoreBar::RestoreBar() : bar_(Gtk::Orientation::HORIZONTAL, kSpacing) {
    bar_.add_css_class("vesk-restore-bar");
    bar_.set_valign(Gtk::Align::START);
    bar_.set_margin(kMargin);

    label_ = Gtk::make_managed<Gtk::Label>();
    label_->set_hexpand(true);
    label_->set_xalign(0.0f);
    restore_ = Gtk::make_managed<Gtk::Button>("Restore");
    restore_->add_css_class("suggested-action");
    dismiss_ = Gtk::make_managed<Gtk::Button>("Dismiss");
    bar_.append(*label_);
    bar_.append(*restore_);
    bar_.append(*dismiss_);

    restore_->signal_clicked().connect(sigc::mem_fun(*this, &RestoreBar::onRestoreClicked));
    dismiss_->signal_clicked().connect(sigc::mem_fun(*this, &RestoreBar::onDismissClicked));
    bar_.set_visible(false);
}

void RestoreBar::offer(std::size_t tabCount) {
    label_->set_text("Restore " + std::to_string(tabCount) + (tabCount == 1 ? " tab" : " tabs") +
                     " from the last session?");
    bar_.set_visible(true);
}

void RestoreBar::onRestoreClicked() {
    hide();
    restoreChosen_.emit();
}

void RestoreBar::onDismissClicked() {
    hide();
    dismissChosen_.emit();
}

} // namespace vesk
