#include "store/VeskStore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "TempFolder.h"
#include "store/PlistData.h"
#include "store/UserDefaults.h"

namespace {
using namespace vesk;

namespace fs = std::filesystem;

// What happens to a file the store rewrites: what it holds stays, or a copy goes aside.
enum class Expect { Kept, SetAside };

struct ForeignFile {
    const char* name;
    std::string bytes;
    Expect expect;
    // Bytes of a binary object that must stay in the file as they are.
    std::string keptBytes = {};
};

std::string ref(int object) {
    return TempFolder::bigEndian(object, 4);
}

// A binary date object of `seconds` since 2001.
std::string dateObject(double seconds) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &seconds, sizeof bits);
    return "\x33" + TempFolder::bigEndian(bits, 8);
}

// A binary dictionary of one key and its value, both objects given.
std::string binaryDictionary(const std::string& key, const std::string& value) {
    return TempFolder::binaryPlist({"\xD1" + ref(1) + ref(2), key, value});
}

const std::string kLargeInteger = "\x14" + std::string(8, '\0') + std::string(7, '\xFF') + "\xFB";

void PrintTo(const ForeignFile& file, std::ostream* out) {
    *out << file.name;
}

// Whether every item of the dictionary `before` is in `after` and the same, but for the
// theme mode, which the tests set.
bool keepsEveryItem(const std::string& before, const std::string& after) {
    const PlistPtr old = parsePlistData(before);
    const PlistPtr now = parsePlistData(after);
    for (const auto& [key, value] : dictionaryItems(old.get())) {
        if (key == "VeskThemeMode")
            continue;
        plist_t kept = plist_dict_get_item(now.get(), key.c_str());
        if (kept == nullptr || plistToBinary(kept) != plistToBinary(value) ||
            plistToXml(kept) != plistToXml(value))
            return false;
    }
    return true;
}

class ForeignVault : public TempFolder, public ::testing::WithParamInterface<ForeignFile> {};

TEST_P(ForeignVault, KeepsWhatItDoesNotReadOrSetsACopyAside) {
    const AppPaths paths = AppPaths::under(temp);
    const fs::path vault = paths.data / "vault.plist";
    const std::string& original = GetParam().bytes;
    writeFile(vault, original);
    VeskStore store(paths);
    const auto readable = store.loadPasswords();
    store.savePassword("new", "pw", "new.example");
    store.waitForWrites();
    const std::string written = readFile(vault);
    EXPECT_FALSE(written.starts_with("bplist")) << "the vault is written as XML";
    if (GetParam().expect == Expect::Kept) {
        EXPECT_FALSE(fs::exists(vault.string() + ".corrupt"));
        EXPECT_TRUE(keepsEveryItem(original, written)) << written;
    } else {
        EXPECT_EQ(readFile(vault.string() + ".corrupt"), original);
    }
    EXPECT_EQ(store.loadPasswords().size(), readable.size() + 1) << "readable records stay";
    store.savePassword("new", "pw2", "new.example");
    store.waitForWrites();
    EXPECT_FALSE(fs::exists(vault.string() + ".corrupt.1")) << "a copy is set aside once";
}

INSTANTIATE_TEST_SUITE_P(
    Files, ForeignVault,
    ::testing::Values(
        ForeignFile{"ControlCharacterInPassword",
                    TempFolder::plist("<dict><key>a.example</key><dict><key>user</key><string>u"
                                      "</string><key>pass</key><string>p&#7;w</string></dict>"
                                      "<key>b.example</key><dict><key>user</key><string>u"
                                      "</string><key>pass</key><string>p</string></dict></dict>"),
                    Expect::SetAside},
        ForeignFile{"ExtraKeysAndValuesThatAreNoRecord",
                    TempFolder::plist("<dict><key>a.example</key><dict><key>user</key><string>u"
                                      "</string><key>pass</key><string>p</string><key>note"
                                      "</key><string>mine</string><key>when</key><date>2020-01-"
                                      "02T03:04:05Z</date></dict><key>format</key><integer>2"
                                      "</integer><key>list</key><array><data>AAE=</data>"
                                      "<real>0.1</real></array></dict>"),
                    Expect::Kept},
        ForeignFile{
            "BinaryFromAnotherTool",
            TempFolder::binaryPlist({"\xD2" + ref(1) + ref(2) + ref(3) + ref(6),
                                     "\x59"
                                     "a.example",
                                     "\x52"
                                     "at",
                                     "\xD2" + ref(4) + ref(5) + ref(7) + ref(8), "\x54user",
                                     "\x54pass", dateObject(641977689.25), "\x51u", "\x51p"}),
            Expect::SetAside}),
    [](const auto& row) { return std::string(row.param.name); });

class ForeignDefaults : public TempFolder, public ::testing::WithParamInterface<ForeignFile> {};

TEST_P(ForeignDefaults, AThemeSaveChangesNoKeyItDoesNotOwn) {
    const fs::path file = temp / "defaults.plist";
    const std::string& original = GetParam().bytes;
    writeFile(file, original);
    std::string first;
    for (const char* mode : {"dark", "light"}) {
        UserDefaults defaults = UserDefaults::load(file);
        defaults.setString("VeskThemeMode", mode);
        ASSERT_EQ(defaults.save(), SaveOutcome::Saved);
        if (first.empty())
            first = readFile(file);
    }
    EXPECT_EQ(UserDefaults::load(file).stringForKey("VeskThemeMode"), "light");
    EXPECT_TRUE(keepsEveryItem(first, readFile(file))) << "nothing drifts from save to save";
    if (GetParam().expect == Expect::Kept) {
        EXPECT_FALSE(fs::exists(file.string() + ".corrupt"));
        EXPECT_TRUE(keepsEveryItem(original, readFile(file)));
        EXPECT_NE(readFile(file).find(GetParam().keptBytes), std::string::npos);
    } else {
        EXPECT_EQ(readFile(file.string() + ".corrupt"), original);
        EXPECT_FALSE(fs::exists(file.string() + ".corrupt.1"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ForeignDefaults,
    ::testing::Values(
        ForeignFile{"UnknownKeys",
                    TempFolder::plist("<dict><key>ByHand</key><array><integer>-7</integer>"
                                      "<true/><dict><key>k</key><data>AAE=</data></dict></array>"
                                      "<key>Real</key><real>0.1</real></dict>"),
                    Expect::Kept},
        ForeignFile{"DateWithMicroseconds", binaryDictionary("\x54When", dateObject(641977689.5)),
                    Expect::Kept, dateObject(641977689.5)},
        ForeignFile{"DateLibplistRounds",
                    binaryDictionary("\x54When", dateObject(641977689.0010002)), Expect::SetAside},
        ForeignFile{"LargeUnsignedInteger",
                    binaryDictionary("\x53"
                                     "Big",
                                     kLargeInteger),
                    Expect::Kept, kLargeInteger},
        ForeignFile{"KeyHoldingNul",
                    binaryDictionary(std::string("\x53"
                                                 "a\0b",
                                                 4),
                                     "\x51x"),
                    Expect::SetAside}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
