#include "history/HistoryController.h"

#include "history/HistoryFilter.h"
#include "history/HistoryPanel.h"
#include "store/VeskStore.h"
#include "theme/ThemeController.h"
#include "widgets/Alert.h"

namespace vesk {

HistoryController::HistoryController(HistoryPanel& panel, const ThemeController& theme,
                                     AlertPresenter& alerts)
    : panel_(panel), theme_(theme), alerts_(alerts) {
    panel_.signalSearchChanged().connect(
        sigc::mem_fun(*this, &HistoryController::rebuildHistoryPanel));
    panel_.signalOpenEntry().connect(sigc::mem_fun(*this, &HistoryController::onEntryChosen));
}

void HistoryController::toggleHistory() {
    if (panel_.isOpen()) {
        panel_.close();
        return;
    }
    panel_.open(theme_.panelColors());
    rebuildHistoryPanel();
}

void HistoryController::toggleHistorySearch() {
    toggleHistory();
    if (Gtk::Entry* search = panel_.searchField())
        panel_.focusInPanel(*search);
}

void HistoryController::rebuildHistoryPanel() {
    if (panel_.isOpen())
        panel_.showHistory(VeskStore::shared().loadHistory(), theme_.panelColors());
}

void HistoryController::clearHistory() {
    auto alert = alerts_.makeAlert("Clear all history?", "Clear", Gtk::MessageType::WARNING);
    alert->set_secondary_text("This removes every saved history item.");
    alerts_.present(std::move(alert), [this](AlertResponse response) {
        if (response != AlertResponse::Confirm)
            return;
        VeskStore::shared().clearHistory();
        rebuildHistoryPanel();
    });
}

void HistoryController::pageFinished(const std::string& address,
                                     const std::optional<std::string>& title, VisitOrigin origin) {
    VeskStore::shared().addHistory(address, title, origin);
    rebuildHistoryPanel();
}

void HistoryController::onEntryChosen(const std::string& address) {
    // The stored address is loaded as it is, without the typed-address rules.
    if (const std::optional<std::string> url = historyURL(address)) {
        open_.emit(*url);
        panel_.close();
    }
}

} // namespace vesk
