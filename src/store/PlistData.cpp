#include "store/PlistData.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

#include <glib.h>

namespace vesk {
namespace {

constexpr std::string_view binaryMagic = "bplist00";

// libplist reads reals with strtod, which follows the locale: under a locale with a
// decimal comma "2.75" would read as 2. Parsing and writing run under the C locale.
class CLocaleScope {
public:
    CLocaleScope() {
        static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
        if (cLocale != locale_t{}) {
            previous = uselocale(cLocale);
        }
    }
    ~CLocaleScope() {
        if (previous != locale_t{}) {
            uselocale(previous);
        }
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t previous{};
};

// Whether a character may be stored: XML 1.0 allows it and it is no control character
// other than the three white-space ones.
bool isStorableChar(gunichar c) {
    if (c < 0x20) {
        return c == '\t' || c == '\n' || c == '\r';
    }
    const bool isOtherControl = c >= 0x7F && c <= 0x9F;
    return !isOtherControl && c != 0xFFFE && c != 0xFFFF;
}

// libplist turns a date into 32-bit seconds around 2001 by a plain conversion, which is
// undefined for values outside that range; within it lie 1933 to 2068.
bool isDateInRange(double secondsSince2001) {
    return std::isfinite(secondsSince2001) &&
           secondsSince2001 >= double(std::numeric_limits<std::int32_t>::min()) &&
           secondsSince2001 <= double(std::numeric_limits<std::int32_t>::max());
}

// Whether an XML date is "YYYY-MM-DDTHH:MM:SSZ" with a year libplist's conversion can hold.
bool isXmlDateInRange(std::string_view text) {
    constexpr std::string_view shape = "dddd-dd-ddTdd:dd:ddZ";
    if (text.size() != shape.size()) {
        return false;
    }
    for (std::size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == 'd' ? !g_ascii_isdigit(text[i]) : text[i] != shape[i]) {
            return false;
        }
    }
    const int year = std::atoi(std::string(text.substr(0, 4)).c_str());
    return year >= 1933 && year <= 2068;
}

// Whether an XML property list stays within the limits: container nesting, element
// count and dates. Tags inside comments count too; that can only refuse a file.
bool xmlWithinLimits(std::string_view xml) {
    std::size_t depth = 0;
    std::uint64_t elements = 0;
    for (std::size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at + 1)) {
        std::string_view tag = xml.substr(at + 1);
        if (tag.empty() || tag.front() == '?' || tag.front() == '!') {
            continue;
        }
        const bool isClosing = tag.front() == '/';
        if (isClosing) {
            tag.remove_prefix(1);
        }
        std::size_t nameLength = 0;
        while (nameLength < tag.size() && g_ascii_isalnum(tag[nameLength])) {
            ++nameLength;
        }
        const std::string_view name = tag.substr(0, nameLength);
        const bool isContainer = name == "array" || name == "dict";
        if (isClosing) {
            depth -= isContainer && depth > 0 ? 1 : 0;
            continue;
        }
        if (++elements > plistMaxObjects) {
            return false;
        }
        const std::size_t end = tag.find('>');
        const bool isEmptyElement = end != std::string_view::npos && end > 0 && tag[end - 1] == '/';
        if (isContainer && !isEmptyElement && ++depth > plistMaxDepth) {
            return false;
        }
        if (name == "date") {
            if (end == std::string_view::npos || isEmptyElement) {
                return false;
            }
            const std::string_view content = tag.substr(end + 1);
            if (!isXmlDateInRange(content.substr(0, content.find('<')))) {
                return false;
            }
        }
    }
    return true;
}

// A big-endian unsigned integer of `width` bytes (at most 8).
std::uint64_t readBigEndian(const unsigned char* bytes, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        value = (value << 8) | bytes[i];
    }
    return value;
}

// Walks the object graph of a binary property list without recursion and says whether
// libplist may safely build it: objects and nesting within the limits, no reference
// cycle, no more values than plistMaxObjects once shared objects are copied, dates
// libplist can convert and keys it can read. A file it cannot follow counts as damaged.
class BinaryPlistShape {
public:
    explicit BinaryPlistShape(std::string_view data)
        : bytes(reinterpret_cast<const unsigned char*>(data.data())), size(data.size()) {}

