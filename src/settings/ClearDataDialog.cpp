#include "settings/ClearDataDialog.h"

#include <array>

#include <gtkmm/box.h>
#include <gtkmm/headerbar.h>
#include <gtkmm/label.h>
#include <gtkmm/stringlist.h>

namespace vesk {

namespace {

constexpr int kWidth = 400;
constexpr int kMargin = 18;
constexpr int kSpacing = 6;

// The ranges in the order the list offers them.
constexpr std::array kRanges = {ClearRange::LastHour, ClearRange::LastDay, ClearRange::LastWeek,
                                ClearRange::AllTime};

} // namespace

ClearDataDialog::ClearDataDialog(Gtk::Window& parent) : parent_(parent) {}

ClearDataDialog::~ClearDataDialog() = default;

void ClearDataDialog::build() {
    window_ = std::make_unique<Gtk::Window>();
    window_->set_title("Clear Browsing Data");
    window_->set_titlebar(*Gtk::make_managed<Gtk::HeaderBar>());
    window_->set_default_size(kWidth, -1);
    window_->set_resizable(false);
    window_->set_modal(true);
    window_->set_transient_for(parent_);
    window_->set_hide_on_close(true);
    window_->add_css_class("vesk-clear-data");

    auto* content = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, kSpacing);
    content->set_margin(kMargin);
    auto* rangeRow = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, kSpacing * 2);
    auto* rangeLabel = Gtk::make_managed<Gtk::Label>("Time range");
    rangeLabel->add_css_class("heading");
    range_ = Gtk::make_managed<Gtk::DropDown>(
        Gtk::StringList::create({"Last hour", "Last day", "Last week", "All time"}));
    range_->set_hexpand(true);
    range_->set_halign(Gtk::Align::END);
    rangeRow->append(*rangeLabel);
    rangeRow->append(*range_);
    content->append(*rangeRow);

    auto* kinds = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, kSpacing);
    kinds->set_margin_top(kSpacing * 2);
    history_ = Gtk::make_managed<Gtk::CheckButton>("Browsing history");
    cookies_ = Gtk::make_managed<Gtk::CheckButton>("Cookies and site data");
    cache_ = Gtk::make_managed<Gtk::CheckButton>("Cached files");
    passwords_ = Gtk::make_managed<Gtk::CheckButton>("Saved passwords");
    // The vault keeps no dates: its passwords go all together or not at all.
    passwords_->set_tooltip_text("Only with All time");
    for (Gtk::CheckButton* kind : {history_, cookies_, cache_, passwords_})
        kinds->append(*kind);
    history_->set_active(true);
    cookies_->set_active(true);
    cache_->set_active(true);
    content->append(*kinds);

    auto* buttons = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, kSpacing);
    buttons->set_margin_top(kSpacing * 3);
    buttons->set_halign(Gtk::Align::END);
    auto* cancel = Gtk::make_managed<Gtk::Button>("Cancel");
    cancel->signal_clicked().connect(sigc::mem_fun(*this, &ClearDataDialog::close));
    clearButton_ = Gtk::make_managed<Gtk::Button>("Clear");
    clearButton_->add_css_class("destructive-action");
    clearButton_->signal_clicked().connect(sigc::mem_fun(*this, &ClearDataDialog::onClear));
    buttons->append(*cancel);
    buttons->append(*clearButton_);
    content->append(*buttons);
    window_->set_child(*content);

    for (Gtk::CheckButton* kind : {history_, cookies_, cache_, passwords_})
        kind->signal_toggled().connect(sigc::mem_fun(*this, &ClearDataDialog::update));
    range_->property_selected().signal_changed().connect(
        sigc::mem_fun(*this, &ClearDataDialog::update));
    update();
}

void ClearDataDialog::show() {
    if (!window_)
        build();
    window_->present();
}

void ClearDataDialog::close() {
    if (window_)
        window_->set_visible(false);
}

ClearRange ClearDataDialog::chosenRange() const {
    const unsigned chosen = range_->get_selected();
    return chosen < kRanges.size() ? kRanges[chosen] : ClearRange::LastHour;
}

void ClearDataDialog::update() {
    const bool passwordsPossible = canClearPasswords(chosenRange());
    passwords_->set_sensitive(passwordsPossible);
    if (!passwordsPossible)
        passwords_->set_active(false);
    clearButton_->set_sensitive(history_->get_active() || cookies_->get_active() ||
                                cache_->get_active() || passwords_->get_active());
}

void ClearDataDialog::onClear() {
    BrowsingDataKinds kinds{.history = history_->get_active(),
                            .cookiesAndSiteData = cookies_->get_active(),
                            .cache = cache_->get_active(),
                            .passwords = passwords_->get_active()};
    close();
    if (kinds.any())
        clear_.emit(chosenRange(), kinds);
}

} // namespace vesk
