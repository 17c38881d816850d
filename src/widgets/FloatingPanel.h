#pragma once

#include <functional>
#include <vector>

#include <gtkmm/constraint.h>
#include <sigc++/connection.h>
#include <sigc++/signal.h>
#include <sigc++/trackable.h>

#include "base/Lifetime.h"
#include "widgets/ConstraintView.h"

namespace vesk {

class FloatingPanel;

// The panels that share one place over the backdrop; at most one of them is open.
class FloatingPanelGroup {
public:
    FloatingPanel* openPanel() const { return open_; }
    // Closes the open panel, if there is one.
    void closeOpenPanel();
    // A panel opened, or the open one closed (null).
    sigc::signal<void(FloatingPanel*)>& signalOpenChanged() { return openChanged_; }

private:
    friend class FloatingPanel;
    void setOpen(FloatingPanel* panel);

    FloatingPanel* open_ = nullptr;
    sigc::signal<void(FloatingPanel*)> openChanged_;
};

// A rounded panel that floats over the backdrop, hanging below an anchor (the
// address field) at the backdrop's right, fading in when it opens and out when
// it closes. Opening one closes the group's other panel first. While it fades
// out it is already closed: it takes no clicks and its content is forgotten.
// A panel that was given the keyboard hands it back when it closes.
class FloatingPanel : public sigc::trackable {
public:
    FloatingPanel(ConstraintView& glass, Gtk::Widget& anchor, FloatingPanelGroup& group,
                  const char* cssClass);
    virtual ~FloatingPanel();
    FloatingPanel(const FloatingPanel&) = delete;
    FloatingPanel& operator=(const FloatingPanel&) = delete;

    bool isOpen() const { return view_ != nullptr; }
    // The open panel's view; null while closed (also while it fades out).
    ConstraintView* view() const { return view_; }
    void close();
    // Gives the keyboard to `widget` in the open panel; closing gives it back to
    // the widget that had it before.
    void focusInPanel(Gtk::Widget& widget);

protected:
    // Builds a fresh panel with `fill` (its content and the content's own
    // constraints), places it `size` big, and fades it in.
    void open(double panelWidth, const std::function<double(ConstraintView&)>& fill);
    // The subclass drops its pointers into the panel's content.
    virtual void forgetContent() = 0;

private:
    void returnFocus(Gtk::Widget& panel);

    ConstraintView& glass_;
    Gtk::Widget& anchor_;
    FloatingPanelGroup& group_;
    const char* cssClass_;
    ConstraintView* view_ = nullptr;
    std::vector<Glib::RefPtr<Gtk::Constraint>> placement_;
    // Where the keyboard was before the panel took it; null once that widget is gone.
    Gtk::Widget* focusBefore_ = nullptr;
    sigc::connection focusBeforeGone_;
    Lifetime lifetime_;
};

} // namespace vesk
