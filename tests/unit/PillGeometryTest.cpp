#include "tabs/PillGeometry.h"

#include <gtest/gtest.h>

namespace vesk {
namespace {

// The parts never overlap, never leave the pill, and the title takes what the
// shown parts leave, whatever is shown.
TEST(PillGeometry, PartsStayApartAndInsideThePill) {
    for (bool hasIcon : {false, true}) {
        for (bool showsSound : {false, true}) {
            SCOPED_TRACE(testing::Message() << "icon " << hasIcon << ", sound " << showsSound);
            const PillFrames f = pillFrames({hasIcon, showsSound}, 20);
            EXPECT_EQ(f.close, (PillRect{120, 7, 14, 14}));
            EXPECT_EQ(f.sound.x + f.sound.width, f.close.x);
            EXPECT_EQ(f.sound.width, showsSound ? 16 : 0);
            EXPECT_EQ(f.title.x, hasIcon ? 30 : 8) << "the title moves by the icon and a gap";
            EXPECT_EQ(f.title.x + f.title.width, f.sound.x - 4);
            if (hasIcon) {
                EXPECT_EQ(f.icon, (PillRect{8, 6, 16, 16}));
            }
            EXPECT_EQ(f.title.y, 4) << "centred";
        }
    }
}

TEST(PillGeometry, ATitleTallerThanThePillStaysCentredOnIt) {
    const PillFrames f = pillFrames({}, 40);
    EXPECT_EQ(f.title.y, -6);
    EXPECT_EQ(f.title.height, 40);
}

} // namespace
} // namespace vesk