    // Whether libplist reads every object the walk of isSafe met exactly as it is.
    bool isExact() const { return isExact_; }

    bool isSafe() {
        constexpr std::size_t headerSize = 8;
        constexpr std::size_t trailerSize = 32;
        if (size < headerSize + trailerSize) {
            // Too short to hold any object; libplist turns it down by itself.
            return true;
        }
        const unsigned char* trailer = bytes + size - trailerSize;
        offsetSize = trailer[6];
        refSize = trailer[7];
        objectCount = readBigEndian(trailer + 8, 8);
        const std::uint64_t top = readBigEndian(trailer + 16, 8);
        tableOffset = readBigEndian(trailer + 24, 8);
        if (offsetSize == 0 || offsetSize > 8 || refSize == 0 || refSize > 8 || objectCount == 0 ||
            objectCount > plistMaxObjects || top >= objectCount ||
            tableOffset >= size - trailerSize ||
            objectCount > (size - trailerSize - tableOffset) / offsetSize) {
            return false;
        }
        return walkFrom(top);
    }

private:
    struct Visit {
        bool isDone = false;
        std::uint64_t expanded = 1;
    };
    struct Frame {
        std::uint64_t object;
        std::vector<std::uint64_t> children;
        std::size_t next = 0;
    };

    // Whether a date object holds a finite time libplist can convert.
    bool isDateSafe(std::uint64_t offset) const {
        constexpr unsigned char dateMarker = 0x33;
        if (bytes[offset] != dateMarker || offset + 9 > tableOffset) {
            return false;
        }
        const std::uint64_t bits = readBigEndian(bytes + offset + 1, 8);
        double seconds = 0;
        std::memcpy(&seconds, &bits, sizeof seconds);
        return isDateInRange(seconds);
    }

    // The offset of `object`; past the objects when the table points outside them.
    std::uint64_t offsetOf(std::uint64_t object) const {
        return readBigEndian(bytes + tableOffset + object * offsetSize, offsetSize);
    }

    // The length of the object at `offset` (in its own units) and where its contents
    // start; false when the length runs past the objects.
    bool readLength(std::uint64_t offset, std::uint64_t& length, std::uint64_t& at) const {
        length = bytes[offset] & 0x0F;
        at = offset + 1;
        if (length != 0x0F) {
            return true;
        }
        if (at >= tableOffset || (bytes[at] >> 4) != 0x1) {
            return false;
        }
        const std::size_t width = std::size_t{1} << (bytes[at] & 0x0F);
        if (width > 8 || at + 1 + width > tableOffset) {
            return false;
        }
        length = readBigEndian(bytes + at + 1, width);
        at += 1 + width;
        return true;
    }

    // Whether libplist can read a dictionary key back: it asserts (and so aborts) on a
    // key whose UTF-16 text holds U+0000, where its length and C string disagree.
    bool isKeySafe(std::uint64_t object) const {
        const std::uint64_t offset = offsetOf(object);
        if (offset >= tableOffset || (bytes[offset] >> 4) != 0x6) {
            return offset < tableOffset;
        }
        std::uint64_t units = 0;
        std::uint64_t at = 0;
        if (!readLength(offset, units, at) || units > (tableOffset - at) / 2) {
            return false;
        }
        for (std::uint64_t i = 0; i < units; ++i) {
            if (bytes[at + 2 * i] == 0 && bytes[at + 2 * i + 1] == 0) {
                return false;
            }
        }
        return true;
    }

