#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include <gdkmm/paintable.h>
#include <gtkmm/entry.h>
#include <sigc++/trackable.h>

#include "base/Lifetime.h"
#include "store/VisitDatabase.h"
#include "suggestions/SuggestionList.h"
#include "suggestions/VisitSearch.h"

namespace vesk {

class Tab;

// The suggestions under the address field while the user types: asks the long-term
// history (off the UI thread) and the bookmarks at each keystroke, ranks the rows and
// drives the list from the field's keys. Down and Up move through the rows and put the
// row's address into the field, Return loads what the field holds, Escape puts back
// what the user typed and closes the list, Shift+Delete forgets a visited page, a
// click loads a row. It also remembers which tab's load the user asked for from the
// field, so that the visit counts as typed.
class SuggestionsController : public sigc::trackable {
public:
    // The bookmarks to suggest, best first.
    using BookmarkSource = std::function<std::vector<BookmarkedPage>()>;
    // Looks up a page's site icon and hands it to the callback when there is one.
    using IconLookup = std::function<void(
        const std::string& url, std::function<void(const Glib::RefPtr<Gdk::Paintable>&)> found)>;

    SuggestionsController(Gtk::Entry& field, std::filesystem::path visitDatabase);
    SuggestionsController(const SuggestionsController&) = delete;
    SuggestionsController& operator=(const SuggestionsController&) = delete;

    // The user changed the field's text to `text`.
    void typed(const std::string& text);
    // Closes the list and forgets the question on its way.
    void close();
    // Whether the field losing the keyboard is the user reaching for a row, which does
    // not end editing.
    bool keepsEditing() const { return list_.containsPointer(); }

    void setBookmarkSource(BookmarkSource source) { bookmarks_ = std::move(source); }
    void setIconLookup(IconLookup lookup) { iconLookup_ = std::move(lookup); }

    // A load the user asked for from the field started in `tab`.
    void typedLoadStarted(const Tab* tab);
    // How the page that just finished in `tab` was reached; a typed load counts once.
    VisitOrigin takeVisitOrigin(const Tab* tab);

    SuggestionList& list() { return list_; }

private:
    bool onKeyPressed(guint keyval, guint keycode, Gdk::ModifierType state);
    void onFocusEnter();
    void onFocusLeave();
    void onAnswer(const std::string& text, std::vector<VisitedPage> pages);
    void onRowClicked(std::size_t index);
    void move(int step);
    void showInField(const std::string& text);
    void removeSelected();
    bool hasKeyboard();

    Gtk::Entry& field_;
    SuggestionList list_;
    VisitSearch search_;
    BookmarkSource bookmarks_;
    IconLookup iconLookup_;
    // What the user typed, put back when no row is selected.
    std::string typed_;
    // The controller itself is changing the field's text.
    bool isFillingField_ = false;
    // Pages the user removed while this list was open, in case an answer on its way
    // still holds them.
    std::set<std::string, std::less<>> removed_;
    const Tab* typedTab_ = nullptr;
    Lifetime lifetime_;
};

} // namespace vesk
