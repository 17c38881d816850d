#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "store/UserDefaults.h"

namespace vesk {

// The defaults key of the zoom remembered per host: a dictionary from host to factor.
inline constexpr std::string_view SiteZoomLevelsKey = "SiteZoomLevels";

// The zoom the user chose for each host. A host without one gets the default zoom.
class SiteZoomLevels {
public:
    // The levels in `defaults`; a host with an invalid factor (see isValidZoom) is
    // left out.
    static SiteZoomLevels read(const UserDefaults& defaults);
    // Puts every level into `defaults` for their next save.
    void store(UserDefaults& defaults) const;

    // The factor for `host`: its own, or `defaultZoom`.
    double zoomFor(std::string_view host, double defaultZoom) const;
    // Remembers `factor` for `host`; false, and nothing kept, for an empty host or an
    // invalid factor, or when it is the factor already remembered.
    bool remember(std::string_view host, double factor);
    // Forgets `host`'s factor; false when it had none.
    bool forget(std::string_view host);

    std::size_t size() const { return levels_.size(); }

private:
    std::map<std::string, double, std::less<>> levels_;
};

} // namespace vesk