    // The objects a container refers to; empty for scalars. False when malformed.
    bool childrenOf(std::uint64_t object, std::vector<std::uint64_t>& children) {
        children.clear();
        const std::uint64_t offset = offsetOf(object);
        if (offset >= tableOffset) {
            return false;
        }
        const unsigned kind = bytes[offset] >> 4;
        noteExactness(offset, kind);
        if (kind == 0x3) {
            return isDateSafe(offset);
        }
        const bool isArrayOrSet = kind == 0xA || kind == 0xC;
        if (!isArrayOrSet && kind != 0xD) {
            return true;
        }
        std::uint64_t count = 0;
        std::uint64_t at = 0;
        if (!readLength(offset, count, at)) {
            return false;
        }
        const std::uint64_t available = (tableOffset - at) / refSize;
        if (count > available || (!isArrayOrSet && count * 2 > available)) {
            return false;
        }
        const std::uint64_t refs = isArrayOrSet ? count : count * 2;
        children.reserve(refs);
        for (std::uint64_t i = 0; i < refs; ++i) {
            const std::uint64_t ref = readBigEndian(bytes + at + i * refSize, refSize);
            if (ref >= objectCount || (!isArrayOrSet && i < count && !isKeySafe(ref))) {
                return false;
            }
            children.push_back(ref);
        }
        return true;
    }

    // Clears isExact_ when libplist would not read the object at `offset` as it is.
    void noteExactness(std::uint64_t offset, unsigned kind) {
        constexpr unsigned integerKind = 0x1, dateKind = 0x3, asciiKind = 0x5, utf16Kind = 0x6,
                           setKind = 0xC;
        constexpr std::size_t wideInteger = 16;
        std::uint64_t length = 0;
        std::uint64_t at = 0;
        switch (kind) {
        case integerKind: {
            // libplist keeps the low 64 bits of a 128-bit integer.
            const std::size_t width = std::size_t{1} << (bytes[offset] & 0x0F);
            if (width == wideInteger && (offset + 1 + width > tableOffset ||
                                         readBigEndian(bytes + offset + 1, width / 2) != 0)) {
                isExact_ = false;
            }
            break;
        }
        case dateKind:
            if (offset + 9 <= tableOffset && !isDateReadExactly(offset)) {
                isExact_ = false;
            }
            break;
        case asciiKind:
        case utf16Kind: {
            const std::uint64_t unitSize = kind == asciiKind ? 1 : 2;
            if (!readLength(offset, length, at) || length > (tableOffset - at) / unitSize) {
                return;
            }
            // libplist ends the text at its first NUL.
            for (std::uint64_t i = 0; i < length && isExact_; ++i) {
                const unsigned char* unit = bytes + at + i * unitSize;
                isExact_ = unit[0] != 0 || (unitSize == 2 && unit[1] != 0);
            }
            break;
        }
        case setKind:
            isExact_ = false;
            break;
        default:
            break;
        }
    }

    // Whether libplist's seconds and microseconds give back the date's stored number,
    // which it writes again as seconds plus microseconds.
    bool isDateReadExactly(std::uint64_t offset) const {
        const std::uint64_t bits = readBigEndian(bytes + offset + 1, 8);
        double seconds = 0;
        std::memcpy(&seconds, &bits, sizeof seconds);
        if (!isDateInRange(seconds)) {
            return true;
        }
        constexpr double microsecondsPerSecond = 1000000;
        const auto whole = static_cast<long>(seconds);
        const auto micro = static_cast<long>((seconds - double(whole)) * microsecondsPerSecond);
        return double(whole) + double(micro) / microsecondsPerSecond == seconds;
    }

    // Adds a finished child's expanded count to its parent's; false past the limit.
    bool addExpanded(std::uint64_t parent, std::uint64_t expanded) {
        Visit& visit = visits[parent];
        visit.expanded += expanded;
        return visit.expanded <= plistMaxObjects;
    }

