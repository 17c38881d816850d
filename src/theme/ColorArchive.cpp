#include "theme/ColorArchive.h"

#include "store/PlistData.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include <plist/plist.h>

namespace vesk {

namespace {

// The archive is a dictionary whose marker key names our colour class, so
// that any other property list, even a dictionary, is told apart.
constexpr const char* kClassKey = "$class";
constexpr const char* kClassName = "VeskColor";
constexpr const char* kVersionKey = "$version";
constexpr std::int64_t kVersion = 1;
constexpr const char* kKindKey = "kind";
constexpr const char* kAlphaKey = "alpha";
constexpr const char* kNameKey = "name";

// A colour archive is a few hundred bytes; anything much larger is not one,
// and a bound keeps a hostile nesting from reaching the parser's recursion.
constexpr std::size_t kMaxArchiveBytes = 4096;

const char* kindName(ColorSpace space) {
    switch (space) {
    case ColorSpace::CalibratedRGB:
        return "calibratedRGB";
    case ColorSpace::CalibratedWhite:
        return "calibratedWhite";
    case ColorSpace::GenericWhite:
        return "genericWhite";
    case ColorSpace::Named:
        return "named";
    }
    return "";
}

std::optional<ColorSpace> kindFromName(std::string_view name) {
    for (ColorSpace space : {ColorSpace::CalibratedRGB, ColorSpace::CalibratedWhite,
                             ColorSpace::GenericWhite, ColorSpace::Named}) {
        if (name == kindName(space))
            return space;
    }
    return std::nullopt;
}

bool isComponent(double v) {
    return std::isfinite(v) && v >= 0.0 && v <= 1.0;
}

bool componentsStorable(const Color& c) {
    if (!isComponent(c.alpha))
        return false;
    switch (c.space) {
    case ColorSpace::CalibratedRGB:
        return isComponent(c.red) && isComponent(c.green) && isComponent(c.blue);
    case ColorSpace::CalibratedWhite:
    case ColorSpace::GenericWhite:
        return isComponent(c.white);
    case ColorSpace::Named:
        return !namedColorKey(c.name).empty();
    }
    return false;
}

// The number of keys a dictionary of each kind holds: marker, version, kind
// and alpha, plus the components or the name.
std::uint32_t expectedKeyCount(ColorSpace space) {
    switch (space) {
    case ColorSpace::CalibratedRGB:
        return 4 + 3;
    case ColorSpace::CalibratedWhite:
    case ColorSpace::GenericWhite:
    case ColorSpace::Named:
        return 4 + 1;
    }
    return 0;
}

std::optional<double> componentItem(plist_t dict, const char* key) {
    const auto value = dictionaryReal(dict, key);
    if (!value || !isComponent(*value))
        return std::nullopt;
    return value;
}

std::optional<Color> colorFromDictionary(plist_t dict) {
    if (plist_get_node_type(dict) != PLIST_DICT)
        return std::nullopt;
    if (dictionaryString(dict, kClassKey) != kClassName)
        return std::nullopt;
    if (dictionaryInteger(dict, kVersionKey) != kVersion)
        return std::nullopt;
    const auto kind = dictionaryString(dict, kKindKey);
    const auto space = kind ? kindFromName(*kind) : std::nullopt;
    if (!space || plist_dict_get_size(dict) != expectedKeyCount(*space))
        return std::nullopt;
    const auto alpha = componentItem(dict, kAlphaKey);
    if (!alpha)
        return std::nullopt;

    switch (*space) {
    case ColorSpace::CalibratedRGB: {
        const auto r = componentItem(dict, "red");
        const auto g = componentItem(dict, "green");
        const auto b = componentItem(dict, "blue");
        if (!r || !g || !b)
            return std::nullopt;
        return Color::rgb(*r, *g, *b, *alpha);
    }
    case ColorSpace::CalibratedWhite:
    case ColorSpace::GenericWhite: {
        const auto w = componentItem(dict, "white");
        if (!w)
            return std::nullopt;
        return *space == ColorSpace::CalibratedWhite ? Color::calibratedWhite(*w, *alpha)
                                                     : Color::genericWhite(*w, *alpha);
    }
    case ColorSpace::Named: {
        const auto key = dictionaryString(dict, kNameKey);
        NamedColor name{};
        if (!key || !namedColorFromKey(*key, name))
            return std::nullopt;
        return Color::named(name).withAlpha(*alpha);
    }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::vector<std::uint8_t>> VeskArchiveColor(const std::optional<Color>& color) {
    if (!color || !componentsStorable(*color))
        return std::nullopt;
    const Color& c = *color;

    PlistPtr dict(plist_new_dict());
    plist_dict_set_item(dict.get(), kClassKey, plist_new_string(kClassName));
    plist_dict_set_item(dict.get(), kVersionKey, plist_new_uint(kVersion));
    plist_dict_set_item(dict.get(), kKindKey, plist_new_string(kindName(c.space)));
    switch (c.space) {
    case ColorSpace::CalibratedRGB:
        plist_dict_set_item(dict.get(), "red", plist_new_real(c.red));
        plist_dict_set_item(dict.get(), "green", plist_new_real(c.green));
        plist_dict_set_item(dict.get(), "blue", plist_new_real(c.blue));
        break;
    case ColorSpace::CalibratedWhite:
    case ColorSpace::GenericWhite:
        plist_dict_set_item(dict.get(), "white", plist_new_real(c.white));
        break;
    case ColorSpace::Named:
        plist_dict_set_item(dict.get(), kNameKey, plist_new_string(namedColorKey(c.name).c_str()));
        break;
    }
    plist_dict_set_item(dict.get(), kAlphaKey, plist_new_real(c.alpha));

    const std::string data = plistToBinary(dict.get());
    if (data.empty())
        return std::nullopt;
    return std::vector<std::uint8_t>(data.begin(), data.end());
}

Color VeskUnarchiveColor(const std::optional<std::vector<std::uint8_t>>& data,
                         const Color& fallback) {
    if (!data || data->empty() || data->size() > kMaxArchiveBytes)
        return fallback;
    const std::string_view bytes(reinterpret_cast<const char*>(data->data()), data->size());
    // Only the binary form is an archive; XML text of the same shape is not.
    if (plist_is_binary(bytes.data(), static_cast<std::uint32_t>(bytes.size())) == 0)
        return fallback;
    const PlistPtr root = parsePlistData(bytes);
    if (!root)
        return fallback;
    return colorFromDictionary(root.get()).value_or(fallback);
}

} // namespace vesk
