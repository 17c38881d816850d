#include "theme/ThemeSettings.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <set>
#include <string>

#include <gtest/gtest.h>
#include <plist/plist.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ColorPrinter.h"
#include "theme/ColorArchive.h"
#include "theme/Theme.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;

struct PlistFree {
    void operator()(void* node) const { plist_free(node); }
};
using Plist = std::unique_ptr<void, PlistFree>;

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string binary(plist_t node) {
    char* bytes = nullptr;
    std::uint32_t length = 0;
    plist_to_bin(node, &bytes, &length);
    std::string out(bytes, length);
    plist_to_bin_free(bytes);
    return out;
}

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// Every test gets its own home and configuration folders, pointed to by the
// environment, so the real home folder is never touched.
class ThemeSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vesk-theme-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr) << "cannot make a temporary folder";
        root_ = pattern;
        saveEnv("HOME");
        saveEnv("XDG_CONFIG_HOME");
        ::setenv("HOME", (root_ / "home").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    }

    void TearDown() override {
        for (const auto& [name, value] : savedEnv_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    fs::path folder() const { return root_ / "config" / "Vesk"; }
    fs::path file() const { return folder() / "defaults.plist"; }

    fs::path root_;

private:
    void saveEnv(const char* name) {
        const char* value = std::getenv(name);
        savedEnv_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> savedEnv_;
};

TEST_F(ThemeSettingsTest, StandardFileIsFoundAfreshOnEveryCall) {
    EXPECT_EQ(UserDefaults::standardFile(), file());
    ::setenv("XDG_CONFIG_HOME", (root_ / "other").c_str(), 1);
    EXPECT_EQ(UserDefaults::standardFile(), root_ / "other" / "Vesk" / "defaults.plist");
    // A relative XDG path is invalid and falls back to the home folder.
    ::setenv("XDG_CONFIG_HOME", "relative/config", 1);
    EXPECT_EQ(UserDefaults::standardFile(), root_ / "home" / ".config" / "Vesk" / "defaults.plist");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(UserDefaults::standard().file(),
              root_ / "home" / ".config" / "Vesk" / "defaults.plist");
}

TEST_F(ThemeSettingsTest, FreshStartReadsSystemWithDefaultColoursAndWritesNothing) {
    UserDefaults defaults = UserDefaults::standard();
    const StoredTheme stored = readStoredTheme(defaults);
    EXPECT_EQ(stored.name, "system");
    EXPECT_EQ(stored.customBackground, defaultCustomBackground());
    EXPECT_EQ(stored.customAccent, defaultCustomAccent());
    EXPECT_TRUE(defaults.synchronize()) << "nothing to write is not a failure";
    EXPECT_FALSE(fs::exists(root_ / "config")) << "reading must create nothing";
}

TEST_F(ThemeSettingsTest, SavedPresetComesBackAfterARestart) {
    const ResolvedTheme ocean = resolveTheme("ocean", std::nullopt, std::nullopt);
    {
        UserDefaults defaults = UserDefaults::standard();
        ASSERT_TRUE(
            writeStoredTheme(defaults, ocean.name, ocean.colors.background, ocean.colors.accent));
    }
    const StoredTheme stored = readStoredTheme(UserDefaults::standard());
    EXPECT_EQ(stored.name, "ocean");
    EXPECT_EQ(stored.customBackground, Color::rgb(0.05, 0.11, 0.16, 1.0));
    EXPECT_EQ(stored.customAccent, Color::rgb(0.22, 0.79, 0.86, 1.0));
    EXPECT_EQ(resolveTheme(stored.name, stored.customBackground, stored.customAccent), ocean);
}

TEST_F(ThemeSettingsTest, SystemThemeStoresNamedColoursThatComeBackNamed) {
    const ResolvedTheme system = resolveTheme("system", std::nullopt, std::nullopt);
    UserDefaults defaults = UserDefaults::standard();
    ASSERT_TRUE(
        writeStoredTheme(defaults, system.name, system.colors.background, system.colors.accent));
    const StoredTheme stored = readStoredTheme(UserDefaults::standard());
    EXPECT_EQ(stored.customBackground, Color::named(NamedColor::WindowBackground));
    EXPECT_EQ(stored.customAccent, Color::named(NamedColor::ControlAccent));
}

TEST_F(ThemeSettingsTest, AColourThatCannotBeArchivedClearsItsKey) {
    UserDefaults defaults = UserDefaults::standard();
    ASSERT_TRUE(
        writeStoredTheme(defaults, "custom", Color::rgb(0.9, 0.1, 0.1), Color::rgb(0.1, 0.9, 0.1)));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    ASSERT_TRUE(
        writeStoredTheme(defaults, "custom", Color::rgb(nan, 0.0, 0.0), Color::rgb(0.1, 0.9, 0.1)));
    UserDefaults reread = UserDefaults::standard();
    EXPECT_FALSE(reread.dataForKey(VeskThemeCustomBackgroundKey).has_value());
    const StoredTheme stored = readStoredTheme(reread);
    EXPECT_EQ(stored.customBackground, defaultCustomBackground());
    EXPECT_EQ(stored.customAccent, Color::rgb(0.1, 0.9, 0.1));
}

TEST_F(ThemeSettingsTest, ValuesOfAnotherKindReadAsAbsent) {
    Plist dict(plist_new_dict());
    plist_dict_set_item(dict.get(), "VeskThemeMode", plist_new_uint(3));
    plist_dict_set_item(dict.get(), "AList", plist_new_array());
    plist_dict_set_item(dict.get(), "VeskThemeCustomBackground", plist_new_string("ocean"));
    plist_dict_set_item(dict.get(), "VeskThemeCustomAccent", plist_new_real(0.5));
    writeBytes(file(), binary(dict.get()));

    UserDefaults defaults = UserDefaults::standard();
    EXPECT_FALSE(defaults.stringForKey(VeskThemeModeKey).has_value());
    EXPECT_FALSE(defaults.dataForKey(VeskThemeCustomBackgroundKey).has_value());
    EXPECT_FALSE(defaults.stringForKey("AList").has_value());
    const StoredTheme stored = readStoredTheme(defaults);
    EXPECT_EQ(stored.name, "system");
    EXPECT_EQ(stored.customBackground, defaultCustomBackground());
    EXPECT_EQ(stored.customAccent, defaultCustomAccent());
}

TEST_F(ThemeSettingsTest, StoredNameIsPassedOnUncheckedButEmptyMeansSystem) {
    UserDefaults defaults = UserDefaults::standard();
    defaults.setString(VeskThemeModeKey, "Dark");
    ASSERT_TRUE(defaults.synchronize());
    EXPECT_EQ(readStoredTheme(UserDefaults::standard()).name, "Dark");
    defaults.setString(VeskThemeModeKey, "");
    ASSERT_TRUE(defaults.synchronize());
    EXPECT_EQ(readStoredTheme(UserDefaults::standard()).name, "system");
    // Nothing in force stores "system" and the archived default colours.
    ASSERT_TRUE(writeStoredTheme(defaults, std::nullopt, std::nullopt, std::nullopt));
    const UserDefaults reread = UserDefaults::standard();
    EXPECT_EQ(reread.stringForKey(VeskThemeModeKey), "system");
    EXPECT_EQ(reread.dataForKey(VeskThemeCustomAccentKey), VeskArchiveColor(defaultCustomAccent()));
}

TEST_F(ThemeSettingsTest, HandWrittenXmlDefaultsAreReadAndUnknownKeysSurviveASave) {
    writeBytes(file(), R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>VeskThemeMode</key><string>sunset</string>
  <key>SomethingElse</key><array><integer>7</integer></array>
</dict></plist>)");
    UserDefaults defaults = UserDefaults::standard();
    EXPECT_EQ(readStoredTheme(defaults).name, "sunset");
    ASSERT_TRUE(writeStoredTheme(defaults, "dark", std::nullopt, std::nullopt));

    Plist root;
    {
        const std::string bytes = readBytes(file());
        plist_t parsed = nullptr;
        plist_from_memory(bytes.data(), bytes.size(), &parsed);
        root.reset(parsed);
    }
    ASSERT_TRUE(root);
    plist_t kept = plist_dict_get_item(root.get(), "SomethingElse");
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(plist_get_node_type(kept), PLIST_ARRAY);
    EXPECT_EQ(readStoredTheme(UserDefaults::standard()).name, "dark");
}

TEST_F(ThemeSettingsTest, SaveKeepsKeysAnotherCopyWroteMeanwhile) {
    UserDefaults first = UserDefaults::standard();
    UserDefaults second = UserDefaults::standard();
    second.setString("OtherSetting", "kept");
    ASSERT_TRUE(second.synchronize());
    ASSERT_TRUE(writeStoredTheme(first, "light", std::nullopt, std::nullopt));
    UserDefaults reread = UserDefaults::standard();
    EXPECT_EQ(reread.stringForKey("OtherSetting"), "kept");
    EXPECT_EQ(reread.stringForKey(VeskThemeModeKey), "light");
}

TEST_F(ThemeSettingsTest, RemovingAKeyAndOddTextRoundTrip) {
    UserDefaults defaults(file());
    defaults.setData("Blob", std::vector<std::uint8_t>{0, 1, 255});
    defaults.setString("Text", std::string("\xC3\xA9t\xC3\xA9 \xFF!"));
    ASSERT_TRUE(defaults.synchronize());
    UserDefaults reread(file());
    EXPECT_EQ(reread.dataForKey("Blob"), (std::vector<std::uint8_t>{0, 1, 255}));
    EXPECT_EQ(reread.stringForKey("Text"), "\xC3\xA9t\xC3\xA9 \xEF\xBF\xBD!")
        << "a bad byte becomes a replacement character, and the file stays readable";
    reread.setData("Blob", std::nullopt);
    EXPECT_FALSE(reread.dataForKey("Blob").has_value()) << "removal shows before the save";
    ASSERT_TRUE(reread.synchronize());
    EXPECT_FALSE(UserDefaults(file()).dataForKey("Blob").has_value());
}

struct DamagedCase {
    const char* name;
    std::string bytes;
};

class DamagedDefaults : public ThemeSettingsTest,
                        public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedDefaults, ReadEmptyAndAreSetAsideWhole) {
    const std::string& damaged = GetParam().bytes;
    writeBytes(file(), damaged);
    UserDefaults defaults = UserDefaults::standard();
    EXPECT_EQ(readStoredTheme(defaults).name, "system");
    EXPECT_EQ(readBytes(file()), damaged) << "reading must not touch the file";

    ASSERT_TRUE(writeStoredTheme(defaults, "ocean", std::nullopt, std::nullopt));
    EXPECT_EQ(readBytes(folder() / "defaults.plist.corrupt"), damaged);
    EXPECT_EQ(readStoredTheme(UserDefaults::standard()).name, "ocean");

    // A second damaged file never replaces the first one set aside.
    writeBytes(file(), "second damage");
    UserDefaults again = UserDefaults::standard();
    ASSERT_TRUE(writeStoredTheme(again, "dark", std::nullopt, std::nullopt));
    EXPECT_EQ(readBytes(folder() / "defaults.plist.corrupt"), damaged);
    EXPECT_EQ(readBytes(folder() / "defaults.plist.corrupt.1"), "second damage");
    EXPECT_EQ(readStoredTheme(UserDefaults::standard()).name, "dark");
}

std::string arrayRoot() {
    Plist list(plist_new_array());
    plist_array_append_item(list.get(), plist_new_string("VeskThemeMode"));
    return binary(list.get());
}

std::string truncatedDefaults() {
    Plist dict(plist_new_dict());
    plist_dict_set_item(dict.get(), "VeskThemeMode", plist_new_string("ocean"));
    const std::string whole = binary(dict.get());
    return whole.substr(0, whole.size() - 5);
}

// A binary list of `depth` nested one-element arrays: small on disk, but deep
// enough to exhaust the stack of a recursive reader.
std::string deeplyNested(std::uint32_t depth) {
    std::string out = "bplist00";
    std::vector<std::uint32_t> offsets;
    auto put = [&out](std::uint64_t value, int bytes) {
        for (int i = bytes - 1; i >= 0; --i)
            out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    for (std::uint32_t i = 0; i < depth; ++i) {
        offsets.push_back(static_cast<std::uint32_t>(out.size()));
        if (i + 1 < depth) {
            out.push_back(static_cast<char>(0xA1));
            put(i + 1, 4);
        } else {
            out.push_back(0x09); // true
        }
    }
    const std::uint64_t table = out.size();
    for (std::uint32_t offset : offsets)
        put(offset, 4);
    out.append(6, '\0');
    out.push_back(4); // offset size
    out.push_back(4); // reference size
    put(depth, 8);    // object count
    put(0, 8);        // top object
    put(table, 8);    // offset table
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedDefaults,
    ::testing::Values(DamagedCase{"NotAPropertyList", "this is not a plist \x01\x02"},
                      DamagedCase{"ArrayRoot", arrayRoot()},
                      DamagedCase{"TruncatedBinary", truncatedDefaults()},
                      DamagedCase{"StringRootXml", "<plist><string>dark</string></plist>"},
                      DamagedCase{"DeeplyNested", deeplyNested(110000)}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(ThemeSettingsTest, FailedWriteLeavesTheOldFileIntact) {
    UserDefaults defaults = UserDefaults::standard();
    ASSERT_TRUE(writeStoredTheme(defaults, "ocean", std::nullopt, std::nullopt));
    const std::string before = readBytes(file());

    // As root, permission bits do not stop a write; a file-size limit does.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0) << "cannot fork";
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        UserDefaults large = UserDefaults::standard();
        large.setString(VeskThemeModeKey, "sunset");
        large.setString("Padding", std::string(100000, 'x'));
        ::_exit(large.synchronize() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the saving child crashed";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a failed write was reported as success";
    EXPECT_EQ(readBytes(file()), before);
    EXPECT_EQ(readStoredTheme(UserDefaults::standard()).name, "ocean");
    EXPECT_EQ(namesIn(folder()), (std::set<std::string>{"defaults.plist", "defaults.plist.lock"}))
        << "no temporary file is left behind";
}

TEST_F(ThemeSettingsTest, UnwritableFolderFailsWithoutLosingTheChange) {
    // The configuration folder's place is taken by a plain file.
    writeBytes(root_ / "config", "x");
    UserDefaults defaults = UserDefaults::standard();
    defaults.setString(VeskThemeModeKey, "dark");
    EXPECT_FALSE(defaults.synchronize());
    EXPECT_EQ(defaults.stringForKey(VeskThemeModeKey), "dark");

    fs::remove(root_ / "config");
    EXPECT_TRUE(defaults.synchronize()) << "the change is still pending and is written later";
    EXPECT_EQ(readStoredTheme(UserDefaults::standard()).name, "dark");
}

} // namespace
} // namespace vesk
