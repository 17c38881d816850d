#include "app/TabListController.h"

#include <gtkmm/adjustment.h>

#include "app/MainWindow.h"
#include "app/TabsController.h"
#include "tabs/TabStrip.h"

namespace vesk {

TabListController::TabListController(TabsController& tabs, MainWindow& window)
    : tabs_(tabs), window_(window) {
    list_.signalChosen().connect([this](TabId id) { tabs_.model().selectTab(id); });
    window_.tabListButton().signal_clicked().connect(
        sigc::mem_fun(*this, &TabListController::showTabList));
    window_.tabStrip().topScroller().get_hadjustment()->signal_changed().connect(
        sigc::mem_fun(*this, &TabListController::updateButton));
    tabs_.model().signalModeChanged().connect([this](StripMode) { updateButton(); });
    updateButton();
}

void TabListController::updateButton() {
    auto adjustment = window_.tabStrip().topScroller().get_hadjustment();
    const bool overflows =
        adjustment->get_upper() - adjustment->get_lower() > adjustment->get_page_size() + 0.5;
    window_.tabListButton().set_visible(overflows && tabs_.model().mode() == StripMode::TopBar);
}

void TabListController::showTabList() {
    const TabModel& model = tabs_.model();
    std::vector<TabList::Row> rows;
    for (const TabRecord& record : model.tabs()) {
        const FolderRecord* folder = model.findFolder(record.folderId);
        Tab* tab = tabs_.find(record.id);
        rows.push_back({.id = record.id,
                        .title = record.title,
                        .address = record.address,
                        .folder = folder ? folder->name : "",
                        .isSleeping = record.state != TabState::Live,
                        .playsSound = tab && tab->showsSound(),
                        .isSelected = model.selected() == &record});
    }
    // Under the button while it shows; otherwise under the address field.
    Gtk::Widget& anchor = window_.tabListButton().get_visible()
                              ? static_cast<Gtk::Widget&>(window_.tabListButton())
                              : static_cast<Gtk::Widget&>(window_.addressField().widget());
    list_.present(anchor, std::move(rows));
}

} // namespace vesk
