#include "bookmarks/BookmarksPanel.h"

#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/filechoosernative.h>
#include <gtkmm/headerbar.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>

namespace vesk {

namespace {

constexpr int width = 520;
constexpr int height = 420;
constexpr int margin = 12;
constexpr int spacing = 6;
constexpr int iconSize = 16;

} // namespace

BookmarksPanel::BookmarksPanel(Gtk::Window& parent) : parent_(parent) {}

BookmarksPanel::~BookmarksPanel() = default;

void BookmarksPanel::build() {
    window_ = std::make_unique<Gtk::Window>();
    window_->set_title("Bookmarks");
    window_->set_titlebar(*Gtk::make_managed<Gtk::HeaderBar>());
    window_->set_default_size(width, height);
    window_->set_transient_for(parent_);
    window_->set_hide_on_close(true);
    window_->add_css_class("vesk-bookmarks");

    auto* content = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, spacing);
    content->set_margin(margin);
    search_ = Gtk::make_managed<Gtk::SearchEntry>();
    search_->signal_search_changed().connect([this] { searchChanged_.emit(search_->get_text()); });
    content->append(*search_);
    auto* scroller = Gtk::make_managed<Gtk::ScrolledWindow>();
    scroller->set_vexpand(true);
    scroller->set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    rows_ = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 2);
    scroller->set_child(*rows_);
    content->append(*scroller);

    auto* buttons = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, spacing);
    auto* importButton = Gtk::make_managed<Gtk::Button>("Import…");
    importButton->signal_clicked().connect([this] { chooseFile(false); });
    auto* exportButton = Gtk::make_managed<Gtk::Button>("Export…");
    exportButton->signal_clicked().connect([this] { chooseFile(true); });
    auto* done = Gtk::make_managed<Gtk::Button>("Done");
    done->set_hexpand(true);
    done->set_halign(Gtk::Align::END);
    done->signal_clicked().connect([this] { close(); });
    buttons->append(*importButton);
    buttons->append(*exportButton);
    buttons->append(*done);
    content->append(*buttons);
    window_->set_child(*content);
}

void BookmarksPanel::present() {
    if (!window_)
        build();
    window_->present();
    search_->grab_focus();
}

void BookmarksPanel::close() {
    if (window_)
        window_->set_visible(false);
}

void BookmarksPanel::show(const std::vector<Bookmark>& bookmarks) {
    if (!window_)
        return;
    while (Gtk::Widget* child = rows_->get_first_child())
        rows_->remove(*child);
    shownTitles_.clear();
    const unsigned long generation = ++generation_;
    if (bookmarks.empty()) {
        auto* none = Gtk::make_managed<Gtk::Label>(
            search_->get_text().empty() ? "No bookmarks" : "No matching bookmarks");
        none->add_css_class("dim-label");
        none->set_vexpand(true);
        rows_->append(*none);
        return;
    }
    for (const Bookmark& bookmark : bookmarks) {
        auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, spacing);
        auto* open = Gtk::make_managed<Gtk::Button>();
        open->add_css_class("flat");
        open->set_hexpand(true);
        auto* inside = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, spacing);
        auto* icon = Gtk::make_managed<Gtk::Image>();
        icon->set_from_icon_name("starred-symbolic");
        icon->set_pixel_size(iconSize);
        inside->append(*icon);
        if (iconLookup_) {
            iconLookup_(bookmark.url,
                        [this, alive = lifetime_.watch(), icon, generation](const auto& paintable) {
                            if (!alive.expired() && generation == generation_)
                                icon->set(paintable);
                        });
        }
        auto* text = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 0);
        auto* title = Gtk::make_managed<Gtk::Label>(bookmark.title);
        title->set_xalign(0);
        title->set_ellipsize(Pango::EllipsizeMode::END);
        auto* address = Gtk::make_managed<Gtk::Label>(bookmark.url);
        address->set_xalign(0);
        address->set_ellipsize(Pango::EllipsizeMode::MIDDLE);
        address->add_css_class("dim-label");
        text->append(*title);
        text->append(*address);
        inside->append(*text);
        open->set_child(*inside);
        open->signal_clicked().connect([this, url = bookmark.url] { open_.emit(url); });
        auto* remove = Gtk::make_managed<Gtk::Button>();
        remove->set_icon_name("user-trash-symbolic");
        remove->add_css_class("flat");
        remove->set_tooltip_text("Remove Bookmark");
        remove->set_valign(Gtk::Align::CENTER);
        remove->signal_clicked().connect([this, url = bookmark.url] { remove_.emit(url); });
        row->append(*open);
        row->append(*remove);
        rows_->append(*row);
        shownTitles_.push_back(bookmark.title);
    }
}

void BookmarksPanel::chooseFile(bool isExport) {
    chooser_ = Gtk::FileChooserNative::create(
        isExport ? "Export Bookmarks" : "Import Bookmarks", *window_,
        isExport ? Gtk::FileChooser::Action::SAVE : Gtk::FileChooser::Action::OPEN,
        isExport ? "Export" : "Import", "Cancel");
    if (isExport)
        chooser_->set_current_name("bookmarks.html");
    chooser_->signal_response().connect([this, isExport](int response) {
        if (response == static_cast<int>(Gtk::ResponseType::ACCEPT)) {
            if (auto file = chooser_->get_file())
                (isExport ? export_ : import_).emit(file->get_path());
        }
    });
    chooser_->show();
}

} // namespace vesk
