#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzChecks.h"

// libFuzzer's entry point: each input is read as an HTML bookmark file and as XBEL.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vesk::fuzz::checkBookmarkFiles(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
