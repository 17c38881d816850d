#include "app/AppDelegate.h"

#include <algorithm>
#include <cmath>

#include <gtkmm/label.h>
#include <pangomm/attrlist.h>

#include "history/HistoryFilter.h"
#include "platform/ColorRgba.h"
#include "platform/ConstraintView.h"
#include "platform/WebView.h"
#include "store/VeskStore.h"

namespace vesk {

namespace {

constexpr double kPanelWidth = 300;
constexpr double kPanelHeight = 380;
// The answer an alert gives for its first button.
constexpr int kFirstButton = 1000;
// A row shows at most this many characters of a title or address: far more than
// fit in the panel's width, and little enough that a page title of several
// megabytes is laid out as fast as any other.
constexpr std::size_t kShownChars = 256;

// Where a row's title button keeps its address.
const Glib::Quark& addressKey() {
    static const Glib::Quark key("vesk-history-address");
    return key;
}

guint16 channel(double value) {
    return static_cast<guint16>(std::lround(std::clamp(value, 0.0, 1.0) * 65535.0));
}

// Adds a fixed text colour, alpha included, to a label's attributes.
void addColor(Pango::AttrList& attrs, const Gdk::RGBA& color) {
    auto foreground = Pango::Attribute::create_attr_foreground(
        channel(color.get_red()), channel(color.get_green()), channel(color.get_blue()));
    attrs.insert(foreground);
    auto alpha = Pango::Attribute::create_attr_foreground_alpha(channel(color.get_alpha()));
    attrs.insert(alpha);
}

} // namespace

// The rows of the open history list: every listable entry has its row, shown or
// hidden by the filter, with the text the filter searches.
struct HistoryListState {
    std::vector<HistoryRow> rows;
    std::vector<Gtk::Widget*> views;
    std::vector<std::string> searchTexts;
    Gtk::Label* noMatch = nullptr;
    Gdk::RGBA text;
    Gdk::RGBA muted;
};

void AppDelegate::setPanelText(Gtk::Widget& labelOrButton, double pointSize, FontWeight weight,
                               const Gdk::RGBA& color) {
    Gtk::Label* label = labelOf(labelOrButton);
    if (!label)
        return;
    // Text attributes rather than style classes: the theme's style sheet is replaced
    // at every apply, and these colours must stay as they were when built.
    Pango::AttrList attrs;
    auto font = Pango::Attribute::create_attr_font_desc(veskFont(pointSize, weight));
    attrs.insert(font);
    addColor(attrs, color);
    label->set_attributes(attrs);
}

std::string AppDelegate::historyAddressOf(Gtk::Button& rowButton) {
    const auto* address = static_cast<const std::string*>(rowButton.get_data(addressKey()));
    return address ? *address : std::string();
}

void AppDelegate::toggleHistory() {
    if (themePanel)
        closeThemePanel();
    if (historyPanel) {
        closeHistoryPanel();
        return;
    }
    buildHistoryPanel();
    rebuildHistoryPanel();
    animateFadeInView(*historyPanel);
}

void AppDelegate::buildHistoryPanel() {
    auto* panel = Gtk::make_managed<ConstraintView>("vesk-panel");
    panel->add_css_class("vesk-history-panel");
    panel->set_overflow(Gtk::Overflow::HIDDEN);

    auto* search = Gtk::make_managed<Gtk::Entry>();
    search->set_placeholder_text("Search history");
    search->set_has_frame(false);
    search->add_css_class("vesk-search");
    search->signal_changed().connect([this, search] { controlTextDidChange(search); });

    auto* scroll = Gtk::make_managed<Gtk::ScrolledWindow>();
    scroll->set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    scroll->set_has_frame(false);
    // The scroller's viewport is the list's document view: as wide as the scroller
    // and at least as high as the list, which it holds at its top, full width.
    // Nested constraint layouts cannot take that part: all of a window's layouts share
    // one solver, and a scroller's viewport may hand its child less than its minimum.
    auto* list = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 8);
    list->set_valign(Gtk::Align::START);
    scroll->set_child(*list);

    Gtk::Button* trash = iconBtn("user-trash-symbolic", &AppDelegate::clearHistory);
    Gtk::Button* close = iconBtn("window-close-symbolic", &AppDelegate::closeHistoryPanel);

