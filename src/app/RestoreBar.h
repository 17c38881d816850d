#pragma once

#include <cstddef>

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <sigc++/signal.h>
#include <sigc++/trackable.h>

namespace vesk {

// The bar over the top of the web area that offers the tabs of a run that ended
// without quitting. It reports the user's answer; opening the tabs is for the
// coordinator. Hidden until offered.
class RestoreBar : public sigc::trackable {
public:
    RestoreBar();
    RestoreBar(const RestoreBar&) = delete;
    RestoreBar& operator=(const RestoreBar&) = delete;

    // Shows the bar asking about `tabCount` tabs.
    void offer(std::size_t tabCount);
    void hide() { bar_.set_visible(false); }
    bool isShown() const { return bar_.get_visible(); }

    Gtk::Widget& widget() { return bar_; }
    Gtk::Label& label() { return *label_; }
    Gtk::Button& restoreButton() { return *restore_; }
    Gtk::Button& dismissButton() { return *dismiss_; }

    // Restore was pressed; the bar has hidden itself.
    sigc::signal<void()>& signalRestore() { return restoreChosen_; }
    // Dismiss was pressed; the bar has hidden itself.
    sigc::signal<void()>& signalDismiss() { return dismissChosen_; }

private:
    void onRestoreClicked();
    void onDismissClicked();

    Gtk::Box bar_;
    Gtk::Label* label_ = nullptr;
    Gtk::Button* restore_ = nullptr;
    Gtk::Button* dismiss_ = nullptr;
    sigc::signal<void()> restoreChosen_;
    sigc::signal<void()> dismissChosen_;
};

} // namespace vesk
