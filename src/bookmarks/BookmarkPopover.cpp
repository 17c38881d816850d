#include "bookmarks/BookmarkPopover.h"

#include <gtkmm/box.h>

namespace vesk {

namespace {

constexpr int spacing = 8;
constexpr int nameWidthChars = 28;

} // namespace

BookmarkPopover::BookmarkPopover(Gtk::Widget& field)
    : field_(field), popover_(Gtk::make_managed<Gtk::Popover>()),
      name_(Gtk::make_managed<Gtk::Entry>()), remove_(Gtk::make_managed<Gtk::Button>("Remove")) {
    popover_->add_css_class("vesk-bookmark-popover");
    popover_->set_position(Gtk::PositionType::BOTTOM);
    auto* content = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, spacing);
    content->set_margin(spacing);
    auto* heading = Gtk::make_managed<Gtk::Label>("Bookmark");
    heading->add_css_class("heading");
    heading->set_xalign(0);
    content->append(*heading);
    name_->set_width_chars(nameWidthChars);
    name_->signal_activate().connect([this] {
        confirmName();
        close();
    });
    content->append(*name_);
    auto* buttons = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, spacing);
    remove_->add_css_class("destructive-action");
    remove_->signal_clicked().connect([this] {
        const std::string url = url_;
        url_.clear();
        close();
        removed_.emit(url);
    });
    auto* all = Gtk::make_managed<Gtk::Button>("All Bookmarks…");
    all->signal_clicked().connect([this] {
        confirmName();
        close();
        showAll_.emit();
    });
    auto* done = Gtk::make_managed<Gtk::Button>("Done");
    done->add_css_class("suggested-action");
    done->set_hexpand(true);
    done->set_halign(Gtk::Align::END);
    done->signal_clicked().connect([this] {
        confirmName();
        close();
    });
    buttons->append(*remove_);
    buttons->append(*all);
    buttons->append(*done);
    content->append(*buttons);
    popover_->set_child(*content);
    popover_->set_parent(field_);
    // A click elsewhere closes it, keeping the name as typed.
    popover_->signal_closed().connect([this] { confirmName(); });
}

BookmarkPopover::~BookmarkPopover() {
    // Closing as it goes renames nothing.
    url_.clear();
    popover_->unparent();
}

void BookmarkPopover::open(const std::string& url, const std::string& title,
                           const Gdk::Rectangle& area) {
    url_ = url;
    name_->set_text(title);
    popover_->set_pointing_to(area);
    popover_->popup();
    name_->grab_focus();
    name_->select_region(0, -1);
}

void BookmarkPopover::close() {
    if (popover_->get_visible())
        popover_->popdown();
}

void BookmarkPopover::confirmName() {
    if (url_.empty())
        return;
    renamed_.emit(url_, name_->get_text());
}

} // namespace vesk
