#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/searchentry.h>
#include <sigc++/connection.h>
#include <sigc++/trackable.h>

#include "engine/PageFinder.h"

namespace vesk {

class WebView;

// The find bar of one tab: a search field, previous and next buttons, the
// match count and a close button, laid over the top right of the tab's page.
// It finds as the user types; Return and F3 step forward, with Shift back, and
// Escape closes it. Hidden until opened.
class FindBar : public sigc::trackable {
public:
    explicit FindBar(WebView& web);
    ~FindBar();
    FindBar(const FindBar&) = delete;
    FindBar& operator=(const FindBar&) = delete;

    // Shows the bar and puts the focus in its field with the text selected, so
    // typing replaces the last search.
    void open();
    // Hides the bar, takes the highlight off the page and gives the page the focus.
    void close();
    bool isOpen() const { return bar_.get_visible(); }
    // Selects the next or previous match; nothing while the bar is closed.
    void findNext();
    void findPrevious();

    Gtk::Widget& widget() { return bar_; }
    Gtk::SearchEntry& entry() { return *entry_; }
    // "3 of 12", "No matches", or nothing while the field is empty.
    Gtk::Label& matchLabel() { return *count_; }
    Gtk::Button& previousButton() { return *previous_; }
    Gtk::Button& nextButton() { return *next_; }
    Gtk::Button& closeButton() { return *close_; }

private:
    void onSearchChanged();
    void reselect();
    void onMatchesChanged(const PageFinder::Matches& matches);
    bool onKeyPressed(guint keyval, guint keycode, Gdk::ModifierType state);
    bool onEntryKeyPressed(guint keyval, guint keycode, Gdk::ModifierType state);

    PageFinder finder_;
    Gtk::Box bar_;
    Gtk::SearchEntry* entry_ = nullptr;
    Gtk::Label* count_ = nullptr;
    Gtk::Button* previous_ = nullptr;
    Gtk::Button* next_ = nullptr;
    Gtk::Button* close_ = nullptr;
    sigc::connection selectAll_;
    // Reopened with the last search, which typing is to replace.
    bool keepSelected_ = false;
};

} // namespace vesk
