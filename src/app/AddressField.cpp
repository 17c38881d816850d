#include "app/AddressField.h"

#include <gtkmm/cssprovider.h>
#include <gtkmm/eventcontrollerfocus.h>
#include <gtkmm/eventcontrollerkey.h>
#include <gtkmm/stylecontext.h>
#include <gtkmm/window.h>

#include "widgets/AddressDrop.h"

namespace vesk {

namespace {

// The size the entry draws its icons at.
constexpr int kIconSize = 16;

// A transparent icon for the field's end, as wide as the sign at its start,
// so that the sign does not push the centred text off the centre.
Glib::RefPtr<Gdk::Paintable> balancingBlank() {
    static const Glib::RefPtr<Gdk::Paintable> blank = [] {
        static const guchar pixels[kIconSize * kIconSize * 4] = {};
        GBytes* bytes = g_bytes_new_static(pixels, sizeof pixels);
        GdkTexture* texture =
            gdk_memory_texture_new(kIconSize, kIconSize, GDK_MEMORY_R8G8B8A8, bytes, kIconSize * 4);
        g_bytes_unref(bytes);
        return Glib::wrap(GDK_PAINTABLE(texture));
    }();
    return blank;
}

// Keeps the sign off the field's rounded edge; the blank at the other end
// moves in as far, so the text stays centred.
void addSignStyle(Gtk::Widget& field) {
    static const bool once = [&field] {
        auto provider = Gtk::CssProvider::create();
        provider->load_from_data("entry.vesk-address > image.left { margin-left: 6px; }\n"
                                 "entry.vesk-address > image.right { margin-right: 6px; }\n");
        Gtk::StyleContext::add_provider_for_display(field.get_display(), provider,
                                                    GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
        return true;
    }();
    (void)once;
}

const char* tooltipFor(ConnectionSecurity security) {
    switch (security) {
    case ConnectionSecurity::Secure:
        return "Secure connection";
    case ConnectionSecurity::NotSecure:
        return "Not secure";
    case ConnectionSecurity::CertificateAccepted:
        return "Not secure: certificate accepted by you";
    case ConnectionSecurity::InsecureContent:
        return "Not secure: parts of this page are unencrypted";
    case ConnectionSecurity::None:
        break;
    }
    return "";
}

} // namespace

AddressField::AddressField() : addr_(Gtk::make_managed<Gtk::Entry>()) {
    addr_->add_css_class("vesk-address");
    addr_->set_has_frame(false);
    addr_->set_alignment(0.5);
    addr_->set_overflow(Gtk::Overflow::HIDDEN);

    addr_->signal_activate().connect(sigc::mem_fun(*this, &AddressField::onActivate));
    addr_->signal_changed().connect(sigc::mem_fun(*this, &AddressField::onChanged));
    auto focus = Gtk::EventControllerFocus::create();
    focus->signal_enter().connect(sigc::mem_fun(*this, &AddressField::onFocusEnter));
    focus->signal_leave().connect(sigc::mem_fun(*this, &AddressField::onFocusLeave));
    addr_->add_controller(focus);
    auto keys = Gtk::EventControllerKey::create();
    keys->signal_key_pressed().connect(sigc::mem_fun(*this, &AddressField::onKeyPressed), false);
    addr_->add_controller(keys);
    addr_->add_controller(
        makeAddressDropTarget(sigc::mem_fun(*this, &AddressField::onAddressesDropped)));

    addSignStyle(*addr_);
    popover_ = std::make_unique<SecurityPopover>(*addr_);
    addr_->signal_icon_release().connect([this](Gtk::Entry::IconPosition position) {
        if (position == Gtk::Entry::IconPosition::PRIMARY)
            openSecurityPopover();
        else if (star_ != BookmarkStar::None)
            starClicked_.emit();
    });
}

AddressField::~AddressField() = default;

std::string AddressField::securityIconName() const {
    switch (security_.security) {
    case ConnectionSecurity::Secure:
        return "channel-secure-symbolic";
    // Every page that is not private between the user and the site gets the
    // same warning; the tooltip and the popover say why.
    case ConnectionSecurity::NotSecure:
    case ConnectionSecurity::CertificateAccepted:
    case ConnectionSecurity::InsecureContent:
        return "dialog-warning-symbolic";
    case ConnectionSecurity::None:
        break;
    }
    return "";
}

void AddressField::setSecurity(SecurityDetails details) {
    // A popover still open speaks of the page that was on show.
    popover_->close();
    security_ = std::move(details);
    showIcons();
}

void AddressField::setStar(BookmarkStar star) {
    if (star == star_)
        return;
    star_ = star;
    showIcons();
}

void AddressField::showIcons() {
    using Position = Gtk::Entry::IconPosition;
    const std::string icon = securityIconName();
    const bool hasStar = star_ != BookmarkStar::None;
    if (!icon.empty()) {
        addr_->set_icon_from_icon_name(icon, Position::PRIMARY);
        addr_->set_icon_tooltip_text(tooltipFor(security_.security), Position::PRIMARY);
    } else if (hasStar) {
        addr_->set_icon_from_paintable(balancingBlank(), Position::PRIMARY);
        addr_->set_icon_tooltip_text("", Position::PRIMARY);
    } else {
        addr_->unset_icon(Position::PRIMARY);
    }
    if (hasStar) {
        const bool isBookmarked = star_ == BookmarkStar::Bookmarked;
        addr_->set_icon_from_icon_name(isBookmarked ? "starred-symbolic" : "non-starred-symbolic",
                                       Position::SECONDARY);
        addr_->set_icon_tooltip_text(isBookmarked ? "Edit Bookmark" : "Bookmark This Page",
                                     Position::SECONDARY);
        addr_->set_icon_activatable(true, Position::SECONDARY);
    } else if (!icon.empty()) {
        addr_->set_icon_from_paintable(balancingBlank(), Position::SECONDARY);
        addr_->set_icon_activatable(false, Position::SECONDARY);
    } else {
        addr_->unset_icon(Position::SECONDARY);
    }
}

void AddressField::openSecurityPopover() {
    if (security_.security == ConnectionSecurity::None)
        return;
    popover_->open(security_, addr_->get_icon_area(Gtk::Entry::IconPosition::PRIMARY));
}

void AddressField::setAddressText(const std::string& text) {
    shownText_ = text;
    settingText_ = true;
    addr_->set_text(text);
    settingText_ = false;
}

void AddressField::setProgress(double fraction) {
    addr_->set_progress_fraction(fraction);
}

void AddressField::focusAndSelect() {
    addr_->grab_focus();
    addr_->select_region(0, -1);
}

bool AddressField::onKeyPressed(guint keyval, guint, Gdk::ModifierType) {
    if (keyval != GDK_KEY_Escape || text() == shownText_)
        return false;
    // The typing is thrown away; the field shows the page's address again.
    setAddressText(shownText_);
    addr_->select_region(0, -1);
    return true;
}

void AddressField::onFocusEnter() {
    editing_ = true;
}

void AddressField::onChanged() {
    if (settingText_)
        return;
    editing_ = true;
    typed_.emit(text());
}

void AddressField::onActivate() {
    // Return always loads what the field holds, also when pressed again
    // without typing; the focus leaving afterwards loads nothing more.
    editing_ = false;
    editingEnded_.emit(text(), EditingEnd::Submitted);
}

void AddressField::onAddressesDropped(const std::vector<std::string>& addresses) {
    // The drop replaces the whole text, wherever the pointer was; of several
    // dropped files the field takes the first.
    addr_->set_text(addresses.front());
    editing_ = false;
    editingEnded_.emit(text(), EditingEnd::Submitted);
}

void AddressField::onFocusLeave() {
    // The window losing focus to another program does not end editing.
    auto* window = dynamic_cast<Gtk::Window*>(addr_->get_root());
    if (window && !window->is_active())
        return;
    // Reading the sign's popover is not the end of an edit, nor is a click into a list
    // the field shows.
    if (popover_->isOpen() || (focusLeaveGuard_ && focusLeaveGuard_()))
        return;
    if (!editing_)
        return;
    editing_ = false;
    editingEnded_.emit(text(), EditingEnd::FocusLeft);
}

} // namespace vesk
