#include "app/AppDelegate.h"

#include <glibmm/main.h>
#include <gtkmm/adjustment.h>

#include "tabs/TabStripArrangement.h"
#include "tabs/VeskTabPill.h"

namespace vesk {

namespace {

void emptyStrip(Gtk::Box& strip) {
    while (Gtk::Widget* child = strip.get_first_child())
        strip.remove(*child);
}

} // namespace

void AppDelegate::rebuildTabBarLayouts() {
    // Both strips are emptied and the one in use refilled whole; never patched in place.
    emptyStrip(*topTabBarStack);
    emptyStrip(*sidebarTabBarStack);

    std::vector<std::string> parents;
    parents.reserve(tabs.size());
    for (const auto& t : tabs)
        parents.push_back(t->parentFolderId);
    std::vector<FolderSummary> summaries;
    summaries.reserve(folders.size());
    for (const auto& f : folders)
        summaries.push_back({f->folderId, f->isExpanded});

    const StripMode mode = isSidebarMode ? StripMode::Sidebar : StripMode::TopBar;
    Gtk::Box& strip = isSidebarMode ? *sidebarTabBarStack : *topTabBarStack;
    for (const StripItem& item : arrangeTabStrip(mode, parents, summaries)) {
        Gtk::Widget* view = nullptr;
        if (item.kind == StripItem::Kind::FolderHeader)
            view = folders[item.index]->folderHeaderBtn.get();
        else
            view = tabs[item.index]->pill.get();
        if (view->get_parent())
            view->unparent();
        strip.append(*view);
        view->set_visible(!item.hidden);
    }
    fitTopStripToContent();
}

} // namespace vesk
