#pragma once

#include <functional>
#include <vector>

#include <gtkmm/constraint.h>
#include <sigc++/trackable.h>

#include "base/Lifetime.h"
#include "widgets/ConstraintView.h"

namespace vesk {

class FloatingPanel;

// The panels that share one place over the backdrop; at most one of them is open.
class FloatingPanelGroup {
public:
    FloatingPanel* openPanel() const { return open_; }

private:
    friend class FloatingPanel;
    FloatingPanel* open_ = nullptr;
};

// A rounded panel that floats over the backdrop, hanging below an anchor (the
// address field) at the backdrop's right, fading in when it opens and out when
// it closes. Opening one closes the group's other panel first. While it fades
// out it is already closed: it takes no clicks and its content is forgotten.
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

protected:
    // Builds a fresh panel with `fill` (its content and the content's own
    // constraints), places it `size` big, and fades it in.
    void open(double panelWidth, const std::function<double(ConstraintView&)>& fill);
    // The subclass drops its pointers into the panel's content.
    virtual void forgetContent() = 0;

private:
    ConstraintView& glass_;
    Gtk::Widget& anchor_;
    FloatingPanelGroup& group_;
    const char* cssClass_;
    ConstraintView* view_ = nullptr;
    std::vector<Glib::RefPtr<Gtk::Constraint>> placement_;
    Lifetime lifetime_;
};

} // namespace vesk
