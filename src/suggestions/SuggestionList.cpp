#include "suggestions/SuggestionList.h"

#include <gtkmm/cssprovider.h>
#include <gtkmm/eventcontrollermotion.h>
#include <gtkmm/gestureclick.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/stylecontext.h>

namespace vesk {

namespace {

// The size site icons are drawn at.
constexpr int iconSize = 16;

void addListStyle(Gtk::Widget& widget) {
    static const bool once = [&widget] {
        auto provider = Gtk::CssProvider::create();
        provider->load_from_data(
            "popover.vesk-suggestions > contents { padding: 4px; border-radius: 12px; "
            "box-shadow: 0 1px 3px alpha(black, 0.3); }\n"
            ".vesk-suggestion { padding: 4px 8px; border-radius: 8px; }\n"
            ".vesk-suggestion.selected { background-color: alpha(@accent_bg_color, 0.9); "
            "color: @accent_fg_color; }\n"
            ".vesk-suggestion:hover:not(.selected) { background-color: alpha(currentColor, 0.08); "
            "}\n"
            ".vesk-suggestion-address { opacity: 0.65; font-size: smaller; }\n");
        Gtk::StyleContext::add_provider_for_display(widget.get_display(), provider,
                                                    GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
        return true;
    }();
    (void)once;
}

const char* iconNameFor(Suggestion::Kind kind) {
    switch (kind) {
    case Suggestion::Kind::Search:
        return "system-search-symbolic";
    case Suggestion::Kind::Bookmark:
        return "starred-symbolic";
    case Suggestion::Kind::History:
        break;
    }
    return "document-open-recent-symbolic";
}

} // namespace

SuggestionList::SuggestionList(Gtk::Widget& field)
    : field_(field), popover_(Gtk::make_managed<Gtk::Popover>()),
      list_(Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 0)) {
    popover_->add_css_class("vesk-suggestions");
    popover_->set_has_arrow(false);
    popover_->set_autohide(false);
    popover_->set_position(Gtk::PositionType::BOTTOM);
    popover_->set_can_focus(false);
    popover_->set_focusable(false);
    list_->set_focusable(false);
    popover_->set_child(*list_);
    popover_->set_parent(field_);
    auto click = Gtk::GestureClick::create();
    click->signal_pressed().connect(sigc::mem_fun(*this, &SuggestionList::onPressed));
    list_->add_controller(click);
    auto motion = Gtk::EventControllerMotion::create();
    motion->signal_enter().connect([this](double, double) { isPointerInside_ = true; });
    motion->signal_leave().connect([this] { isPointerInside_ = false; });
    popover_->add_controller(motion);
    addListStyle(field_);
}

SuggestionList::~SuggestionList() {
    popover_->unparent();
}

void SuggestionList::show(std::vector<Suggestion> rows) {
    rows_ = std::move(rows);
    selected_.reset();
    fill();
    popover_->set_size_request(field_.get_width(), -1);
    const Gdk::Rectangle below(0, 0, field_.get_width(), field_.get_height());
    popover_->set_pointing_to(below);
    if (!popover_->get_visible())
        popover_->popup();
}

void SuggestionList::close() {
    selected_.reset();
    if (popover_->get_visible())
        popover_->popdown();
}

void SuggestionList::fill() {
    while (Gtk::Widget* child = list_->get_first_child())
        list_->remove(*child);
    rowWidgets_.clear();
    for (const Suggestion& row : rows_) {
        auto* box = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
        box->add_css_class("vesk-suggestion");
        box->set_focusable(false);
        auto* icon = Gtk::make_managed<Gtk::Image>();
        icon->set_from_icon_name(iconNameFor(row.kind));
        icon->set_pixel_size(iconSize);
        box->append(*icon);
        auto* title = Gtk::make_managed<Gtk::Label>(row.title);
        title->set_ellipsize(Pango::EllipsizeMode::END);
        title->set_xalign(0);
        title->set_hexpand(true);
        box->append(*title);
        if (row.kind != Suggestion::Kind::Search) {
            auto* address = Gtk::make_managed<Gtk::Label>(row.url);
            address->add_css_class("vesk-suggestion-address");
            address->set_ellipsize(Pango::EllipsizeMode::MIDDLE);
            address->set_max_width_chars(48);
            address->set_xalign(1);
            box->append(*address);
        }
        list_->append(*box);
        rowWidgets_.push_back(box);
    }
}

void SuggestionList::select(std::optional<std::size_t> index) {
    if (selected_ && *selected_ < rowWidgets_.size())
        rowWidgets_[*selected_]->remove_css_class("selected");
    selected_ = index && *index < rows_.size() ? index : std::nullopt;
    if (selected_)
        rowWidgets_[*selected_]->add_css_class("selected");
}

void SuggestionList::removeRow(std::size_t index) {
    if (index >= rows_.size())
        return;
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
    fill();
    if (rows_.empty()) {
        close();
        return;
    }
    selected_.reset();
    select(std::min(index, rows_.size() - 1));
}

void SuggestionList::setIcon(const std::string& url, const Glib::RefPtr<Gdk::Paintable>& icon) {
    for (std::size_t i = 0; i < rows_.size() && i < rowWidgets_.size(); ++i) {
        if (rows_[i].url != url || rows_[i].kind == Suggestion::Kind::Search)
            continue;
        if (auto* image = dynamic_cast<Gtk::Image*>(rowWidgets_[i]->get_first_child()))
            image->set(icon);
    }
}

void SuggestionList::onPressed(int, double, double y) {
    for (std::size_t i = 0; i < rowWidgets_.size(); ++i) {
        double top = 0;
        double left = 0;
        if (!rowWidgets_[i]->translate_coordinates(*list_, 0, 0, left, top))
            continue;
        if (y >= top && y < top + rowWidgets_[i]->get_height()) {
            clicked_.emit(i);
            return;
        }
    }
}

} // namespace vesk
