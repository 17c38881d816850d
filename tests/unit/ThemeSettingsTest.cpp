#include "theme/ThemeSettings.h"

#include <gtest/gtest.h>

#include "ColorPrinter.h"
#include "TempFolder.h"
#include "theme/Theme.h"

namespace {
using namespace vesk;

class ThemeSettingsTest : public TempFolder {
protected:
    const std::filesystem::path file = temp / "Vesk" / "defaults.plist";
};

TEST_F(ThemeSettingsTest, FirstStartReadsSystemAndWritesNothing) {
    UserDefaults defaults(file);
    const StoredTheme stored = readStoredTheme(defaults);
    EXPECT_EQ(stored.name, "system");
    EXPECT_EQ(stored.customBackground, defaultCustomBackground());
    EXPECT_EQ(stored.customAccent, defaultCustomAccent());
    EXPECT_TRUE(defaults.synchronize()) << "nothing to write is not a failure";
    EXPECT_FALSE(std::filesystem::exists(file.parent_path())) << "reading must create nothing";
}

TEST_F(ThemeSettingsTest, ThemeComesBackAfterARestartAndKeysWrittenByOthersSurvive) {
    writeFile(file, plist("<dict><key>ByHand</key><array><integer>7</integer></array></dict>"));
    UserDefaults defaults(file);
    // Another running copy saves a key of its own before this one saves the theme.
    UserDefaults other(file);
    other.setString("Meanwhile", "kept");
    ASSERT_TRUE(other.synchronize());
    const Color background = Color::rgb(0.2, 0.4, 0.6, 0.5);
    const Color accent = Color::named(NamedColor::ControlAccent).withAlpha(0.24);
    ASSERT_TRUE(writeStoredTheme(defaults, "custom", background, accent));
    const UserDefaults reread(file);
    const StoredTheme stored = readStoredTheme(reread);
    EXPECT_EQ(stored.name, "custom");
    EXPECT_EQ(stored.customBackground, background);
    EXPECT_EQ(stored.customAccent, accent);
    EXPECT_EQ(reread.stringForKey("Meanwhile"), "kept");
    EXPECT_NE(readFile(file).find("ByHand"), std::string::npos) << "unknown keys are kept";
}

TEST_F(ThemeSettingsTest, DamagedFileReadsAsEmptyAndIsSetAsideOnSave) {
    const std::string damaged = plist("<array><string>VeskThemeMode</string></array>");
    writeFile(file, damaged);
    UserDefaults defaults(file);
    EXPECT_EQ(readStoredTheme(defaults).name, "system");
    ASSERT_TRUE(writeStoredTheme(defaults, "ocean", std::nullopt, std::nullopt));
    EXPECT_EQ(readFile(file.string() + ".corrupt"), damaged);
    EXPECT_EQ(readStoredTheme(UserDefaults(file)).name, "ocean");
}

} // namespace
