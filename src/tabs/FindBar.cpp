#include "tabs/FindBar.h"

#include <string>

#include <glibmm/main.h>
#include <gtkmm/eventcontrollerkey.h>
#include <gtkmm/overlay.h>

#include "engine/WebView.h"
#include "widgets/IconButton.h"

namespace vesk {

namespace {

// Wide enough for "999 of 1000+", so the bar keeps its size as the count changes.
constexpr int kCountWidthChars = 12;
constexpr int kEntryWidthChars = 18;
constexpr int kSpacing = 4;

bool hasShift(Gdk::ModifierType state) {
    return (state & Gdk::ModifierType::SHIFT_MASK) == Gdk::ModifierType::SHIFT_MASK;
}

} // namespace

FindBar::FindBar(WebView& web) : finder_(web), bar_(Gtk::Orientation::HORIZONTAL, kSpacing) {
    bar_.add_css_class("vesk-find-bar");
    bar_.set_halign(Gtk::Align::END);
    bar_.set_valign(Gtk::Align::START);
    bar_.set_visible(false);

    entry_ = Gtk::make_managed<Gtk::SearchEntry>();
    // gtkmm 4.8 sets a search entry's placeholder through GtkEntry, which it is not.
    entry_->property_placeholder_text() = "Find in page";
    entry_->set_width_chars(kEntryWidthChars);
    count_ = Gtk::make_managed<Gtk::Label>();
    count_->set_width_chars(kCountWidthChars);
    count_->set_xalign(0.5);
    previous_ = iconBtn("go-up-symbolic", "Previous Match");
    next_ = iconBtn("go-down-symbolic", "Next Match");
    close_ = iconBtn("window-close-symbolic", "Close Find Bar");
    bar_.append(*entry_);
    bar_.append(*count_);
    bar_.append(*previous_);
    bar_.append(*next_);
    bar_.append(*close_);

    entry_->signal_search_changed().connect(sigc::mem_fun(*this, &FindBar::onSearchChanged));
    previous_->signal_clicked().connect(sigc::mem_fun(*this, &FindBar::findPrevious));
    next_->signal_clicked().connect(sigc::mem_fun(*this, &FindBar::findNext));
    close_->signal_clicked().connect(sigc::mem_fun(*this, &FindBar::close));
    finder_.signalMatchesChanged().connect(sigc::mem_fun(*this, &FindBar::onMatchesChanged));
    // Escape and F3 act wherever the focus is in the bar, ahead of the field's own keys.
    auto keys = Gtk::EventControllerKey::create();
    keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    keys->signal_key_pressed().connect(sigc::mem_fun(*this, &FindBar::onKeyPressed), false);
    bar_.add_controller(keys);
    // Return steps only in the field; on a focused button it presses the button.
    auto entryKeys = Gtk::EventControllerKey::create();
    entryKeys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    entryKeys->signal_key_pressed().connect(sigc::mem_fun(*this, &FindBar::onEntryKeyPressed),
                                            false);
    entry_->add_controller(entryKeys);

    web.addOverlay(bar_);
}

FindBar::~FindBar() {
    selectAll_.disconnect();
    if (auto* overlay = dynamic_cast<Gtk::Overlay*>(bar_.get_parent()))
        overlay->remove_overlay(bar_);
}

void FindBar::open() {
    if (!isOpen()) {
        bar_.set_visible(true);
        // Closing took the highlight off; the search left in the field comes back.
        finder_.search(entry_->get_text());
    }
    entry_->grab_focus();
    entry_->select_region(0, -1);
    // The page takes the primary selection as the search highlights a match,
    // and the field then drops its own; the last search is selected again
    // until the user types, so that typing replaces it instead of going in
    // front of it.
    keepSelected_ = true;
    selectAll_.disconnect();
    selectAll_ = Glib::signal_idle().connect([this] {
        reselect();
        return false;
    });
}

void FindBar::reselect() {
    if (keepSelected_ && isOpen())
        entry_->select_region(0, -1);
}

void FindBar::close() {
    if (!isOpen())
        return;
    bar_.set_visible(false);
    finder_.finish();
    // The bar lies over the page: the overlay's own child.
    if (auto* overlay = dynamic_cast<Gtk::Overlay*>(bar_.get_parent());
        overlay && overlay->get_child())
        overlay->get_child()->grab_focus();
}

void FindBar::findNext() {
    if (isOpen())
        finder_.next();
}

void FindBar::findPrevious() {
    if (isOpen())
        finder_.previous();
}

void FindBar::onSearchChanged() {
    keepSelected_ = false;
    // The field reports typing a moment late, possibly after the bar closed.
    if (isOpen())
        finder_.search(entry_->get_text());
}

void FindBar::onMatchesChanged(const PageFinder::Matches& matches) {
    reselect();
    if (entry_->get_text().empty())
        count_->set_text("");
    else if (matches.total == 0)
        count_->set_text("No matches");
    else
        count_->set_text(std::to_string(matches.current) + " of " + std::to_string(matches.total) +
                         (matches.pastLimit ? "+" : ""));
}

bool FindBar::onKeyPressed(guint keyval, guint, Gdk::ModifierType state) {
    switch (keyval) {
    case GDK_KEY_Escape:
        close();
        return true;
    case GDK_KEY_F3:
        hasShift(state) ? findPrevious() : findNext();
        return true;
    default:
        return false;
    }
}

bool FindBar::onEntryKeyPressed(guint keyval, guint, Gdk::ModifierType state) {
    if (keyval != GDK_KEY_Return && keyval != GDK_KEY_KP_Enter && keyval != GDK_KEY_ISO_Enter)
        return false;
    hasShift(state) ? findPrevious() : findNext();
    return true;
}

} // namespace vesk
