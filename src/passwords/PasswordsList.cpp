#include "passwords/PasswordsList.h"

#include <gdk/gdkkeysyms.h>
#include <gtkmm/headerbar.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/shortcutcontroller.h>
#include <gtkmm/togglebutton.h>

namespace vesk {

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 360;
constexpr int kMargin = 12;
constexpr int kSpacing = 6;
// The mask does not tell the password's length.
constexpr const char* kMask = "••••••••";

Gtk::Label& makeLabel(Gtk::Box& row, const std::string& text, const char* cssClass) {
    auto* label = Gtk::make_managed<Gtk::Label>(text);
    label->set_xalign(0.0);
    label->set_ellipsize(Pango::EllipsizeMode::END);
    label->add_css_class(cssClass);
    row.append(*label);
    return *label;
}

} // namespace

PasswordsList::PasswordsList(Gtk::Window& parent) : parent_(parent) {}

PasswordsList::~PasswordsList() {
    // The alert is transient for the window, so it goes first.
    alerts_.reset();
}

void PasswordsList::build() {
    window_ = std::make_unique<Gtk::Window>();
    window_->set_title("Passwords");
    // Drawn by the program itself, like the main window, so the title shows everywhere.
    window_->set_titlebar(*Gtk::make_managed<Gtk::HeaderBar>());
    window_->set_default_size(kWidth, kHeight);
    window_->set_modal(true);
    window_->set_transient_for(parent_);
    window_->set_hide_on_close(true);
    window_->add_css_class("vesk-passwords");
    alerts_ = std::make_unique<AlertPresenter>(*window_);
    // Revealed passwords do not stay in widgets once the window is gone.
    window_->signal_hide().connect([this] {
        for (Gtk::Box* row : rows())
            rowsBox_->remove(*row);
    });

    auto* content = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, kSpacing);
    content->set_margin(kMargin);
    auto* scroller = Gtk::make_managed<Gtk::ScrolledWindow>();
    scroller->set_vexpand(true);
    scroller->set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    rowsBox_ = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, kSpacing);
    empty_ = Gtk::make_managed<Gtk::Label>("No saved passwords");
    empty_->add_css_class("dim-label");
    empty_->set_vexpand(true);
    auto* listArea = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 0);
    listArea->append(*rowsBox_);
    listArea->append(*empty_);
    scroller->set_child(*listArea);
    content->append(*scroller);

    auto* buttons = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, kSpacing);
    removeAll_ = Gtk::make_managed<Gtk::Button>("Remove All");
    removeAll_->add_css_class("destructive-action");
    removeAll_->signal_clicked().connect([this] { confirmRemoveAll(); });
    auto* done = Gtk::make_managed<Gtk::Button>("Done");
    done->set_hexpand(true);
    done->set_halign(Gtk::Align::END);
    done->signal_clicked().connect([this] { close(); });
    buttons->append(*removeAll_);
    buttons->append(*done);
    content->append(*buttons);
    window_->set_child(*content);

    auto escape = Gtk::ShortcutController::create();
    escape->set_scope(Gtk::ShortcutScope::LOCAL);
    escape->add_shortcut(Gtk::Shortcut::create(Gtk::KeyvalTrigger::create(GDK_KEY_Escape),
                                               Gtk::CallbackAction::create([this](auto&, auto&) {
                                                   close();
                                                   return true;
                                               })));
    window_->add_controller(escape);
}

void PasswordsList::show(const std::vector<SavedPassword>& records) {
    if (!window_)
        build();
    for (Gtk::Box* row : rows())
        rowsBox_->remove(*row);
    for (const SavedPassword& record : records)
        rowsBox_->append(makeRow(record));
    empty_->set_visible(records.empty());
    removeAll_->set_sensitive(!records.empty());
    window_->present();
}

Gtk::Box& PasswordsList::makeRow(const SavedPassword& record) {
    auto* row = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, kSpacing);
    row->add_css_class("vesk-password-row");
    Gtk::Label& host = makeLabel(*row, record.host, "heading");
    host.set_hexpand(true);
    makeLabel(*row, record.user, "dim-label");
    Gtk::Label& password = makeLabel(*row, kMask, "monospace");

    auto* reveal = Gtk::make_managed<Gtk::ToggleButton>();
    reveal->set_icon_name("view-reveal-symbolic");
    reveal->set_tooltip_text("Show Password");
    reveal->add_css_class("flat");
    reveal->signal_toggled().connect([reveal, &password, secret = record.password] {
        const bool shown = reveal->get_active();
        password.set_text(shown ? secret : kMask);
        reveal->set_icon_name(shown ? "view-conceal-symbolic" : "view-reveal-symbolic");
        reveal->set_tooltip_text(shown ? "Hide Password" : "Show Password");
    });
    row->append(*reveal);

    auto* remove = Gtk::make_managed<Gtk::Button>();
    remove->set_icon_name("user-trash-symbolic");
    remove->set_tooltip_text("Remove");
    remove->add_css_class("flat");
    remove->signal_clicked().connect([this, host = record.host] { remove_.emit(host); });
    row->append(*remove);
    return *row;
}

std::vector<Gtk::Box*> PasswordsList::rows() const {
    std::vector<Gtk::Box*> found;
    if (!rowsBox_)
        return found;
    for (Gtk::Widget* child = rowsBox_->get_first_child(); child; child = child->get_next_sibling())
        found.push_back(static_cast<Gtk::Box*>(child));
    return found;
}

void PasswordsList::close() {
    if (window_)
        window_->set_visible(false);
}

void PasswordsList::confirmRemoveAll() {
    auto alert =
        alerts_->makeAlert("Remove all saved passwords?", "Remove All", Gtk::MessageType::WARNING);
    alert->set_secondary_text("This removes every saved user name and password.");
    alerts_->present(std::move(alert), [this](AlertResponse response) {
        if (response == AlertResponse::Confirm)
            removeAllConfirmed_.emit();
    });
}

} // namespace vesk
