#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzChecks.h"

// libFuzzer's entry point: each input is text typed into the address field.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vesk::fuzz::checkAddressRules(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
