#include "settings/SiteZoomController.h"

#include "navigation/NavigationRules.h"
#include "store/VeskStore.h"
#include "tabs/Tab.h"

namespace vesk {

SiteZoomController::SiteZoomController(double defaultZoom)
    : defaultZoom_(defaultZoom),
      levels_(SiteZoomLevels::read(UserDefaults::load(VeskStore::shared().defaultsFile()))) {}

void SiteZoomController::watch(Tab& tab) {
    // The connection goes with the page's view.
    tab.web().signalCommitted().connect([this, &tab](const std::string&) { applyTo(tab); });
    applyTo(tab);
}

void SiteZoomController::applyTo(Tab& tab) {
    if (!tab.hasPage())
        return;
    WebView& web = tab.web();
    const std::optional<std::string> host = hostOf(web.url());
    const double factor = levels_.zoomFor(host.value_or(""), defaultZoom_);
    if (web.magnification() != factor)
        web.setMagnification(factor);
}

void SiteZoomController::zoomChanged(Tab& tab) {
    WebView& web = tab.web();
    if (const std::optional<std::string> host = hostOf(web.url()))
        if (levels_.remember(*host, web.magnification()))
            save();
}

void SiteZoomController::zoomReset(Tab& tab) {
    if (const std::optional<std::string> host = hostOf(tab.web().url()))
        if (levels_.forget(*host))
            save();
    applyTo(tab);
}

void SiteZoomController::save() {
    UserDefaults changes = UserDefaults::changesFor(VeskStore::shared().defaultsFile());
    levels_.store(changes);
    VeskStore::shared().saveDefaults(std::move(changes));
}

} // namespace vesk
