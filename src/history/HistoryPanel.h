#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <sigc++/signal.h>

#include "store/VeskStore.h"
#include "theme/Theme.h"
#include "widgets/FloatingPanel.h"

namespace vesk {

// The floating history list: a search field, a trash button, a close button and
// the entries, newest first, filtered as the user types. A row's title opens its
// entry. The panel's own texts keep the colours they were built with; the rows
// take the colours of each rebuild.
class HistoryPanel : public FloatingPanel {
public:
    HistoryPanel(ConstraintView& glass, Gtk::Widget& anchor, FloatingPanelGroup& group);
    ~HistoryPanel() override;

    // Opens a fresh panel (empty search field) in `colors`; call showHistory to fill it.
    void open(const ThemeColors& colors);

    // Lists `entries` that the search text matches, in `colors`; nothing while closed.
    // Rows whose entries did not change are kept, so a keystroke mostly shows and
    // hides rows rather than making them anew.
    void showHistory(const std::vector<HistoryEntry>& entries, const ThemeColors& colors);

    // The open panel's search field; null while closed.
    Gtk::Entry* searchField() const { return search_; }
    // The title buttons of the rows shown now, top to bottom.
    std::vector<Gtk::Button*> shownRowButtons() const;
    // Whether "No matching history" is shown.
    bool showsNoMatch() const;

    // The search text changed.
    sigc::signal<void()>& signalSearchChanged() { return searchChanged_; }
    // A row was clicked; the address is the entry's, as stored.
    sigc::signal<void(const std::string&)>& signalOpenEntry() { return openEntry_; }

private:
    struct List;

    void forgetContent() override;
    double fill(ConstraintView& panel, const ThemeColors& colors);

    Gtk::Entry* search_ = nullptr;
    Gtk::Box* historyStack_ = nullptr;
    std::unique_ptr<List> list_;
    sigc::signal<void()> searchChanged_;
    sigc::signal<void(const std::string&)> openEntry_;
};

} // namespace vesk