    bool walkFrom(std::uint64_t top) {
        std::vector<Frame> stack;
        stack.push_back(Frame{top, {}, 0});
        visits[top] = Visit{};
        if (!childrenOf(top, stack.back().children)) {
            return false;
        }
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.next == frame.children.size()) {
                Visit& done = visits[frame.object];
                done.isDone = true;
                const std::uint64_t expanded = done.expanded;
                stack.pop_back();
                if (!stack.empty() && !addExpanded(stack.back().object, expanded)) {
                    return false;
                }
                continue;
            }
            const std::uint64_t child = frame.children[frame.next++];
            const auto seen = visits.find(child);
            if (seen != visits.end()) {
                if (!seen->second.isDone || !addExpanded(frame.object, seen->second.expanded)) {
                    return false;
                }
                continue;
            }
            if (stack.size() >= plistMaxDepth) {
                return false;
            }
            visits[child] = Visit{};
            Frame next{child, {}, 0};
            if (!childrenOf(child, next.children)) {
                return false;
            }
            stack.push_back(std::move(next));
        }
        return true;
    }

    const unsigned char* bytes;
    std::size_t size;
    std::size_t offsetSize = 0;
    std::size_t refSize = 0;
    std::uint64_t objectCount = 0;
    std::uint64_t tableOffset = 0;
    std::unordered_map<std::uint64_t, Visit> visits;
    bool isExact_ = true;
};

// Whether `a` and `b` hold the same values of the same types, to the last bit.
bool isSamePlist(plist_t a, plist_t b, std::size_t depth) {
    const plist_type type = plist_get_node_type(a);
    if (type != plist_get_node_type(b) || depth > plistMaxDepth) {
        return false;
    }
    switch (type) {
    case PLIST_BOOLEAN:
    case PLIST_UINT:
    case PLIST_REAL:
    case PLIST_UID:
        // libplist compares these bit for bit, with the width that marks a large
        // unsigned integer.
        return plist_compare_node_value(a, b) != 0;
    case PLIST_DATE: {
        std::int32_t seconds[2]{};
        std::int32_t micro[2]{};
        plist_get_date_val(a, &seconds[0], &micro[0]);
        plist_get_date_val(b, &seconds[1], &micro[1]);
        return seconds[0] == seconds[1] && micro[0] == micro[1];
    }
    case PLIST_STRING:
    case PLIST_DATA: {
        std::uint64_t length[2]{};
        const char* bytesA = type == PLIST_STRING ? plist_get_string_ptr(a, &length[0])
                                                  : plist_get_data_ptr(a, &length[0]);
        const char* bytesB = type == PLIST_STRING ? plist_get_string_ptr(b, &length[1])
                                                  : plist_get_data_ptr(b, &length[1]);
        return length[0] == length[1] &&
               (length[0] == 0 || std::memcmp(bytesA, bytesB, length[0]) == 0);
    }
    case PLIST_ARRAY: {
        const auto itemsA = arrayItems(a);
        const auto itemsB = arrayItems(b);
        return std::ranges::equal(
            itemsA, itemsB, [&](plist_t x, plist_t y) { return isSamePlist(x, y, depth + 1); });
    }
    case PLIST_DICT: {
        const auto itemsA = dictionaryItems(a);
        const auto itemsB = dictionaryItems(b);
        return std::ranges::equal(itemsA, itemsB, [&](const auto& x, const auto& y) {
            return x.first == y.first && isSamePlist(x.second, y.second, depth + 1);
        });
    }
    default:
        return false;
    }
}

PlistPtr checkedCopyAt(plist_t node, std::size_t depth) {
    if (depth > plistMaxDepth) {
        return nullptr;
    }
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        std::uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return PlistPtr(plist_new_bool(value));
    }
    case PLIST_UINT: {
        std::uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return PlistPtr(plist_new_uint(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return PlistPtr(plist_new_real(value));
    }
    case PLIST_STRING: {
        std::uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        const std::string value = text != nullptr ? std::string(text, length) : std::string();
        return isStorableText(value) ? PlistPtr(plist_new_string(value.c_str())) : nullptr;
    }
    case PLIST_DATA: {
        std::uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(node, &length);
        const std::string_view value = bytes != nullptr ? std::string_view(bytes, length) : "";
        // Data holding a property list is read as one later (a colour archive), so it
        // answers to the same limits as the file around it.
        if (value.starts_with(binaryMagic) && !isWithinPlistLimits(value)) {
            return nullptr;
        }
        return PlistPtr(newPlistData(value));
    }
    case PLIST_DATE: {
        // Safe to convert: the parser let through only dates within 32-bit seconds.
        std::int32_t seconds = 0;
        std::int32_t microseconds = 0;
        plist_get_date_val(node, &seconds, &microseconds);
        return PlistPtr(plist_new_date(seconds, microseconds));
    }
    case PLIST_UID: {
        std::uint64_t value = 0;
        plist_get_uid_val(node, &value);
        return PlistPtr(plist_new_uid(value));
    }
    case PLIST_ARRAY: {
        PlistPtr copy(plist_new_array());
        for (plist_t item : arrayItems(node)) {
            PlistPtr itemCopy = checkedCopyAt(item, depth + 1);
            if (!itemCopy) {
                return nullptr;
            }
            plist_array_append_item(copy.get(), itemCopy.release());
        }
        return copy;
    }
    case PLIST_DICT: {
        PlistPtr copy(plist_new_dict());
        std::set<std::string, std::less<>> keys;
        for (auto& [key, value] : dictionaryItems(node)) {
            PlistPtr valueCopy = checkedCopyAt(value, depth + 1);
            if (!valueCopy || !isStorableText(key) || !keys.insert(key).second) {
                return nullptr;
            }
            plist_dict_set_item(copy.get(), key.c_str(), valueCopy.release());
        }
        return copy;
    }
    default:
        return nullptr;
    }
}

} // namespace

