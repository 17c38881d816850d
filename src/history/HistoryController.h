#pragma once

#include <optional>
#include <string>

#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include "store/VisitDatabase.h"

namespace vesk {

class AlertPresenter;
class HistoryPanel;
class ThemeController;

// The history panel kept in step with the store: opened and closed, refilled
// as pages finish and as the search changes, and emptied on request.
class HistoryController : public sigc::trackable {
public:
    HistoryController(HistoryPanel& panel, const ThemeController& theme, AlertPresenter& alerts);
    HistoryController(const HistoryController&) = delete;
    HistoryController& operator=(const HistoryController&) = delete;

    // Opens or closes the panel; the keyboard stays where it is.
    void toggleHistory();
    // Opens the panel with the keyboard in its search field, or closes it.
    void toggleHistorySearch();
    // Refills the panel from the store while it is open.
    void rebuildHistoryPanel();
    // Asks, then clears every history entry.
    void clearHistory();
    // Records a page that finished loading, and shows it in the open panel.
    void pageFinished(const std::string& address, const std::optional<std::string>& title,
                      VisitOrigin origin = VisitOrigin::Link);

    // The user chose an entry: its stored address, to load as it is.
    sigc::signal<void(const std::string&)>& signalOpen() { return open_; }

private:
    void onEntryChosen(const std::string& address);

    HistoryPanel& panel_;
    const ThemeController& theme_;
    AlertPresenter& alerts_;
    sigc::signal<void(const std::string&)> open_;
};

} // namespace vesk