    panel->addSubview(*search);
    panel->addSubview(*scroll);
    panel->addSubview(*trash);
    panel->addSubview(*close);

    historyList_.reset();
    historyPanel = panel;
    historySearchField = search;
    historyScrollView = scroll;
    historyStack = list;
    glass->addSubview(*panel);

    historyPanelConstraints_ = {
        constrain(top(panel), bottom(addr), 10),            // 1
        constrain(trailing(panel), trailing(nullptr), -20), // 2
        constrain(width(panel), kPanelWidth),               // 3
        constrain(height(panel), kPanelHeight),             // 4
    };
    activateConstraints(glass->constraintLayout(), historyPanelConstraints_);
    activateConstraints(panel->constraintLayout(),
                        {
                            constrain(top(search), top(nullptr), 12),            // 5
                            constrain(leading(search), leading(nullptr), 12),    // 6
                            constrain(trailing(search), leading(trash), -8),     // 7
                            constrain(height(search), 28),                       // 8
                            constrain(trailing(trash), leading(close), -8),      // 9
                            constrain(top(trash), top(nullptr), 12),             // 10
                            constrain(width(trash), 22),                         // 11
                            constrain(height(trash), 22),                        // 12
                            constrain(trailing(close), trailing(nullptr), -12),  // 13
                            constrain(top(close), top(nullptr), 12),             // 14
                            constrain(width(close), 22),                         // 15
                            constrain(height(close), 22),                        // 16
                            constrain(top(scroll), bottom(search), 10),          // 17
                            constrain(leading(scroll), leading(nullptr), 12),    // 18
                            constrain(trailing(scroll), trailing(nullptr), -12), // 19
                            constrain(bottom(scroll), bottom(nullptr), -12),     // 20
                        });
}

void AppDelegate::closeHistoryPanel() {
    if (!historyPanel)
        return;
    ConstraintView* panel = historyPanel;
    historyPanel = nullptr;
    historySearchField = nullptr;
    historyScrollView = nullptr;
    historyStack = nullptr;
    historyList_.reset();
    // A closed panel takes no more clicks while it fades.
    panel->set_can_target(false);
    animateFadeOutAndRemoveView(*panel, [this, placement = std::move(historyPanelConstraints_)] {
        deactivateConstraints(glass->constraintLayout(), placement);
    });
    historyPanelConstraints_.clear();
}

void AppDelegate::clearHistory() {
    auto alert = std::make_unique<Gtk::MessageDialog>(*window, "Clear all history?", false,
                                                      Gtk::MessageType::WARNING,
                                                      Gtk::ButtonsType::NONE, true);
    alert->set_secondary_text("This removes every saved history item.");
    alert->add_button("Clear", kFirstButton);
    alert->add_button("Cancel", static_cast<int>(Gtk::ResponseType::CANCEL));
    alert->set_default_response(kFirstButton);
    presentAlert(std::move(alert), [this](int response) {
        if (response != kFirstButton)
            return;
        VeskStore::shared().clearHistory();
        rebuildHistoryPanel();
    });
}

void AppDelegate::rebuildHistoryPanel() {
    if (!historyPanel || !historyStack)
        return;
    const HistoryFilter filter(historySearchField ? historySearchField->get_text().raw()
                                                  : std::string());
    // The file is read again at every rebuild; rows whose entries did not change are
    // kept, so a keystroke mostly shows and hides rows rather than making them anew.
    std::vector<HistoryRow> rows = historyRowsOf(VeskStore::shared().loadHistory());
    const Gdk::RGBA text =
        toRgba(themeTextColor.value_or(Color::named(NamedColor::Label)), window.get());
    const Gdk::RGBA muted = toRgba(
        themeMutedTextColor.value_or(Color::named(NamedColor::SecondaryLabel)), window.get());
    if (!historyList_ || historyList_->rows != rows || historyList_->text != text ||
        historyList_->muted != muted)
        syncHistoryRows(std::move(rows), text, muted);

    HistoryListState& list = *historyList_;
    bool anyShown = false;
    for (std::size_t i = 0; i < list.views.size(); ++i) {
        const bool shown = filter.matchesSearchText(list.searchTexts[i]);
        list.views[i]->set_visible(shown);
        anyShown = anyShown || shown;
    }
    // One line stands for an empty history and for a filter that matches nothing.
    list.noMatch->set_visible(!anyShown);
}

