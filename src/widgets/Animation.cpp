#include "widgets/Animation.h"

#include <gdkmm/frameclock.h>
#include <glibmm/main.h>
#include <gtkmm/settings.h>

#include "base/GObjectPtr.h"
#include "widgets/ConstraintView.h"

namespace vesk {

namespace {

constexpr double kFadeInSeconds = 0.18;
constexpr double kFadeOutSeconds = 0.16;

struct Running {
    // The animation holds its view until the completion has run.
    GObjectPtr<GtkWidget> clockRef;
    Gtk::Widget* clock = nullptr;
    double seconds = 0.0;
    TimingCurve curve = TimingCurve::Linear;
    Animation::Step step;
    std::function<void()> completion;
    gint64 start = -1;
    guint tickId = 0;
    sigc::connection guard;
    Lifetime::Watch owner;
    bool done = false;

    bool ownerAlive() const { return !owner.expired(); }

    void finish() {
        if (done)
            return;
        done = true;
        if (tickId && clock)
            clock->remove_tick_callback(tickId);
        tickId = 0;
        guard.disconnect();
        if (ownerAlive()) {
            if (step)
                step(1.0);
            if (completion)
                completion();
        }
        clock = nullptr;
        clockRef.reset();
    }
};

} // namespace

void Animation::run(Gtk::Widget& clock, double seconds, TimingCurve curve, Step step,
                    std::function<void()> completion, Lifetime::Watch owner) {
    auto running = std::make_shared<Running>();
    running->clockRef = GObjectPtr<GtkWidget>::retain(clock.gobj());
    running->clock = &clock;
    running->owner = std::move(owner);
    running->seconds = seconds;
    running->curve = curve;
    running->step = std::move(step);
    running->completion = std::move(completion);

    // GTK's own transitions check the same setting on the widget's settings.
    const bool animationsEnabled = clock.get_settings()->property_gtk_enable_animations();
    if (!animationsEnabled) {
        // The user turned animations off: the end state shows at once, and the
        // completion still runs after the caller returns, as it would otherwise.
        if (running->step)
            running->step(1.0);
        Glib::signal_idle().connect_once([running] { running->finish(); });
        return;
    }
    if (!clock.get_mapped() || seconds <= 0.0) {
        // Nothing is drawn: jump to the end, but still after the caller returns.
        Glib::signal_idle().connect_once([running] { running->finish(); });
        return;
    }
    if (running->step)
        running->step(0.0);
    running->tickId = clock.add_tick_callback([running](const Glib::RefPtr<Gdk::FrameClock>& fc) {
        if (running->done)
            return false;
        const gint64 now = fc->get_frame_time();
        if (running->start < 0)
            running->start = now;
        const double t = double(now - running->start) / (running->seconds * 1e6);
        if (t >= 1.0) {
            running->tickId = 0;
            running->finish();
            return false;
        }
        if (!running->ownerAlive()) {
            running->tickId = 0;
            running->finish();
            return false;
        }
        if (running->step)
            running->step(timingCurveValue(running->curve, t));
        return true;
    });
    // The widget may stop drawing mid-animation; the completion still runs.
    running->guard = Glib::signal_timeout().connect(
        [running] {
            running->finish();
            return false;
        },
        static_cast<unsigned>(seconds * 1000.0) + 500);
}

void animateFadeInView(Gtk::Widget& view, Lifetime::Watch owner) {
    view.set_opacity(0.0);
    Animation::run(
        view, kFadeInSeconds, TimingCurve::Linear, [&view](double v) { view.set_opacity(v); },
        nullptr, std::move(owner));
}

void animateFadeOutAndRemoveView(Gtk::Widget& view, std::function<void()> completion,
                                 Lifetime::Watch owner) {
    const double from = view.get_opacity();
    Animation::run(
        view, kFadeOutSeconds, TimingCurve::Linear,
        [&view, from](double v) { view.set_opacity(from * (1.0 - v)); },
        [&view, completion = std::move(completion)] {
            if (auto* parent = dynamic_cast<ConstraintView*>(view.get_parent()))
                parent->removeChild(view);
            else if (view.get_parent())
                view.unparent();
            if (completion)
                completion();
        },
        std::move(owner));
}

} // namespace vesk