bool isStorableText(std::string_view text) {
    if (!g_utf8_validate_len(text.data(), text.size(), nullptr)) {
        return false;
    }
    for (const char* p = text.data(); p < text.data() + text.size(); p = g_utf8_next_char(p)) {
        if (!isStorableChar(g_utf8_get_char(p))) {
            return false;
        }
    }
    return true;
}

// libplist writes string bytes unchecked, and one control character or broken UTF-8
// sequence in a title would make the whole file unreadable to conforming readers.
std::string storableText(std::string_view text, std::size_t maxChars) {
    constexpr std::string_view replacement = "\xEF\xBF\xBD";
    std::string result;
    result.reserve(std::min(text.size(), maxChars * 4));
    for (std::size_t kept = 0; !text.empty() && kept < maxChars; ++kept) {
        const gunichar c = g_utf8_get_char_validated(text.data(), static_cast<gssize>(text.size()));
        if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) {
            result.append(replacement);
            text.remove_prefix(1);
            continue;
        }
        const auto length = static_cast<std::size_t>(g_unichar_to_utf8(c, nullptr));
        if (isStorableChar(c)) {
            result.append(text.substr(0, length));
        } else {
            result.append(replacement);
        }
        text.remove_prefix(length);
    }
    return result;
}

std::string xmlSafeText(std::string_view text) {
    return storableText(text, text.size());
}

bool isWithinPlistLimits(std::string_view data) {
    if (data.size() > plistMaxBytes) {
        return false;
    }
    return data.starts_with(binaryMagic) ? BinaryPlistShape(data).isSafe() : xmlWithinLimits(data);
}

PlistPtr parsePlistData(std::string_view data) {
    if (data.empty() || !isWithinPlistLimits(data)) {
        return nullptr;
    }
    CLocaleScope cLocale;
    plist_t root = nullptr;
    const auto length = static_cast<std::uint32_t>(data.size());
    if (data.starts_with(binaryMagic)) {
        plist_from_bin(data.data(), length, &root);
    } else {
        // Text handed to the XML reader ends in a NUL, whatever held it before.
        const std::string text(data);
        plist_from_xml(text.c_str(), length, &root);
    }
    return PlistPtr(root);
}

PlistPtr checkedPlistCopy(plist_t node) {
    return checkedCopyAt(node, 0);
}

PlistFormat plistFormatOf(std::string_view data) {
    return data.starts_with(binaryMagic) ? PlistFormat::Binary : PlistFormat::Xml;
}

bool isReadExactly(std::string_view data) {
    if (plistFormatOf(data) == PlistFormat::Xml) {
        return true;
    }
    BinaryPlistShape shape(data);
    return shape.isSafe() && shape.isExact();
}