void AppDelegate::syncHistoryRows(std::vector<HistoryRow> rows, const Gdk::RGBA& text,
                                  const Gdk::RGBA& muted) {
    auto fresh = std::make_shared<HistoryListState>();
    fresh->text = text;
    fresh->muted = muted;
    std::shared_ptr<HistoryListState> old = std::move(historyList_);
    // Rows in other colours are all made again.
    const bool reusable = old && old->text == text && old->muted == muted;
    std::vector<bool> taken(reusable ? old->rows.size() : 0, false);

    Gtk::Widget* previous = nullptr;
    for (HistoryRow& row : rows) {
        Gtk::Widget* view = nullptr;
        std::string searchText;
        for (std::size_t i = 0; i < taken.size() && !view; ++i) {
            if (!taken[i] && old->rows[i] == row) {
                taken[i] = true;
                view = old->views[i];
                searchText = std::move(old->searchTexts[i]);
            }
        }
        if (!view) {
            view = makeHistoryRow(row, text, muted);
            historyStack->append(*view);
            searchText = searchTextOf(row);
        }
        // Newest first, in the file's order.
        if (previous)
            historyStack->reorder_child_after(*view, *previous);
        else
            historyStack->reorder_child_at_start(*view);
        previous = view;
        fresh->rows.push_back(std::move(row));
        fresh->views.push_back(view);
        fresh->searchTexts.push_back(std::move(searchText));
    }
    if (old) {
        for (std::size_t i = 0; i < old->views.size(); ++i)
            if (i >= taken.size() || !taken[i])
                historyStack->remove(*old->views[i]);
        if (old->noMatch)
            historyStack->remove(*old->noMatch);
    }

    auto* none = Gtk::make_managed<Gtk::Label>("No matching history");
    none->set_justify(Gtk::Justification::CENTER);
    none->set_xalign(0.5);
    Pango::AttrList attrs;
    addColor(attrs, muted);
    none->set_attributes(attrs);
    historyStack->append(*none);
    fresh->noMatch = none;
    historyList_ = std::move(fresh);
}

Gtk::Widget* AppDelegate::makeHistoryRow(const HistoryRow& row, const Gdk::RGBA& text,
                                         const Gdk::RGBA& muted) {
    auto* button = Gtk::make_managed<Gtk::Button>(shownText(row.title, kShownChars, Ellipsis::End));
    button->set_has_frame(false);
    button->set_focus_on_click(false);
    button->add_css_class("vesk-history-title");
    if (auto* label = dynamic_cast<Gtk::Label*>(button->get_child())) {
        label->set_xalign(0.0);
        label->set_single_line_mode(true);
        label->set_ellipsize(Pango::EllipsizeMode::END);
    }
    setPanelText(*button, 12, FontWeight::Regular, text);
    // The full address, not the shortened text on show, is what the row opens.
    button->set_data(addressKey(), new std::string(row.address),
                     [](void* data) { delete static_cast<std::string*>(data); });
    button->signal_clicked().connect([this, button] { openHistoryEntry(button); });

    auto* address =
        Gtk::make_managed<Gtk::Label>(shownText(row.address, kShownChars, Ellipsis::Middle));
    address->set_xalign(0.0);
    address->set_single_line_mode(true);
    address->set_ellipsize(Pango::EllipsizeMode::MIDDLE);
    setPanelText(*address, 10, FontWeight::Regular, muted);

    auto* rowStack = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 2);
    rowStack->append(*button);
    rowStack->append(*address);
    return rowStack;
}

void AppDelegate::openHistoryEntry(Gtk::Button* sender) {
    Tab* tab = currentTab();
    if (!tab)
        return;
    // The stored address is loaded as it is, without the typed-address rules.
    const std::optional<std::string> url = historyURL(sender ? historyAddressOf(*sender) : "");
    if (!url)
        return;
    tab->web->loadURL(*url);
    closeHistoryPanel();
}

} // namespace vesk
