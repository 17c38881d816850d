#include "app/AppDelegate.h"
#include "app/LayoutMetrics.h"

#include "platform/Animation.h"
#include "platform/ConstraintView.h"

namespace vesk {

namespace {

constexpr double kLayoutSeconds = 0.3;

} // namespace

void AppDelegate::toggleLayoutMode() {
    isSidebarMode = !isSidebarMode;

    // Each press animates from wherever things stand now towards the new mode.
    const double fromWidth = sidebarWidth_;
    const double fromLeading = webLeading_;
    const double fromOpacity = topStripOpacity_;
    const double toWidth = isSidebarMode ? kSidebarWidth : 0.0;
    const double toLeading = isSidebarMode ? kSidebarWebLeading : kTopBarWebLeading;
    const double toOpacity = isSidebarMode ? 0.0 : 1.0;
    const unsigned generation = ++layoutGeneration_;

    auto step = [this, generation, fromWidth, fromLeading, fromOpacity, toWidth, toLeading,
                 toOpacity](double v) {
        // A newer press owns the constants from now on.
        if (generation != layoutGeneration_)
            return;
        // Written so that the last frame lands exactly on the target.
        auto mix = [v](double from, double to) { return from * (1.0 - v) + to * v; };
        setLayoutConstants(mix(fromWidth, toWidth), mix(fromLeading, toLeading),
                           mix(fromOpacity, toOpacity));
    };
    Animation::run(
        *glass, kLayoutSeconds, TimingCurve::EaseInEaseOut, step,
        [this] { rebuildTabBarLayouts(); }, lifetime());
}

void AppDelegate::setLayoutConstants(double sidebarWidth, double webLeading, double stripOpacity) {
    // A constraint cannot change: the two held ones are replaced.
    auto layout = glass->constraintLayout();
    if (sidebarWidth != sidebarWidth_) {
        layout->remove_constraint(sidebarWidthConstraint);
        sidebarWidthConstraint = constrain(width(sidebarContainer), sidebarWidth);
        layout->add_constraint(sidebarWidthConstraint);
        sidebarWidth_ = sidebarWidth;
    }
    if (webLeading != webLeading_) {
        layout->remove_constraint(webLeadingConstraint);
        webLeadingConstraint = constrain(leading(webContainer), leading(nullptr), webLeading);
        layout->add_constraint(webLeadingConstraint);
        webLeading_ = webLeading;
    }
    topStripOpacity_ = stripOpacity;
    topTabBarScroller->set_opacity(stripOpacity);
}

} // namespace vesk
