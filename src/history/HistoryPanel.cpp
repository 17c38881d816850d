#include "history/HistoryPanel.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <pangomm/attrlist.h>

#include "history/HistoryFilter.h"
#include "widgets/ColorRgba.h"
#include "widgets/IconButton.h"
#include "widgets/Text.h"

namespace vesk {

namespace {

constexpr double kPanelWidth = 300;
constexpr double kPanelHeight = 380;
constexpr double kInset = 12;
constexpr double kGap = 8;
constexpr double kSearchHeight = 28;
constexpr double kButtonSize = 22;
constexpr double kListTopGap = 10;
constexpr int kRowSpacing = 8;
constexpr int kRowLineSpacing = 2;
constexpr double kTitlePointSize = 12;
constexpr double kAddressPointSize = 10;
// A row shows at most this many characters of a title or address: far more than
// fit in the panel's width, and little enough that a page title of several
// megabytes is laid out as fast as any other.
constexpr std::size_t kShownChars = 256;

guint16 channel(double value) {
    return static_cast<guint16>(std::lround(std::clamp(value, 0.0, 1.0) * 65535.0));
}

// A row's text: the font and a colour, alpha included, as text attributes. Rows
// are made again whenever their colours change, so they need no style sheet.
void setRowText(Gtk::Label& label, std::optional<double> pointSize, const Gdk::RGBA& color) {
    Pango::AttrList attrs;
    if (pointSize) {
        auto font =
            Pango::Attribute::create_attr_font_desc(veskFont(*pointSize, FontWeight::Regular));
        attrs.insert(font);
    }
    auto foreground = Pango::Attribute::create_attr_foreground(
        channel(color.get_red()), channel(color.get_green()), channel(color.get_blue()));
    attrs.insert(foreground);
    auto alpha = Pango::Attribute::create_attr_foreground_alpha(channel(color.get_alpha()));
    attrs.insert(alpha);
    label.set_attributes(attrs);
}

} // namespace

// The rows of the open list: every listable entry has its row, shown or hidden
// by the filter, with the text the filter searches.
struct HistoryPanel::List {
    std::vector<HistoryRow> rows;
    std::vector<Gtk::Widget*> views;
    std::vector<Gtk::Button*> titleButtons;
    std::vector<std::string> searchTexts;
    Gtk::Label* noMatch = nullptr;
    Gdk::RGBA text;
    Gdk::RGBA muted;
};

HistoryPanel::HistoryPanel(ConstraintView& glass, Gtk::Widget& anchor, FloatingPanelGroup& group)
    : FloatingPanel(glass, anchor, group, "vesk-history-panel") {}

HistoryPanel::~HistoryPanel() = default;

void HistoryPanel::open(const ThemeColors& colors) {
    FloatingPanel::open(kPanelWidth,
                        [this, &colors](ConstraintView& panel) { return fill(panel, colors); });
}

double HistoryPanel::fill(ConstraintView& panel, const ThemeColors& colors) {
    auto* search = Gtk::make_managed<Gtk::Entry>();
    search->set_placeholder_text("Search history");
    search->set_has_frame(false);
    search->add_css_class("vesk-search");
    search->signal_changed().connect([this] { searchChanged_.emit(); });

    auto* scroll = Gtk::make_managed<Gtk::ScrolledWindow>();
    scroll->set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    scroll->set_has_frame(false);
    // The scroller's viewport is the list's document view: as wide as the scroller
    // and at least as high as the list, which it holds at its top, full width.
    // Nested constraint layouts cannot take that part: all of a window's layouts share
    // one solver, and a scroller's viewport may hand its child less than its minimum.
    auto* list = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, kRowSpacing);
    list->set_valign(Gtk::Align::START);
    scroll->set_child(*list);

    Gtk::Button* trash = iconBtn("user-trash-symbolic", "Clear History");
    trash->set_action_name("win.clear-history");
    Gtk::Button* close = iconBtn("window-close-symbolic", "Close History");
    close->signal_clicked().connect(sigc::mem_fun(*this, &HistoryPanel::close));
    // Like the rest of the panel, the buttons keep the accent they were built with.
    setFixedColor(*trash, colors.accent);
    setFixedColor(*close, colors.accent);

    panel.addChild(*search);
    panel.addChild(*scroll);
    panel.addChild(*trash);
    panel.addChild(*close);

    search_ = search;
    historyStack_ = list;
    list_.reset();

    Gtk::Widget* p = nullptr; // the panel itself
    activateConstraints(panel.constraintLayout(),
                        {
                            constrain(top(search), top(p), kInset),
                            constrain(leading(search), leading(p), kInset),
                            constrain(trailing(search), leading(trash), -kGap),
                            constrain(height(search), kSearchHeight),
                            constrain(trailing(trash), leading(close), -kGap),
                            constrain(top(trash), top(p), kInset),
                            constrain(width(trash), kButtonSize),
                            constrain(height(trash), kButtonSize),
                            constrain(trailing(close), trailing(p), -kInset),
                            constrain(top(close), top(p), kInset),
                            constrain(width(close), kButtonSize),
                            constrain(height(close), kButtonSize),
                            constrain(top(scroll), bottom(search), kListTopGap),
                            constrain(leading(scroll), leading(p), kInset),
                            constrain(trailing(scroll), trailing(p), -kInset),
                            constrain(bottom(scroll), bottom(p), -kInset),
                        });
    return kPanelHeight;
}

