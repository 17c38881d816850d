#pragma once

#include <sigc++/trackable.h>

#include "settings/SiteZoomLevels.h"

namespace vesk {

class Tab;

// The zoom remembered per host: a zoom the user sets on a page is kept for its
// host, in the defaults, and given to every page of that host when it loads;
// other pages get the default zoom.
class SiteZoomController : public sigc::trackable {
public:
    explicit SiteZoomController(double defaultZoom);
    SiteZoomController(const SiteZoomController&) = delete;
    SiteZoomController& operator=(const SiteZoomController&) = delete;

    // Gives each page `tab` loads its host's zoom.
    void watch(Tab& tab);
    // The user zoomed `tab`'s page: its host keeps the zoom.
    void zoomChanged(Tab& tab);
    // The user reset `tab`'s zoom: its host forgets its own, and the page gets the default.
    void zoomReset(Tab& tab);
    // The zoom for pages whose host has none of its own; `tab`'s page gets it at once
    // when that is so.
    void setDefaultZoom(double factor) { defaultZoom_ = factor; }
    void applyTo(Tab& tab);

    const SiteZoomLevels& levels() const { return levels_; }

private:
    void save();

    double defaultZoom_;
    SiteZoomLevels levels_;
};

} // namespace vesk
