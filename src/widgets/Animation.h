#pragma once

#include <functional>

#include <gtkmm/widget.h>

#include "base/Lifetime.h"
#include "base/TimingCurve.h"

namespace vesk {

// Interpolates over a duration on a widget's frame clock, then runs the
// completion once, after the last frame. A guard timer finishes the animation
// when the widget stops drawing (unmapped), so a completion is never lost.
// With GTK's gtk-enable-animations off, the end state is set at once and the
// completion runs from the main loop, never inside run().
class Animation {
public:
    using Step = std::function<void(double value)>;

    // Neither step nor completion runs once the owner watched by `owner` is gone.
    static void run(Gtk::Widget& clock, double seconds, TimingCurve curve, Step step,
                    std::function<void()> completion, Lifetime::Watch owner);
};

// Fades a view in from transparent over 0.18 s.
void animateFadeInView(Gtk::Widget& view, Lifetime::Watch owner);

// Fades a view out over 0.16 s, takes it out of its parent, then runs `completion`.
void animateFadeOutAndRemoveView(Gtk::Widget& view, std::function<void()> completion,
                                 Lifetime::Watch owner);

} // namespace vesk
