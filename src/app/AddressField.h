#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtkmm/entry.h>
#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include "app/SecurityPopover.h"

namespace vesk {

// The star at the field's end: none, or whether the page on show is bookmarked.
enum class BookmarkStar { None, NotBookmarked, Bookmarked };

// How an editing session of the address field ended.
enum class EditingEnd {
    // Return, or a link dropped on the field: the user asks for the address now.
    Submitted,
    // The focus moved elsewhere in the window.
    FocusLeft,
};

// The centred address field. An editing session starts when the user focuses
// or types into it and ends once: with Return (which always ends one, also
// pressed again without typing) or with the focus moving elsewhere in the
// window. Text shown by the program is not editing.
//
// A sign at its start says how safely the page on show arrived; clicking it
// opens a popover with the details. The text stays centred in the field. A link
// dropped on it replaces the whole text and is loaded, as Return would.
class AddressField : public sigc::trackable {
public:
    AddressField();
    ~AddressField();
    AddressField(const AddressField&) = delete;
    AddressField& operator=(const AddressField&) = delete;

    Gtk::Entry& widget() { return *addr_; }
    std::string text() const { return addr_->get_text(); }

    // Shows a text without it counting as the user's editing. Escape while
    // editing puts it back.
    void setAddressText(const std::string& text);
    // Whether the user is typing in the field, whose text is then theirs.
    bool isEditing() const { return editing_; }

    // Shows how far the page's load has come (0 to 1); 0 shows nothing.
    void setProgress(double fraction);
    // Gives the field the focus with its whole text selected, ready to type over.
    void focusAndSelect();
    // Shows the sign for the page on show (none for ConnectionSecurity::None).
    void setSecurity(SecurityDetails details);
    const SecurityDetails& security() const { return security_; }
    // The name of the sign's icon; empty while there is no sign.
    std::string securityIconName() const;
    // Shows the bookmark star at the field's end, where it balances the sign.
    void setStar(BookmarkStar star);
    BookmarkStar star() const { return star_; }
    // Where the star is drawn, in the field's coordinates.
    Gdk::Rectangle starArea() { return addr_->get_icon_area(Gtk::Entry::IconPosition::SECONDARY); }
    // The star was clicked.
    sigc::signal<void()>& signalStarClicked() { return starClicked_; }
    // Opens the sign's popover, as a click on the sign does.
    void openSecurityPopover();
    SecurityPopover& securityPopover() { return *popover_; }

    // Asked when the keyboard leaves the field: true keeps the editing going (a click
    // into a list that belongs to the field).
    void setFocusLeaveGuard(std::function<bool()> guard) { focusLeaveGuard_ = std::move(guard); }

    // The user changed the text (typing, pasting, deleting); the text is the field's.
    sigc::signal<void(const std::string&)>& signalTyped() { return typed_; }

    // An editing session ended; the text is the field's.
    sigc::signal<void(const std::string&, EditingEnd)>& signalEditingEnded() {
        return editingEnded_;
    }

private:
    void onActivate();
    void onFocusEnter();
    void onFocusLeave();
    void onChanged();
    void onAddressesDropped(const std::vector<std::string>& addresses);
    bool onKeyPressed(guint keyval, guint keycode, Gdk::ModifierType state);
    // Shows the sign and the star, each end balancing the other.
    void showIcons();

    Gtk::Entry* addr_;
    SecurityDetails security_;
    BookmarkStar star_ = BookmarkStar::None;
    sigc::signal<void()> starClicked_;
    std::unique_ptr<SecurityPopover> popover_;
    bool editing_ = false;
    bool settingText_ = false;
    std::string shownText_;
    sigc::signal<void(const std::string&, EditingEnd)> editingEnded_;
    sigc::signal<void(const std::string&)> typed_;
    std::function<bool()> focusLeaveGuard_;
};

} // namespace vesk