PlistPtr exactPlistCopy(plist_t node, PlistFormat format) {
    if (!checkedPlistCopy(node)) {
        return nullptr;
    }
    // Once checked, no text holds a NUL, so libplist's own copy takes every byte, and
    // it keeps what a copy made from the values would lose: the width of an integer.
    PlistPtr copy(plist_copy(node));
    const std::string written =
        format == PlistFormat::Xml ? plistToXml(copy.get()) : plistToBinary(copy.get());
    const PlistPtr readBack = parsePlistData(written);
    if (!readBack || !isReadExactly(written) || !isSamePlist(node, readBack.get(), 0)) {
        return nullptr;
    }
    return copy;
}

KeptItems keptDictionaryItems(plist_t dict, PlistFormat format) {
    KeptItems kept;
    std::set<std::string, std::less<>> keys;
    for (const auto& [key, value] : dictionaryItems(dict)) {
        const bool isNewKey = isStorableText(key) && keys.insert(key).second;
        PlistPtr copy = isNewKey ? exactPlistCopy(value, format) : nullptr;
        if (!copy) {
            kept.isWhole = false;
            continue;
        }
        kept.items.emplace_back(key, std::move(copy));
    }
    return kept;
}

plist_t newPlistData(std::string_view bytes) {
    return plist_new_data(bytes.empty() ? "" : bytes.data(), bytes.size());
}

std::vector<plist_t> arrayItems(plist_t array) {
    std::vector<plist_t> items;
    if (plist_get_node_type(array) != PLIST_ARRAY) {
        return items;
    }
    items.reserve(plist_array_get_size(array));
    plist_array_iter iter = nullptr;
    plist_array_new_iter(array, &iter);
    for (plist_t item = nullptr;;) {
        plist_array_next_item(array, iter, &item);
        if (item == nullptr) {
            break;
        }
        items.push_back(item);
    }
    std::free(iter);
    return items;
}

std::vector<std::pair<std::string, plist_t>> dictionaryItems(plist_t dict) {
    std::vector<std::pair<std::string, plist_t>> items;
    if (plist_get_node_type(dict) != PLIST_DICT) {
        return items;
    }
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(dict, &iter);
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(dict, iter, &key, &value);
        if (value == nullptr) {
            std::free(key);
            break;
        }
        items.emplace_back(key != nullptr ? key : "", value);
        std::free(key);
    }
    std::free(iter);
    return items;
}

std::string plistToXml(plist_t root) {
    CLocaleScope cLocale;
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root, &xml, &length);
    std::string result = xml != nullptr ? std::string(xml, length) : std::string();
    plist_to_xml_free(xml);
    return result;
}

std::string plistToBinary(plist_t root) {
    char* bytes = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    std::string result = bytes != nullptr ? std::string(bytes, length) : std::string();
    plist_to_bin_free(bytes);
    return result;
}

std::optional<std::string> dictionaryString(plist_t dict, const char* key) {
    plist_t node = plist_dict_get_item(dict, key);
    if (node == nullptr || plist_get_node_type(node) != PLIST_STRING)
        return std::nullopt;
    std::uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    if (text == nullptr)
        return std::nullopt;
    return std::string(text, length);
}

std::optional<std::string> checkedDictionaryText(plist_t dict, const char* key, bool& isUsable) {
    if (plist_dict_get_item(dict, key) == nullptr)
        return std::nullopt;
    auto text = dictionaryString(dict, key);
    if (!text || !isStorableText(*text))
        isUsable = false;
    return text;
}

std::optional<double> dictionaryReal(plist_t dict, const char* key) {
    plist_t node = plist_dict_get_item(dict, key);
    if (node == nullptr || plist_get_node_type(node) != PLIST_REAL)
        return std::nullopt;
    double value = 0;
    plist_get_real_val(node, &value);
    return value;
}

std::optional<std::int64_t> dictionaryInteger(plist_t dict, const char* key) {
    plist_t node = plist_dict_get_item(dict, key);
    if (node == nullptr || plist_get_node_type(node) != PLIST_UINT)
        return std::nullopt;
    // libplist keeps negative integers in two's complement.
    std::uint64_t value = 0;
    plist_get_uint_val(node, &value);
    return static_cast<std::int64_t>(value);
}

} // namespace vesk
