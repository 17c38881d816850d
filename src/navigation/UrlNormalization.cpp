#include "navigation/UrlNormalization.h"

namespace vesk {

// Placeholder: full addresses only, until the normalisation rules land.
std::optional<std::string> normalizedURLFromInput(std::optional<std::string_view> input) {
    if (!input || input->find("://") == std::string_view::npos)
        return std::nullopt;
    return std::string(*input);
}

} // namespace vesk
