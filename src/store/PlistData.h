#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <plist/plist.h>

namespace vesk {

struct PlistDeleter {
    void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};

// An owned libplist value, freed with everything below it.
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

// The limits every stored property list is read within, the colour archives inside
// defaults.plist included. Each is far beyond what this program writes: a full history
// is about 1,400 objects three levels deep and at most about 12 MB of XML.
inline constexpr std::size_t plistMaxBytes = 16u * 1024 * 1024;
inline constexpr std::size_t plistMaxDepth = 64;
// Counts the objects of a file, and separately the values it expands to once every
// shared reference is copied, as libplist copies it.
inline constexpr std::uint64_t plistMaxObjects = 100'000;

// Whether `data` stays within the limits above and holds nothing libplist mishandles:
// no reference cycle, no date that is not finite or does not fit 32-bit seconds around
// 2001, no object it could not follow. Checked without building anything.
bool isWithinPlistLimits(std::string_view data);

// The property list held in `data`, XML or binary, or null when it is none or is past
// the limits of isWithinPlistLimits.
PlistPtr parsePlistData(std::string_view data);

// The two formats of a property-list file.
enum class PlistFormat { Xml, Binary };

// The format `data` is in: binary when it starts with the binary header.
PlistFormat plistFormatOf(std::string_view data);

// Whether libplist reads every value of `data`, once within the limits, exactly as it
// is: in a binary property list it cuts text at a NUL, rounds dates to microseconds,
// reads integers past 64 bits short and sets as arrays. An XML one loses nothing the
// limits let through.
bool isReadExactly(std::string_view data);

// A copy of `node` that `format` writes and reads back as it is, to the last bit; null
// when checkedPlistCopy refuses it or a trip through the writer and the reader changes
// it (a date with microseconds or a UID in XML, a date libplist cannot round).
PlistPtr exactPlistCopy(plist_t node, PlistFormat format);

// What of a stored dictionary can be written again in one format exactly as it was read.
struct KeptItems {
    // The items, each key once (the first of two equal ones, which every reader sees),
    // in the dictionary's order.
    std::vector<std::pair<std::string, PlistPtr>> items;
    // False when any item had to be left out.
    bool isWhole = true;
};

// The items of the dictionary `dict` that `format` keeps exactly, each an exactPlistCopy.
KeptItems keptDictionaryItems(plist_t dict, PlistFormat format);

// A copy of `node` made afresh from its values, never sharing libplist's copy of a
// foreign node; null when any value below it fails: a string or key that is not storable
// text, a dictionary holding a key twice, data holding a binary property list past the
// limits, or a node nested deeper than plistMaxDepth.
PlistPtr checkedPlistCopy(plist_t node);

// A new data node holding `bytes`; empty data too, without handing libplist a null pointer.
plist_t newPlistData(std::string_view bytes);

// The items of the array `array` in order, borrowed; empty for any other node. One pass,
// where indexed lookups would walk the list again for every item.
std::vector<plist_t> arrayItems(plist_t array);

// The keys of the dictionary `dict` in order, each with its value (borrowed), duplicates
// included; empty for any other node.
std::vector<std::pair<std::string, plist_t>> dictionaryItems(plist_t dict);

// The string under `key` in the dictionary `dict`, as stored; nothing when the key is
// missing or holds another type.
std::optional<std::string> dictionaryString(plist_t dict, const char* key);

// The text under `key` in the dictionary `dict` when it is storable; nothing when the key
// is absent; false in `isUsable` when the key holds anything else.
std::optional<std::string> checkedDictionaryText(plist_t dict, const char* key, bool& isUsable);

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

// Whether `text` may be stored as it is: valid UTF-8 without NUL, without control
// characters other than tab, line feed and carriage return, and without the two
// non-characters XML forbids.
bool isStorableText(std::string_view text);

// `text` made storable, every invalid UTF-8 sequence and every character
// isStorableText refuses replaced by U+FFFD, and cut after `maxChars` characters.
// Only the part kept is looked at, so a huge text costs no more than a short one.
std::string storableText(std::string_view text, std::size_t maxChars);

// `text` made storable at its whole length, so that any conforming reader can read it back.
std::string xmlSafeText(std::string_view text);

} // namespace vesk
