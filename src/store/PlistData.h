#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <plist/plist.h>

namespace vesk {

struct PlistDeleter {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};

// An owned libplist value, freed with everything below it.
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// The property list held in `data`, XML or binary, or null when it is none. Data nested
// too deeply for libplist to handle safely counts as none.
PlistPtr parsePlistData(std::string_view data);

// The string under `key` in the dictionary `dict`, as stored; nothing when the key is
// missing or holds another type.
std::optional<std::string> dictionaryString(plist_t dict, const char* key);

// The real number under `key` in the dictionary `dict`; nothing when the key is missing
// or holds another type.
std::optional<double> dictionaryReal(plist_t dict, const char* key);

// The integer under `key` in the dictionary `dict`, signed; nothing when the key is
// missing or holds another type.
std::optional<std::int64_t> dictionaryInteger(plist_t dict, const char* key);

// `root` as an XML property list, version 1.0, in UTF-8.
std::string plistToXml(plist_t root);

// `root` as a binary property list; empty when libplist cannot write it.
std::string plistToBinary(plist_t root);

// `text` with every invalid UTF-8 sequence and every character XML 1.0 forbids replaced
// by U+FFFD, so that any conforming reader can read it back.
std::string xmlSafeText(std::string_view text);

} // namespace vesk
