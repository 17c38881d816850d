#include "settings/SiteZoomLevels.h"

#include "settings/Preferences.h"

namespace vesk {

SiteZoomLevels SiteZoomLevels::read(const UserDefaults& defaults) {
    SiteZoomLevels read;
    for (const auto& [host, factor] : defaults.realsForKey(SiteZoomLevelsKey))
        read.remember(host, factor);
    return read;
}

void SiteZoomLevels::store(UserDefaults& defaults) const {
    defaults.setReals(SiteZoomLevelsKey, {levels_.begin(), levels_.end()});
}

double SiteZoomLevels::zoomFor(std::string_view host, double defaultZoom) const {
    const auto found = levels_.find(host);
    return found == levels_.end() ? defaultZoom : found->second;
}

bool SiteZoomLevels::remember(std::string_view host, double factor) {
    if (host.empty() || !isValidZoom(factor))
        return false;
    const auto [place, added] = levels_.try_emplace(std::string(host), factor);
    if (!added && place->second == factor)
        return false;
    place->second = factor;
    return true;
}

bool SiteZoomLevels::forget(std::string_view host) {
    const auto found = levels_.find(host);
    if (found == levels_.end())
        return false;
    levels_.erase(found);
    return true;
}

} // namespace vesk