void HistoryPanel::forgetContent() {
    search_ = nullptr;
    historyStack_ = nullptr;
    list_.reset();
}

void HistoryPanel::showHistory(const std::vector<HistoryEntry>& entries,
                               const ThemeColors& colors) {
    if (!isOpen() || !historyStack_)
        return;
    const HistoryFilter filter(search_ ? search_->get_text().raw() : std::string());
    std::vector<HistoryRow> rows = historyRowsOf(entries);
    const Gdk::RGBA text = toRgba(colors.text, search_);
    const Gdk::RGBA muted = toRgba(colors.mutedText, search_);

    if (!list_ || list_->rows != rows || list_->text != text || list_->muted != muted) {
        auto fresh = std::make_unique<List>();
        fresh->text = text;
        fresh->muted = muted;
        std::unique_ptr<List> old = std::move(list_);
        // Rows in other colours are all made again.
        const bool reusable = old && old->text == text && old->muted == muted;
        std::vector<bool> taken(reusable ? old->rows.size() : 0, false);

        Gtk::Widget* previous = nullptr;
        for (HistoryRow& row : rows) {
            Gtk::Widget* view = nullptr;
            Gtk::Button* titleButton = nullptr;
            std::string searchText;
            for (std::size_t i = 0; i < taken.size() && !view; ++i) {
                if (!taken[i] && old->rows[i] == row) {
                    taken[i] = true;
                    view = old->views[i];
                    titleButton = old->titleButtons[i];
                    searchText = std::move(old->searchTexts[i]);
                }
            }
            if (!view) {
                titleButton = Gtk::make_managed<Gtk::Button>(
                    shownText(row.title, kShownChars, Ellipsis::End));
                titleButton->set_has_frame(false);
                titleButton->set_focus_on_click(false);
                titleButton->add_css_class("vesk-history-title");
                if (Gtk::Label* label = labelOf(*titleButton)) {
                    label->set_xalign(0.0);
                    label->set_single_line_mode(true);
                    label->set_ellipsize(Pango::EllipsizeMode::END);
                    setRowText(*label, kTitlePointSize, text);
                }
                // The full address, not the shortened text on show, is what the row opens.
                titleButton->signal_clicked().connect(
                    [this, address = row.address] { openEntry_.emit(address); });

                auto* address = Gtk::make_managed<Gtk::Label>(
                    shownText(row.address, kShownChars, Ellipsis::Middle));
                address->set_xalign(0.0);
                address->set_single_line_mode(true);
                address->set_ellipsize(Pango::EllipsizeMode::MIDDLE);
                setRowText(*address, kAddressPointSize, muted);

                auto* rowStack =
                    Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, kRowLineSpacing);
                rowStack->append(*titleButton);
                rowStack->append(*address);
                view = rowStack;
                historyStack_->append(*view);
                searchText = searchTextOf(row);
            }
            // Newest first, in the file's order.
            if (previous)
                historyStack_->reorder_child_after(*view, *previous);
            else
                historyStack_->reorder_child_at_start(*view);
            previous = view;
            fresh->rows.push_back(std::move(row));
            fresh->views.push_back(view);
            fresh->titleButtons.push_back(titleButton);
            fresh->searchTexts.push_back(std::move(searchText));
        }
        if (old) {
            for (std::size_t i = 0; i < old->views.size(); ++i)
                if (i >= taken.size() || !taken[i])
                    historyStack_->remove(*old->views[i]);
            if (old->noMatch)
                historyStack_->remove(*old->noMatch);
        }

        auto* none = Gtk::make_managed<Gtk::Label>("No matching history");
        none->set_justify(Gtk::Justification::CENTER);
        none->set_xalign(0.5);
        setRowText(*none, std::nullopt, muted);
        historyStack_->append(*none);
        fresh->noMatch = none;
        list_ = std::move(fresh);
    }

    bool anyShown = false;
    for (std::size_t i = 0; i < list_->views.size(); ++i) {
        const bool shown = filter.matchesSearchText(list_->searchTexts[i]);
        list_->views[i]->set_visible(shown);
        anyShown = anyShown || shown;
    }
    // One line stands for an empty history and for a filter that matches nothing.
    list_->noMatch->set_visible(!anyShown);
}

std::vector<Gtk::Button*> HistoryPanel::shownRowButtons() const {
    std::vector<Gtk::Button*> shown;
    if (!list_)
        return shown;
    for (std::size_t i = 0; i < list_->views.size(); ++i)
        if (list_->views[i]->get_visible())
            shown.push_back(list_->titleButtons[i]);
    return shown;
}

bool HistoryPanel::showsNoMatch() const {
    return list_ && list_->noMatch->get_visible();
}

} // namespace vesk
