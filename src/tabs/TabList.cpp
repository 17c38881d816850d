#include "tabs/TabList.h"

#include <gtkmm/box.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>

#include "history/HistoryFilter.h"

namespace vesk {

namespace {
constexpr int kListWidth = 420;
constexpr int kListMaxHeight = 480;
constexpr std::size_t kShownChars = 200;
} // namespace

TabList::TabList() {
    auto* box = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 6);
    auto* scroller = Gtk::make_managed<Gtk::ScrolledWindow>();
    scroller->set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    scroller->set_propagate_natural_height(true);
    scroller->set_max_content_height(kListMaxHeight);
    scroller->set_size_request(kListWidth, -1);
    scroller->set_child(list_);
    box->append(search_);
    box->append(*scroller);
    popover_.set_child(*box);
    popover_.add_css_class("vesk-tab-list");
    list_.set_activate_on_single_click(true);
    list_.signal_row_activated().connect(sigc::mem_fun(*this, &TabList::onRowActivated));
    search_.signal_search_changed().connect(sigc::mem_fun(*this, &TabList::refilter));
    // Return takes the first tab the search leaves.
    search_.signal_activate().connect([this] {
        const std::vector<TabId> shown = shownTabs();
        if (!shown.empty())
            choose(shown.front());
    });
}

TabList::~TabList() {
    if (popover_.get_parent())
        popover_.unparent();
}

void TabList::present(Gtk::Widget& anchor, std::vector<Row> rows) {
    rows_ = std::move(rows);
    while (Gtk::Widget* child = list_.get_first_child())
        list_.remove(*child);
    rowViews_.clear();
    for (const Row& row : rows_) {
        auto* line = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
        auto* text = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 0);
        auto* title =
            Gtk::make_managed<Gtk::Label>(shownText(row.title, kShownChars, Ellipsis::End));
        title->set_xalign(0.0);
        title->set_ellipsize(Pango::EllipsizeMode::END);
        if (row.isSelected)
            title->add_css_class("heading");
        auto* address =
            Gtk::make_managed<Gtk::Label>(shownText(row.address, kShownChars, Ellipsis::Middle));
        address->set_xalign(0.0);
        address->set_ellipsize(Pango::EllipsizeMode::MIDDLE);
        address->add_css_class("dim-label");
        text->append(*title);
        text->append(*address);
        text->set_hexpand(true);
        line->append(*text);
        if (row.playsSound)
            line->append(*Gtk::make_managed<Gtk::Image>("audio-volume-high-symbolic"));
        if (!row.folder.empty()) {
            auto* folder = Gtk::make_managed<Gtk::Label>("\U0001F4C1 " + row.folder);
            folder->add_css_class("dim-label");
            line->append(*folder);
        }
        if (row.isSleeping) {
            auto* asleep = Gtk::make_managed<Gtk::Label>("Sleeping");
            asleep->add_css_class("dim-label");
            line->append(*asleep);
            text->set_opacity(0.6);
        }
        auto* view = Gtk::make_managed<Gtk::ListBoxRow>();
        view->set_child(*line);
        list_.append(*view);
        rowViews_.push_back(view);
    }
    search_.set_text("");
    refilter();
    if (popover_.get_parent() != &anchor) {
        if (popover_.get_parent())
            popover_.unparent();
        popover_.set_parent(anchor);
    }
    popover_.popup();
    search_.grab_focus();
}

void TabList::close() {
    popover_.popdown();
}

std::vector<TabId> TabList::shownTabs() const {
    std::vector<TabId> shown;
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rowViews_[i]->get_visible())
            shown.push_back(rows_[i].id);
    return shown;
}

void TabList::choose(TabId id) {
    close();
    chosen_.emit(id);
}

void TabList::refilter() {
    const HistoryFilter filter(search_.get_text().raw());
    for (std::size_t i = 0; i < rows_.size(); ++i)
        rowViews_[i]->set_visible(filter.isEmpty() ||
                                  filter.matches({rows_[i].title, rows_[i].address}));
}

void TabList::onRowActivated(Gtk::ListBoxRow* row) {
    for (std::size_t i = 0; i < rowViews_.size(); ++i)
        if (rowViews_[i] == row)
            return choose(rows_[i].id);
}

} // namespace vesk
