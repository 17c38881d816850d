#include "theme/ColorArchive.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <plist/plist.h>

#include "ColorPrinter.h"

namespace vesk {
namespace {

struct PlistFree {
    void operator()(void* node) const { plist_free(node); }
};
using Plist = std::unique_ptr<void, PlistFree>;

using Bytes = std::vector<std::uint8_t>;

Bytes binary(plist_t node) {
    char* bytes = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(node, &bytes, &length);
    Bytes out(bytes, bytes + length);
    plist_to_bin_free(bytes);
    return out;
}

Plist parsed(const Bytes& data) {
    plist_t root = nullptr;
    plist_from_bin(reinterpret_cast<const char*>(data.data()), data.size(), &root);
    return Plist(root);
}

const Color kFallback = Color::rgb(0.08, 0.09, 0.12, 1.0);

struct RoundTrip {
    const char* name;
    Color color;
};

class ColorArchiveRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(ColorArchiveRoundTrip, ComesBackEqualInItsOwnSpace) {
    const Color& color = GetParam().color;
    const auto data = VeskArchiveColor(color);
    ASSERT_TRUE(data.has_value());
    const Color back = VeskUnarchiveColor(data, kFallback);
    EXPECT_EQ(back, color);
    EXPECT_EQ(back.space, color.space);
    // Bit for bit: the components are stored as reals, not as text.
    EXPECT_EQ(std::memcmp(&back.alpha, &color.alpha, sizeof(double)), 0);
    if (color.space == ColorSpace::CalibratedRGB) {
        EXPECT_EQ(std::memcmp(&back.green, &color.green, sizeof(double)), 0);
    }
    if (color.space == ColorSpace::Named) {
        EXPECT_EQ(back.name, color.name);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ColorArchiveRoundTrip,
    ::testing::Values(
        RoundTrip{"Rgb", Color::rgb(0.22, 0.79, 0.86, 1.0)},
        RoundTrip{"RgbUnroundedThirds", Color::rgb(1.0 / 3.0, 0.1 + 0.2, 2.0 / 3.0, 0.9)},
        RoundTrip{"RgbExtremes",
                  Color::rgb(0.0, std::numeric_limits<double>::denorm_min(), 1.0, 0.0)},
        RoundTrip{"RgbJustBelowOne", Color::rgb(std::nextafter(1.0, 0.0), 0.5, 0.25, 0.12)},
        RoundTrip{"CalibratedWhite", Color::calibratedWhite(0.13, 0.88)},
        RoundTrip{"GenericWhite", Color::genericWhite(0.86, 1.0)},
        RoundTrip{"Clear", Color::clearColor()},
        RoundTrip{"WindowBackground", Color::named(NamedColor::WindowBackground)},
        RoundTrip{"ControlAccent", Color::named(NamedColor::ControlAccent)},
        RoundTrip{"Label", Color::named(NamedColor::Label)},
        RoundTrip{"SecondaryLabel", Color::named(NamedColor::SecondaryLabel)},
        RoundTrip{"SystemBlue", Color::named(NamedColor::SystemBlue)},
        RoundTrip{"NamedWithAlpha", Color::named(NamedColor::ControlAccent).withAlpha(0.24)}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ColorArchive, NoColourGivesNoDataAndNoDataGivesTheFallback) {
    EXPECT_FALSE(VeskArchiveColor(std::nullopt).has_value());
    EXPECT_EQ(VeskUnarchiveColor(std::nullopt, kFallback), kFallback);
    EXPECT_EQ(VeskUnarchiveColor(Bytes{}, kFallback), kFallback);
}

TEST(ColorArchive, ColoursThatCouldNotComeBackAreNotArchived) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(VeskArchiveColor(Color::rgb(nan, 0.0, 0.0)).has_value());
    EXPECT_FALSE(VeskArchiveColor(Color::rgb(1.5, 0.0, 0.0)).has_value());
    EXPECT_FALSE(VeskArchiveColor(Color::genericWhite(-0.1)).has_value());
    EXPECT_FALSE(VeskArchiveColor(Color::rgb(0.5, 0.5, 0.5, 2.0)).has_value());
    EXPECT_FALSE(
        VeskArchiveColor(
            Color::named(NamedColor::Label).withAlpha(std::numeric_limits<double>::infinity()))
            .has_value());
}

TEST(ColorArchive, EveryTruncationGivesTheFallback) {
    const Bytes data = *VeskArchiveColor(Color::rgb(0.2, 0.4, 0.6, 1.0));
    for (std::size_t length = 0; length < data.size(); ++length) {
        const Bytes cut(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(length));
        EXPECT_EQ(VeskUnarchiveColor(cut, kFallback), kFallback) << "length " << length;
    }
}

TEST(ColorArchive, DamagedBytesNeverGiveAColourOutOfRange) {
    const Bytes data = *VeskArchiveColor(Color::rgb(0.2, 0.4, 0.6, 1.0));
    for (std::size_t i = 0; i < data.size(); ++i) {
        for (std::uint8_t flip : {0x01, 0x10, 0x80, 0xFF}) {
            Bytes damaged = data;
            damaged[i] ^= flip;
            const Color back = VeskUnarchiveColor(damaged, kFallback);
            for (double v : {back.r(), back.g(), back.b(), back.alpha})
                ASSERT_TRUE(v >= 0.0 && v <= 1.0) << "byte " << i << " flip " << int(flip);
        }
    }
}

TEST(ColorArchive, XmlFormOfAValidArchiveIsRefused) {
    const Bytes data = *VeskArchiveColor(Color::rgb(0.2, 0.4, 0.6, 1.0));
    Plist root = parsed(data);
    ASSERT_TRUE(root);
    char* xml = nullptr;
    std::uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    const Bytes text(xml, xml + length);
    plist_to_xml_free(xml);
    EXPECT_EQ(VeskUnarchiveColor(text, kFallback), kFallback);
}

TEST(ColorArchive, ForeignRootsGiveTheFallback) {
    Plist array(plist_new_array());
    plist_array_append_item(array.get(), plist_new_real(0.5));
    EXPECT_EQ(VeskUnarchiveColor(binary(array.get()), kFallback), kFallback);
    Plist text(plist_new_string("VeskColor"));
    EXPECT_EQ(VeskUnarchiveColor(binary(text.get()), kFallback), kFallback);
    Plist other(plist_new_dict());
    plist_dict_set_item(other.get(), "red", plist_new_real(0.5));
    EXPECT_EQ(VeskUnarchiveColor(binary(other.get()), kFallback), kFallback);
    EXPECT_EQ(VeskUnarchiveColor(Bytes(5000, 0x20), kFallback), kFallback);
    const std::string junk = "not a property list at all";
    EXPECT_EQ(VeskUnarchiveColor(Bytes(junk.begin(), junk.end()), kFallback), kFallback);
}

// A valid RGB archive taken apart, changed in one way, and put back together.
struct ShapeCase {
    const char* name;
    void (*change)(plist_t dict);
};

class ColorArchiveShape : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(ColorArchiveShape, AnythingButTheExactShapeGivesTheFallback) {
    Plist dict = parsed(*VeskArchiveColor(Color::rgb(0.2, 0.4, 0.6)));
    ASSERT_TRUE(dict);
    GetParam().change(dict.get());
    EXPECT_EQ(VeskUnarchiveColor(binary(dict.get()), kFallback), kFallback);
}

void set(plist_t dict, const char* key, plist_t value) {
    plist_dict_set_item(dict, key, value);
}
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Changes, ColorArchiveShape,
    ::testing::Values(
        ShapeCase{"ForeignMarker",
                  [](plist_t d) { set(d, "$class", plist_new_string("NSColor")); }},
        ShapeCase{"NoMarker", [](plist_t d) { plist_dict_remove_item(d, "$class"); }},
        ShapeCase{"LaterVersion", [](plist_t d) { set(d, "$version", plist_new_uint(2)); }},
        ShapeCase{"UnknownKind", [](plist_t d) { set(d, "kind", plist_new_string("cmyk")); }},
        ShapeCase{"GreyKindOverRgbKeys",
                  [](plist_t d) { set(d, "kind", plist_new_string("genericWhite")); }},
        ShapeCase{"ExtraKey", [](plist_t d) { set(d, "white", plist_new_real(0.5)); }},
        ShapeCase{"MissingKey", [](plist_t d) { plist_dict_remove_item(d, "green"); }},
        ShapeCase{"RenamedKey",
                  [](plist_t d) {
                      plist_dict_remove_item(d, "alpha");
                      set(d, "opacity", plist_new_real(1.0));
                  }},
        ShapeCase{"IntegerComponent", [](plist_t d) { set(d, "red", plist_new_uint(1)); }},
        ShapeCase{"TextComponent", [](plist_t d) { set(d, "red", plist_new_string("0.5")); }},
        ShapeCase{"NaNComponent", [](plist_t d) { set(d, "green", plist_new_real(kNaN)); }},
        ShapeCase{"AboveOne", [](plist_t d) { set(d, "blue", plist_new_real(1.0000001)); }},
        ShapeCase{"NegativeAlpha", [](plist_t d) { set(d, "alpha", plist_new_real(-0.5)); }},
        ShapeCase{"BooleanAlpha", [](plist_t d) { set(d, "alpha", plist_new_bool(1)); }}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ColorArchive, NamedColourShapeDecodesOnlyWithAKnownName) {
    Plist dict = parsed(*VeskArchiveColor(Color::named(NamedColor::Label)));
    EXPECT_EQ(VeskUnarchiveColor(binary(dict.get()), kFallback), Color::named(NamedColor::Label));
    for (const char* name : {"systemPinkColor", "LabelColor", ""}) {
        plist_dict_set_item(dict.get(), "name", plist_new_string(name));
        EXPECT_EQ(VeskUnarchiveColor(binary(dict.get()), kFallback), kFallback) << name;
    }
}

} // namespace
} // namespace vesk
