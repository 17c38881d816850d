#include "store/PlistData.h"

#include <cstdint>
#include <locale.h>
#include <unordered_map>
#include <utility>
#include <vector>

#include <glib.h>

namespace vesk {
namespace {

// libplist parses, copies, writes and frees nested values recursively, so a file
// nested deeper than this (ours are three levels deep) would overflow the stack.
constexpr std::size_t maxNesting = 256;
// A binary property list may reference one object from many places; libplist copies
// it each time, so a small file could otherwise expand without bound.
constexpr std::uint64_t maxExpandedNodes = 4u * 1024 * 1024;

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

// Whether a code point may appear in an XML 1.0 document at all.
bool isXmlChar(gunichar c) {
    if (c < 0x20) {
        return c == '\t' || c == '\n' || c == '\r';
    }
    return c != 0xFFFE && c != 0xFFFF;
}

// Whether the container tags of an XML property list nest no deeper than `limit`.
// Tags inside comments count too; that can only reject a file, never let one through.
bool xmlNestingWithin(std::string_view xml, std::size_t limit) {
    std::size_t depth = 0;
    for (std::size_t at = xml.find('<'); at != std::string_view::npos; at = xml.find('<', at + 1)) {
        std::string_view tag = xml.substr(at + 1);
        const bool isClosing = !tag.empty() && tag.front() == '/';
        if (isClosing) {
            tag.remove_prefix(1);
        }
        std::size_t nameLength = 0;
        if (tag.starts_with("array")) {
            nameLength = 5;
        } else if (tag.starts_with("dict")) {
            nameLength = 4;
        } else {
            continue;
        }
        if (tag.size() > nameLength && g_ascii_isalnum(tag[nameLength])) {
            continue;
        }
        if (isClosing) {
            depth = depth > 0 ? depth - 1 : 0;
            continue;
        }
        const std::size_t end = tag.find('>');
        const bool isEmptyElement = end != std::string_view::npos && end > 0 && tag[end - 1] == '/';
        if (!isEmptyElement && ++depth > limit) {
            return false;
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
// libplist may safely build it: no reference cycle, nesting within `maxNesting`, and no
// more than `maxExpandedNodes` values once shared objects are copied. A file it cannot
// follow counts as damaged.
class BinaryPlistShape {
public:
    explicit BinaryPlistShape(std::string_view data)
        : bytes(reinterpret_cast<const unsigned char*>(data.data())), size(data.size()) {}

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
            top >= objectCount || tableOffset >= size - trailerSize ||
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

    // The objects a container refers to; empty for scalars. False when malformed.
    bool childrenOf(std::uint64_t object, std::vector<std::uint64_t>& children) const {
        children.clear();
        const std::uint64_t offset =
            readBigEndian(bytes + tableOffset + object * offsetSize, offsetSize);
        if (offset >= tableOffset) {
            return false;
        }
        const unsigned kind = bytes[offset] >> 4;
        const bool isArrayOrSet = kind == 0xA || kind == 0xC;
        if (!isArrayOrSet && kind != 0xD) {
            return true;
        }
        std::uint64_t count = bytes[offset] & 0x0F;
        std::uint64_t at = offset + 1;
        if (count == 0x0F) {
            if (at >= tableOffset || (bytes[at] >> 4) != 0x1) {
                return false;
            }
            const std::size_t width = std::size_t{1} << (bytes[at] & 0x0F);
            if (width > 8 || at + 1 + width > tableOffset) {
                return false;
            }
            count = readBigEndian(bytes + at + 1, width);
            at += 1 + width;
        }
        const std::uint64_t available = (tableOffset - at) / refSize;
        if (count > available || (!isArrayOrSet && count * 2 > available)) {
            return false;
        }
        const std::uint64_t refs = isArrayOrSet ? count : count * 2;
        children.reserve(refs);
        for (std::uint64_t i = 0; i < refs; ++i) {
            const std::uint64_t ref = readBigEndian(bytes + at + i * refSize, refSize);
            if (ref >= objectCount) {
                return false;
            }
            children.push_back(ref);
        }
        return true;
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
                if (!stack.empty()) {
                    Visit& parent = visits[stack.back().object];
                    parent.expanded += expanded;
                    if (parent.expanded > maxExpandedNodes) {
                        return false;
                    }
                }
                continue;
            }
            const std::uint64_t child = frame.children[frame.next++];
            const auto seen = visits.find(child);
            if (seen != visits.end()) {
                if (!seen->second.isDone) {
                    return false;
                }
                Visit& parent = visits[frame.object];
                parent.expanded += seen->second.expanded;
                if (parent.expanded > maxExpandedNodes) {
                    return false;
                }
                continue;
            }
            if (stack.size() >= maxNesting) {
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
};

} // namespace

// libplist writes string bytes unchecked, and one control character or broken UTF-8
// sequence in a title would make the whole file unreadable to conforming readers.
std::string xmlSafeText(std::string_view text) {
    constexpr std::string_view replacement = "\xEF\xBF\xBD";
    std::string result;
    result.reserve(text.size());
    while (!text.empty()) {
        const gunichar c = g_utf8_get_char_validated(text.data(), static_cast<gssize>(text.size()));
        if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) {
            result.append(replacement);
            text.remove_prefix(1);
            continue;
        }
        const auto length = static_cast<std::size_t>(g_unichar_to_utf8(c, nullptr));
        if (isXmlChar(c)) {
            result.append(text.substr(0, length));
        } else {
            result.append(replacement);
        }
        text.remove_prefix(length);
    }
    return result;
}

PlistPtr parsePlistData(std::string_view data) {
    constexpr std::string_view binaryMagic = "bplist00";
    const bool isBinary = data.starts_with(binaryMagic);
    if (isBinary ? !BinaryPlistShape(data).isSafe() : !xmlNestingWithin(data, maxNesting)) {
        return nullptr;
    }
    CLocaleScope cLocale;
    plist_t root = nullptr;
    const auto length = static_cast<std::uint32_t>(data.size());
    if (isBinary) {
        plist_from_bin(data.data(), length, &root);
    } else {
        plist_from_xml(data.data(), length, &root);
    }
    return PlistPtr(root);
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
