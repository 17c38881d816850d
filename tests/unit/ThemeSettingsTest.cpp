#include "theme/ThemeSettings.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <chrono>

#include "ColorPrinter.h"
#include "TempFolder.h"
#include "store/PlistData.h"
#include "theme/Theme.h"

namespace {
using namespace vesk;

// Puts the theme into the defaults and saves them; true when the file holds them.
bool saveTheme(UserDefaults& defaults, const std::optional<std::string>& name,
               const std::optional<Color>& background, const std::optional<Color>& accent) {
    setStoredTheme(defaults, name, background, accent);
    return defaults.save() == SaveOutcome::Saved;
}

class ThemeSettingsTest : public TempFolder {
protected:
    const std::filesystem::path file = temp / "Vesk" / "defaults.plist";
};

TEST_F(ThemeSettingsTest, FirstStartReadsSystemAndWritesNothing) {
    UserDefaults defaults = UserDefaults::load(file);
    const StoredTheme stored = readStoredTheme(defaults);
    EXPECT_EQ(stored.name, "system");
    EXPECT_EQ(stored.customBackground, defaultCustomBackground());
    EXPECT_EQ(stored.customAccent, defaultCustomAccent());
    EXPECT_EQ(defaults.save(), SaveOutcome::Saved) << "nothing to write is not a failure";
    EXPECT_FALSE(std::filesystem::exists(file.parent_path())) << "reading must create nothing";
}

TEST_F(ThemeSettingsTest, ThemeComesBackAfterARestartAndKeysWrittenByOthersSurvive) {
    writeFile(file, plist("<dict><key>ByHand</key><array><integer>7</integer></array>"
                          "<key>Empty</key><data/></dict>"));
    UserDefaults defaults = UserDefaults::load(file);
    // Another running copy saves a key of its own before this one saves the theme.
    UserDefaults other = UserDefaults::load(file);
    other.setString("Meanwhile", "kept");
    ASSERT_EQ(other.save(), SaveOutcome::Saved);
    const Color background = Color::rgb(0.2, 0.4, 0.6, 0.5);
    const Color accent = Color::named(NamedColor::ControlAccent).withAlpha(0.24);
    ASSERT_TRUE(saveTheme(defaults, "custom", background, accent));
    const UserDefaults reread = UserDefaults::load(file);
    const StoredTheme stored = readStoredTheme(reread);
    EXPECT_EQ(stored.name, "custom");
    EXPECT_EQ(stored.customBackground, background);
    EXPECT_EQ(stored.customAccent, accent);
    EXPECT_EQ(reread.stringForKey("Meanwhile"), "kept");
    EXPECT_NE(readFile(file).find("ByHand"), std::string::npos) << "unknown keys are kept";
    EXPECT_EQ(reread.dataForKey("Empty"), std::vector<std::uint8_t>{});
}

TEST_F(ThemeSettingsTest, DamagedFileReadsAsEmptyAndIsSetAsideOnSave) {
    const std::string damaged = plist("<array><string>VeskThemeMode</string></array>");
    writeFile(file, damaged);
    UserDefaults defaults = UserDefaults::load(file);
    EXPECT_EQ(readStoredTheme(defaults).name, "system");
    ASSERT_TRUE(saveTheme(defaults, "ocean", std::nullopt, std::nullopt));
    EXPECT_EQ(readFile(file.string() + ".corrupt"), damaged);
    EXPECT_EQ(readStoredTheme(UserDefaults::load(file)).name, "ocean");
}

// Once, a key that was not UTF-8 made every later save fail, and duplicates were written back.
TEST_F(ThemeSettingsTest, AFileThatCannotBeWrittenBackIsSetAsideAndRewritten) {
    const std::string invalidKey = plist("<dict><key>\xFF</key><string>x</string><key>"
                                         "VeskThemeMode</key><string>ocean</string></dict>");
    const auto ref = [](int object) { return bigEndian(object, 4); };
    const std::string duplicateKeys = binaryPlist({"\xD2" + ref(1) + ref(1) + ref(2) + ref(3),
                                                   "\x5DVeskThemeMode", "\x55ocean", "\x55twice"});
    for (const std::string& original : {invalidKey, duplicateKeys}) {
        std::filesystem::remove(file.string() + ".corrupt");
        writeFile(file, original);
        UserDefaults defaults = UserDefaults::load(file);
        EXPECT_EQ(readStoredTheme(defaults).name, "ocean") << "the first of two keys is read";
        ASSERT_TRUE(saveTheme(defaults, "dark", std::nullopt, std::nullopt));
        ASSERT_TRUE(saveTheme(defaults, "light", std::nullopt, std::nullopt));
        EXPECT_EQ(readFile(file.string() + ".corrupt"), original);
        const PlistPtr written = parsePlistData(readFile(file));
        ASSERT_TRUE(written);
        EXPECT_EQ(dictionaryItems(written.get()).size(), 3u) << "only the keys the theme sets";
        EXPECT_EQ(readStoredTheme(UserDefaults::load(file)).name, "light");
    }
}

// A colour archive whose objects each hold the next twice expands to about 2^62 values.
TEST_F(ThemeSettingsTest, AnExpandingArchiveFallsBackQuicklyAndItsFileIsSetAside) {
    const std::string archive = binaryArrayChain(62, 2, false);
    gchar* encoded =
        g_base64_encode(reinterpret_cast<const guchar*>(archive.data()), archive.size());
    writeFile(file, plist("<dict><key>VeskThemeMode</key><string>ocean</string><key>"
                          "VeskThemeCustomBackground</key><data>" +
                          std::string(encoded) + "</data></dict>"));
    g_free(encoded);
    const auto started = std::chrono::steady_clock::now();
    UserDefaults defaults = UserDefaults::load(file);
    const StoredTheme stored = readStoredTheme(defaults);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    EXPECT_EQ(stored.name, "ocean");
    EXPECT_EQ(stored.customBackground, defaultCustomBackground());
    ASSERT_TRUE(saveTheme(defaults, "ocean", std::nullopt, std::nullopt));
    EXPECT_TRUE(std::filesystem::exists(file.string() + ".corrupt"));
    EXPECT_EQ(readStoredTheme(UserDefaults::load(file)).customBackground,
              defaultCustomBackground());
}

} // namespace
