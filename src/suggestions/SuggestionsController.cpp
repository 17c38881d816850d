#include "suggestions/SuggestionsController.h"

#include <gtkmm/eventcontrollerfocus.h>
#include <gtkmm/eventcontrollerkey.h>
#include <gtkmm/root.h>

#include "navigation/UrlNormalization.h"
#include "store/VeskStore.h"

namespace vesk {

SuggestionsController::SuggestionsController(Gtk::Entry& field, std::filesystem::path visitDatabase)
    : field_(field), list_(field), search_(std::move(visitDatabase)) {
    // The keys are seen on their way down from the window, before the window's own keys
    // (Escape stops a load) and the field's (Escape puts the page's address back).
    auto keys = Gtk::EventControllerKey::create();
    keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    keys->signal_key_pressed().connect(sigc::mem_fun(*this, &SuggestionsController::onKeyPressed),
                                       false);
    if (auto* window = dynamic_cast<Gtk::Widget*>(field_.get_root()))
        window->add_controller(keys);
    else
        field_.add_controller(keys);
    auto focus = Gtk::EventControllerFocus::create();
    focus->signal_enter().connect(sigc::mem_fun(*this, &SuggestionsController::onFocusEnter));
    focus->signal_leave().connect(sigc::mem_fun(*this, &SuggestionsController::onFocusLeave));
    field_.add_controller(focus);
    field_.signal_activate().connect(sigc::mem_fun(*this, &SuggestionsController::close));
    list_.signalClicked().connect(sigc::mem_fun(*this, &SuggestionsController::onRowClicked));
}

void SuggestionsController::typed(const std::string& text) {
    if (isFillingField_)
        return;
    typed_ = text;
    list_.select(std::nullopt);
    if (trimmedWhitespaceAndNewlines(text).empty()) {
        close();
        return;
    }
    search_.ask(text, [this](const std::string& asked, std::vector<VisitedPage> pages) {
        onAnswer(asked, std::move(pages));
    });
}

void SuggestionsController::onFocusEnter() {
    search_.prepare();
}

void SuggestionsController::onFocusLeave() {
    if (!keepsEditing())
        close();
}

bool SuggestionsController::hasKeyboard() {
    // The keyboard is in the entry's text part, a child of the field.
    Gtk::Root* root = field_.get_root();
    Gtk::Widget* focus = root ? root->get_focus() : nullptr;
    return focus && (focus == &field_ || focus->is_ancestor(field_));
}

void SuggestionsController::close() {
    search_.cancel();
    list_.close();
    removed_.clear();
}

void SuggestionsController::onAnswer(const std::string& text, std::vector<VisitedPage> pages) {
    if (text != typed_ || !hasKeyboard())
        return;
    std::erase_if(pages, [this](const VisitedPage& page) { return removed_.contains(page.url); });
    std::vector<Suggestion> rows =
        rankSuggestions(text, bookmarks_ ? bookmarks_() : std::vector<BookmarkedPage>(), pages);
    if (rows.empty()) {
        list_.close();
        return;
    }
    list_.show(rows);
    if (!iconLookup_)
        return;
    for (const Suggestion& row : rows) {
        if (row.kind == Suggestion::Kind::Search)
            continue;
        iconLookup_(row.url, [this, alive = lifetime_.watch(),
                              url = row.url](const Glib::RefPtr<Gdk::Paintable>& icon) {
            if (!alive.expired())
                list_.setIcon(url, icon);
        });
    }
}

bool SuggestionsController::onKeyPressed(guint keyval, guint, Gdk::ModifierType state) {
    if (!list_.isOpen() || !hasKeyboard())
        return false;
    const bool isShift = (state & Gdk::ModifierType::SHIFT_MASK) == Gdk::ModifierType::SHIFT_MASK;
    switch (keyval) {
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down:
        move(+1);
        return true;
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up:
        move(-1);
        return true;
    case GDK_KEY_Escape:
        showInField(typed_);
        close();
        return true;
    case GDK_KEY_Delete:
    case GDK_KEY_KP_Delete:
        if (!isShift || !list_.selected())
            return false;
        removeSelected();
        return true;
    default:
        return false;
    }
}

void SuggestionsController::move(int step) {
    // The rows and the typed text form one ring: past the last row the text comes back.
    const auto count = static_cast<int>(list_.rows().size());
    const int current = list_.selected() ? static_cast<int>(*list_.selected()) : count;
    const int next = (current + step + count + 1) % (count + 1);
    if (next == count) {
        list_.select(std::nullopt);
        showInField(typed_);
        return;
    }
    list_.select(static_cast<std::size_t>(next));
    showInField(list_.rows()[static_cast<std::size_t>(next)].fieldText);
}

void SuggestionsController::showInField(const std::string& text) {
    isFillingField_ = true;
    field_.set_text(text);
    field_.set_position(-1);
    isFillingField_ = false;
}

void SuggestionsController::removeSelected() {
    const std::size_t index = *list_.selected();
    const Suggestion& row = list_.rows()[index];
    // Only a visited page can be forgotten here; search and bookmark rows stay.
    if (row.kind != Suggestion::Kind::History)
        return;
    VeskStore::shared().removeVisitedPage(row.url);
    removed_.insert(row.url);
    list_.removeRow(index);
    if (list_.isOpen() && list_.selected())
        showInField(list_.rows()[*list_.selected()].fieldText);
    else
        showInField(typed_);
}

void SuggestionsController::onRowClicked(std::size_t index) {
    if (index >= list_.rows().size())
        return;
    showInField(list_.rows()[index].fieldText);
    // Loaded as Return would load it.
    g_signal_emit_by_name(field_.gobj(), "activate");
}

void SuggestionsController::typedLoadStarted(const Tab* tab) {
    typedTab_ = tab;
}

VisitOrigin SuggestionsController::takeVisitOrigin(const Tab* tab) {
    if (tab == nullptr || tab != typedTab_)
        return VisitOrigin::Link;
    typedTab_ = nullptr;
    return VisitOrigin::Typed;
}

} // namespace vesk
