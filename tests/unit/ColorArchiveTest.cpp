#include "theme/ColorArchive.h"

#include <cmath>
#include <limits>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "ColorPrinter.h"
#include "TempFolder.h"
#include "store/PlistData.h"

namespace {
using namespace vesk;

using Bytes = std::vector<std::uint8_t>;

const Color kFallback = Color::rgb(0.08, 0.09, 0.12, 1.0);
const Color kRgb = Color::rgb(0.2, 0.4, 0.6);
const Color kLabel = Color::named(NamedColor::Label);

Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Color unarchived(const Bytes& data) {
    return VeskUnarchiveColor(data, kFallback);
}

// The archive of `color` as a dictionary, to be changed and stored again.
PlistPtr archiveOf(const Color& color) {
    const Bytes data = *VeskArchiveColor(color);
    return parsePlistData({reinterpret_cast<const char*>(data.data()), data.size()});
}

// Colours compare exactly, kind and name included: the components are stored as reals.
TEST(ColorArchive, EveryKindComesBackExactly) {
    for (const Color& color :
         {Color::rgb(1.0 / 3.0, std::numeric_limits<double>::denorm_min(), 0.1 + 0.2, 0.0),
          Color::calibratedWhite(0.13, 0.88), Color::genericWhite(0.86, 1.0),
          Color::named(NamedColor::ControlAccent).withAlpha(0.24)})
        EXPECT_EQ(unarchived(VeskArchiveColor(color).value_or(Bytes{})), color);
}

TEST(ColorArchive, UnstorableColoursGiveNoDataAndOtherDataTheFallback) {
    EXPECT_FALSE(VeskArchiveColor(std::nullopt).has_value());
    EXPECT_FALSE(VeskArchiveColor(Color::rgb(std::nan(""), 0.0, 0.0)).has_value());
    EXPECT_FALSE(VeskArchiveColor(Color::genericWhite(0.5, -0.1)).has_value());
    EXPECT_EQ(VeskUnarchiveColor(std::nullopt, kFallback), kFallback);
    const Bytes data = *VeskArchiveColor(kRgb);
    for (std::size_t i = 0; i < data.size(); ++i)
        EXPECT_EQ(unarchived(Bytes(data.begin(), data.begin() + std::ptrdiff_t(i))), kFallback)
            << "cut at " << i;
    EXPECT_EQ(unarchived(Bytes(5000, 0x20)), kFallback);
    // Objects that each hold the next twice: about 2^62 values once libplist copies them.
    EXPECT_EQ(unarchived(bytesOf(TempFolder::binaryArrayChain(62, 2, false))), kFallback);
    // Only the binary form is an archive; XML text of the same shape is not.
    EXPECT_EQ(unarchived(bytesOf(plistToXml(archiveOf(kRgb).get()))), kFallback);
    // A valid archive changed in one way (no value removes the key) is no archive either.
    const std::tuple<Color, const char*, plist_t> changes[] = {
        {kRgb, "$class", plist_new_string("NSColor")}, {kRgb, "$version", plist_new_uint(2)},
        {kRgb, "white", plist_new_real(0.5)},          {kRgb, "green", nullptr},
        {kRgb, "blue", plist_new_real(1.0000001)},     {kLabel, "name", plist_new_string("Pink")}};
    for (const auto& [color, key, value] : changes) {
        const PlistPtr dict = archiveOf(color);
        value ? plist_dict_set_item(dict.get(), key, value)
              : plist_dict_remove_item(dict.get(), key);
        EXPECT_EQ(unarchived(bytesOf(plistToBinary(dict.get()))), kFallback) << key;
    }
}

} // namespace
