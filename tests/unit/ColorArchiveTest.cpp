#include "theme/ColorArchive.h"

#include <cstring>
#include <limits>
#include <string>

#include <gtest/gtest.h>
#include <plist/plist.h>

#include "ColorPrinter.h"

namespace vesk {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Color kFallback = Color::rgb(0.08, 0.09, 0.12, 1.0);
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Hands over `node` and gives its binary form.
Bytes binary(plist_t node) {
    char* bytes = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(node, &bytes, &length);
    Bytes out(bytes, bytes + length);
    plist_to_bin_free(bytes);
    plist_free(node);
    return out;
}

// The archive of `color` taken apart, for changing before `binary` puts it back.
plist_t archiveOf(const Color& color) {
    const Bytes data = *VeskArchiveColor(color);
    plist_t root = nullptr;
    plist_from_bin(reinterpret_cast<const char*>(data.data()), data.size(), &root);
    return root;
}

Color unarchived(const Bytes& data) {
    return VeskUnarchiveColor(data, kFallback);
}

class ColorArchiveRoundTrip : public ::testing::TestWithParam<Color> {};

TEST_P(ColorArchiveRoundTrip, ComesBackBitForBitInItsOwnSpace) {
    const Color& color = GetParam();
    const Color back = unarchived(VeskArchiveColor(color).value_or(Bytes{}));
    EXPECT_EQ(back, color);
    EXPECT_EQ(back.space, color.space);
    EXPECT_EQ(back.name, color.name);
    // Bit for bit: the components are stored as reals, not as text.
    for (auto part : {&Color::red, &Color::green, &Color::blue, &Color::white, &Color::alpha})
        EXPECT_EQ(std::memcmp(&(back.*part), &(color.*part), sizeof(double)), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ColorArchiveRoundTrip,
    ::testing::Values(Color::rgb(1.0 / 3.0, 0.1 + 0.2, 2.0 / 3.0, 0.9),
                      Color::rgb(0.0, std::numeric_limits<double>::denorm_min(), 1.0, 0.0),
                      Color::calibratedWhite(0.13, 0.88), Color::genericWhite(0.86, 1.0),
                      Color::named(NamedColor::WindowBackground),
                      Color::named(NamedColor::ControlAccent).withAlpha(0.24)));

TEST(ColorArchive, NothingAndColoursThatCouldNotComeBackGiveNoData) {
    EXPECT_FALSE(VeskArchiveColor(std::nullopt).has_value());
    EXPECT_FALSE(VeskArchiveColor(Color::rgb(kNaN, 0.0, 0.0)).has_value());
    EXPECT_FALSE(VeskArchiveColor(Color::rgb(1.5, 0.0, 0.0)).has_value());
    EXPECT_FALSE(VeskArchiveColor(Color::genericWhite(0.5, -0.1)).has_value());
    EXPECT_EQ(VeskUnarchiveColor(std::nullopt, kFallback), kFallback);
}

TEST(ColorArchive, EveryTruncationAndEveryFlippedByteGiveTheFallbackOrAColourInRange) {
    const Bytes data = *VeskArchiveColor(Color::rgb(0.2, 0.4, 0.6, 1.0));
    for (std::size_t i = 0; i < data.size(); ++i) {
        EXPECT_EQ(unarchived(Bytes(data.begin(), data.begin() + std::ptrdiff_t(i))), kFallback);
        for (std::uint8_t flip : {0x01, 0x80, 0xFF}) {
            Bytes damaged = data;
            damaged[i] ^= flip;
            const Color back = unarchived(damaged);
            for (double v : {back.r(), back.g(), back.b(), back.alpha})
                ASSERT_TRUE(v >= 0.0 && v <= 1.0) << "byte " << i << " flip " << int(flip);
        }
    }
}

TEST(ColorArchive, ForeignDataGivesTheFallback) {
    plist_t array = plist_new_array();
    plist_array_append_item(array, plist_new_real(0.5));
    EXPECT_EQ(unarchived(binary(array)), kFallback);
    EXPECT_EQ(unarchived(binary(plist_new_string("VeskColor"))), kFallback);
    EXPECT_EQ(unarchived(Bytes(5000, 0x20)), kFallback);
    const std::string junk = "not a property list at all";
    EXPECT_EQ(unarchived(Bytes(junk.begin(), junk.end())), kFallback);
}

// A valid archive changed in one way: anything but the exact shape gives the fallback.
struct ShapeCase {
    const char* name;
    Color color;
    const char* key;
    plist_t (*value)(); // nullptr removes the key
};

class ColorArchiveShape : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(ColorArchiveShape, GivesTheFallback) {
    plist_t dict = archiveOf(GetParam().color);
    ASSERT_NE(dict, nullptr);
    if (GetParam().value)
        plist_dict_set_item(dict, GetParam().key, GetParam().value());
    else
        plist_dict_remove_item(dict, GetParam().key);
    EXPECT_EQ(unarchived(binary(dict)), kFallback);
}

const Color kRgb = Color::rgb(0.2, 0.4, 0.6);
const Color kLabel = Color::named(NamedColor::Label);

INSTANTIATE_TEST_SUITE_P(
    Changes, ColorArchiveShape,
    ::testing::Values(
        ShapeCase{"ForeignMarker", kRgb, "$class", [] { return plist_new_string("NSColor"); }},
        ShapeCase{"LaterVersion", kRgb, "$version", [] { return plist_new_uint(2); }},
        ShapeCase{"UnknownKind", kRgb, "kind", [] { return plist_new_string("cmyk"); }},
        ShapeCase{"ExtraKey", kRgb, "white", [] { return plist_new_real(0.5); }},
        ShapeCase{"MissingKey", kRgb, "green", nullptr},
        ShapeCase{"NaNComponent", kRgb, "green", [] { return plist_new_real(kNaN); }},
        ShapeCase{"AboveOne", kRgb, "blue", [] { return plist_new_real(1.0000001); }},
        ShapeCase{"UnknownName", kLabel, "name", [] { return plist_new_string("Pink"); }}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace vesk
