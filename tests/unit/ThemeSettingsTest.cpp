#include "theme/ThemeSettings.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ColorPrinter.h"
#include "theme/Theme.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

std::string xmlDefaults(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">" + body +
           "</plist>\n";
}

// Every test gets its own home and configuration folders, pointed to by the
// environment, so the real home folder is never touched.
class ThemeSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vesk-theme-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr) << "cannot make a temporary folder";
        root_ = pattern;
        for (const char* name : {"HOME", "XDG_CONFIG_HOME"}) {
            const char* value = std::getenv(name);
            savedEnv_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        ::setenv("HOME", (root_ / "home").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    }

    void TearDown() override {
        for (const auto& [name, value] : savedEnv_) {
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        }
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    fs::path folder() const { return root_ / "config" / "Vesk"; }
    fs::path file() const { return folder() / "defaults.plist"; }

    fs::path root_;
    std::vector<std::pair<std::string, std::optional<std::string>>> savedEnv_;
};

TEST_F(ThemeSettingsTest, FreshStartReadsSystemAndWritesNothing) {
    UserDefaults defaults = UserDefaults::standard();
    EXPECT_EQ(defaults.file(), file());
    const StoredTheme stored = readStoredTheme(defaults);
    EXPECT_EQ(stored.name, "system");
    EXPECT_EQ(stored.customBackground, defaultCustomBackground());
    EXPECT_EQ(stored.customAccent, defaultCustomAccent());
    EXPECT_TRUE(defaults.synchronize()) << "nothing to write is not a failure";
    EXPECT_FALSE(fs::exists(root_ / "config")) << "reading must create nothing";
    // A relative XDG path is invalid and falls back to the home folder.
    ::setenv("XDG_CONFIG_HOME", "relative/config", 1);
    EXPECT_EQ(UserDefaults::standardFile(), root_ / "home" / ".config" / "Vesk" / "defaults.plist");
}

TEST_F(ThemeSettingsTest, SavedOceanComesBackAfterARestartAndOtherKeysSurvive) {
    writeBytes(file(), xmlDefaults("<dict><key>Other</key><array><integer>7</integer></array>"
                                   "</dict>"));
    const ResolvedTheme ocean = resolveTheme("ocean", std::nullopt, std::nullopt);
    {
        UserDefaults defaults = UserDefaults::standard();
        ASSERT_TRUE(
            writeStoredTheme(defaults, ocean.name, ocean.colors.background, ocean.colors.accent));
    }
    const StoredTheme stored = readStoredTheme(UserDefaults::standard());
    EXPECT_EQ(stored.name, "ocean");
    EXPECT_EQ(stored.customBackground, Color::rgb(0.05, 0.11, 0.16, 1.0));
    EXPECT_EQ(resolveTheme(stored.name, stored.customBackground, stored.customAccent), ocean);
    EXPECT_NE(readBytes(file()).find("Other"), std::string::npos) << "unknown keys are kept";
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

TEST_F(ThemeSettingsTest, ValuesOfAnotherKindReadAsAbsent) {
    writeBytes(file(), xmlDefaults("<dict><key>VeskThemeMode</key><integer>3</integer>"
                                   "<key>VeskThemeCustomBackground</key><string>ocean</string>"
                                   "<key>VeskThemeCustomAccent</key><real>0.5</real></dict>"));
    UserDefaults defaults = UserDefaults::standard();
    EXPECT_FALSE(defaults.stringForKey(VeskThemeModeKey).has_value());
    EXPECT_FALSE(defaults.dataForKey(VeskThemeCustomBackgroundKey).has_value());
    const StoredTheme stored = readStoredTheme(defaults);
    EXPECT_EQ(stored.name, "system");
    EXPECT_EQ(stored.customBackground, defaultCustomBackground());
    EXPECT_EQ(stored.customAccent, defaultCustomAccent());
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
}

// `depth` nested one-element arrays: small on disk, yet deep enough to exhaust the stack
// of a recursive reader.
std::string deeplyNestedXml(int depth) {
    std::string open, close;
    for (int i = 0; i < depth; ++i) {
        open += "<array>";
        close += "</array>";
    }
    return xmlDefaults(open + close);
}

std::string deeplyNestedBinary(std::uint32_t depth) {
    auto bigEndian = [](std::uint64_t value, int width) {
        std::string out;
        for (int i = width - 1; i >= 0; --i)
            out += char((value >> (8 * i)) & 0xFF);
        return out;
    };
    std::string objects, offsets;
    for (std::uint32_t i = 0; i < depth; ++i) {
        offsets += bigEndian(8 + objects.size(), 4);
        objects += i + 1 < depth ? "\xA1" + bigEndian(i + 1, 4) : std::string("\xA0");
    }
    return "bplist00" + objects + offsets + std::string(6, '\0') + "\x04\x04" +
           bigEndian(depth, 8) + bigEndian(0, 8) + bigEndian(8 + objects.size(), 8);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedDefaults,
    ::testing::Values(DamagedCase{"NotAPropertyList", "this is not a plist \x01\x02"},
                      DamagedCase{"ArrayRoot", xmlDefaults("<array><string>x</string></array>")},
                      DamagedCase{"Truncated", xmlDefaults("<dict><key>VeskThemeMode</key><string>"
                                                           "ocean</string></dict>")
                                                   .substr(0, 100)},
                      DamagedCase{"DeeplyNestedXml", deeplyNestedXml(200000)},
                      DamagedCase{"DeeplyNestedBinary", deeplyNestedBinary(110000)}),
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
        large.setString("Padding", std::string(100000, 'x'));
        ::_exit(large.synchronize() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the saving child crashed";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a failed write was reported as success";
    EXPECT_EQ(readBytes(file()), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder()), fs::directory_iterator()), 2)
        << "only the file and its lock; no temporary is left behind";
}

} // namespace
} // namespace vesk
