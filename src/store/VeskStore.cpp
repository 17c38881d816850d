#include "store/VeskStore.h"

namespace vesk {

VeskStore& VeskStore::shared() {
    static VeskStore store;
    return store;
}

void VeskStore::addHistory(std::optional<std::string_view>, std::optional<std::string_view>) {}

} // namespace vesk
