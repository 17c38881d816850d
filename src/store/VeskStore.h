#pragma once

#include <optional>
#include <string_view>

namespace vesk {

// Placeholder until the store lands.
class VeskStore {
public:
    static VeskStore& shared();
    void addHistory(std::optional<std::string_view> url, std::optional<std::string_view> title);
};

} // namespace vesk
