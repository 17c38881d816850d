#pragma once

#include <optional>
#include <vector>

#include <gdkmm/paintable.h>
#include <gtkmm/box.h>
#include <gtkmm/popover.h>
#include <sigc++/signal.h>

#include "suggestions/SuggestionRanking.h"

namespace vesk {

// The rows under the address field: a popover hanging from the field, as wide as it,
// that never takes the keyboard, so typing goes on in the field while it is open. Each
// row shows the page's icon, title and address. The field's keys move the selection
// (SuggestionsController); a click on a row is reported.
class SuggestionList {
public:
    explicit SuggestionList(Gtk::Widget& field);
    ~SuggestionList();
    SuggestionList(const SuggestionList&) = delete;
    SuggestionList& operator=(const SuggestionList&) = delete;

    // Shows `rows` (opening the list when closed), with no row selected.
    void show(std::vector<Suggestion> rows);
    void close();
    bool isOpen() const { return popover_->get_visible(); }
    // Whether the pointer is over the open list: a click there is coming.
    bool containsPointer() const { return isOpen() && isPointerInside_; }

    const std::vector<Suggestion>& rows() const { return rows_; }
    // The selected row's index, if one is selected.
    std::optional<std::size_t> selected() const { return selected_; }
    void select(std::optional<std::size_t> index);
    // Removes the row at `index`; the selection moves to the row that takes its place.
    void removeRow(std::size_t index);
    // Shows `icon` at the start of the rows for `url`.
    void setIcon(const std::string& url, const Glib::RefPtr<Gdk::Paintable>& icon);

    // The widget of the row at `index`, for finding it on screen.
    Gtk::Widget* rowWidget(std::size_t index) const {
        return index < rowWidgets_.size() ? rowWidgets_[index] : nullptr;
    }

    // A row was clicked.
    sigc::signal<void(std::size_t)>& signalClicked() { return clicked_; }

    Gtk::Popover& popover() { return *popover_; }

private:
    void fill();
    void onPressed(int presses, double x, double y);

    Gtk::Widget& field_;
    Gtk::Popover* popover_;
    Gtk::Box* list_;
    std::vector<Suggestion> rows_;
    std::vector<Gtk::Widget*> rowWidgets_;
    std::optional<std::size_t> selected_;
    bool isPointerInside_ = false;
    sigc::signal<void(std::size_t)> clicked_;
};

} // namespace vesk
