#pragma once

#include <string>

namespace vesk {

// One bookmarked page.
struct Bookmark {
    std::string url;
    std::string title;
    // Seconds since 1970 when it was added; 0 when unknown.
    double added = 0;

    bool operator==(const Bookmark&) const = default;
};

} // namespace vesk
