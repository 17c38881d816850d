#pragma once

#include <functional>
#include <memory>

#include <gtkmm/widget.h>

#include "platform/TimingCurve.h"

namespace vesk {

// Interpolates over a duration on a widget's frame clock, then runs the
// completion once, after the last frame. A guard timer finishes the animation
// when the widget stops drawing (unmapped), so a completion is never lost.
class Animation {
public:
    using Step = std::function<void(double value)>;

    // Neither step nor completion runs once `lifetime` has expired (the owner
    // of the state they touch is gone).
    static void run(Gtk::Widget& clock, double seconds, TimingCurve curve, Step step,
                    std::function<void()> completion, std::weak_ptr<void> lifetime);
};

} // namespace vesk
