#include "store/VeskStore.h"
#include "store/PlistData.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <glib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vesk {
namespace {

namespace fs = std::filesystem;

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const fs::path& file, std::string_view bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

mode_t permissionsOf(const fs::path& file) {
    struct stat info {};
    stat(file.c_str(), &info);
    return info.st_mode & 07777;
}

std::string repeated(std::string_view text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

std::string siteUrl(int n) {
    return "https://site" + std::to_string(n) + ".example/";
}

std::string plistDocument(std::string_view body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n" +
           std::string(body) + "\n</plist>\n";
}

// An XML history of `count` entries, site0 newest.
std::string historyXml(int count) {
    std::string body = "<array>";
    for (int i = 0; i < count; ++i) {
        body += "<dict><key>url</key><string>" + siteUrl(i) +
                "</string><key>title</key><string>S</string><key>date</key><real>" +
                std::to_string(1700000000 - i) + "</real></dict>";
    }
    return plistDocument(body + "</array>");
}

std::vector<std::string> urlsOf(const std::vector<HistoryEntry>& entries) {
    std::vector<std::string> urls;
    for (const auto& entry : entries) {
        urls.push_back(entry.url.value_or("<none>"));
    }
    return urls;
}

// One vault record as "user|pass", read back through libplist.
std::string vaultRecord(const fs::path& file, const char* host) {
    PlistPtr root = parsePlistData(readBytes(file));
    plist_t record = root ? plist_dict_get_item(root.get(), host) : nullptr;
    if (record == nullptr || plist_dict_get_size(record) != 2) {
        return "no record of two keys";
    }
    std::string text;
    for (const char* name : {"user", "pass"}) {
        char* value = nullptr;
        plist_get_string_val(plist_dict_get_item(record, name), &value);
        text += (value != nullptr ? value : "<missing>") + std::string(*name == 'u' ? "|" : "");
        free(value);
    }
    return text;
}

class VeskStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        gchar* made = g_dir_make_tmp("vesk-store-XXXXXX", nullptr);
        ASSERT_NE(made, nullptr) << "cannot create a temporary folder";
        temp = made;
        g_free(made);
        folder = temp / "Vesk";
        store.emplace(folder);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(temp, ignored);
    }
    fs::path historyFile() const { return folder / "history.plist"; }
    fs::path vaultFile() const { return folder / "vault.plist"; }

    fs::path temp, folder;
    std::optional<VeskStore> store;
};

TEST_F(VeskStoreTest, AdditionMakesOwnerOnlyFilesWithADatedEntryAndTightensWiderOnes) {
    const double before = double(g_get_real_time()) / 1e6;
    fs::create_directories(folder);
    chmod(folder.c_str(), 0755);
    writeBytes(historyFile(), "");
    chmod(historyFile().c_str(), 0644);
    store->addHistory("https://a.example/", "A");
    EXPECT_EQ(permissionsOf(folder), 0700u);
    EXPECT_EQ(permissionsOf(historyFile()), 0600u);
    const auto entries = store->loadHistory();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].url, "https://a.example/");
    ASSERT_TRUE(entries[0].date.has_value());
    EXPECT_NEAR(*entries[0].date, before, 5.0);
}

TEST_F(VeskStoreTest, OnlyTheNewestEntryCountsAsARepeatAndCaseMatters) {
    store->addHistory("https://a.example/", "A");
    const std::string once = readBytes(historyFile());
    store->addHistory("https://a.example/", "Again");
    EXPECT_EQ(readBytes(historyFile()), once) << "a repeat of the newest writes nothing";
    store->addHistory("https://b.example/", "B");
    store->addHistory("https://a.example/", "A");
    store->addHistory("https://A.example/", "A");
    EXPECT_EQ(urlsOf(store->loadHistory()),
              (std::vector<std::string>{"https://A.example/", "https://a.example/",
                                        "https://b.example/", "https://a.example/"}));
}

TEST_F(VeskStoreTest, AbsentTitleBecomesTheAddressEmptyStaysAndBadCharactersAreReplaced) {
    store->addHistory("https://a.example/", std::nullopt);
    store->addHistory("https://b.example/", "");
    store->addHistory("https://c.example/", "<a\x01z\xff");
    const auto entries = store->loadHistory();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].title, "<a\xEF\xBF\xBDz\xEF\xBF\xBD");
    EXPECT_EQ(entries[1].title, "");
    EXPECT_EQ(entries[2].title, "https://a.example/");
}

class HistoryCap : public VeskStoreTest, public ::testing::WithParamInterface<int> {};

TEST_P(HistoryCap, KeepsTheNewestTwoHundred) {
    writeBytes(historyFile(), historyXml(GetParam()));
    store->addHistory("https://new.example/", "New");
    const auto urls = urlsOf(store->loadHistory());
    ASSERT_EQ(int(urls.size()), std::min(GetParam() + 1, 200));
    EXPECT_EQ(urls.front(), "https://new.example/");
    EXPECT_EQ(urls.back(), siteUrl(int(urls.size()) - 2));
}

INSTANTIATE_TEST_SUITE_P(StoredBefore, HistoryCap, ::testing::Values(199, 200, 250));

class NothingTouched : public VeskStoreTest,
                       public ::testing::WithParamInterface<std::optional<std::string_view>> {};

TEST_P(NothingTouched, ByAnEmptyOrAbsentAddressOrHost) {
    store->addHistory(GetParam(), "Title");
    store->savePassword("user", "pass", GetParam());
    EXPECT_FALSE(fs::exists(folder));
}

INSTANTIATE_TEST_SUITE_P(Rules, NothingTouched, ::testing::Values(std::nullopt, ""));

TEST_F(VeskStoreTest, EntriesOfWrongTypesAreKeptThroughAWrite) {
    writeBytes(historyFile(), plistDocument("<array><string>loose</string><dict><key>url</key>"
                                            "<integer>5</integer><key>extra</key><true/></dict>"
                                            "</array>"));
    const auto read = store->loadHistory();
    ASSERT_EQ(read.size(), 2u);
    EXPECT_FALSE(read[0].isDictionary);
    EXPECT_FALSE(read[1].url.has_value());
    store->addHistory("https://new.example/", std::nullopt);
    EXPECT_EQ(store->loadHistory().size(), 3u) << "a newest entry without an address is no repeat";
    EXPECT_NE(readBytes(historyFile()).find("<key>extra</key>"), std::string::npos);
    store->clearHistory();
    EXPECT_FALSE(fs::exists(historyFile()));
}

TEST_F(VeskStoreTest, VaultKeepsOneRecordPerHostWithAbsentPartsAsEmptyText) {
    store->savePassword("ann", "one", "a.example");
    store->savePassword("bob", "two", "b.example");
    store->savePassword("ann2", "three", "a.example");
    store->savePassword(std::nullopt, "secret", "c.example");
    store->savePassword("cy", std::nullopt, "d.example");
    EXPECT_EQ(plist_dict_get_size(parsePlistData(readBytes(vaultFile())).get()), 4u);
    EXPECT_EQ(vaultRecord(vaultFile(), "a.example"), "ann2|three");
    EXPECT_EQ(vaultRecord(vaultFile(), "b.example"), "bob|two");
    EXPECT_EQ(vaultRecord(vaultFile(), "c.example"), "|secret");
    EXPECT_EQ(vaultRecord(vaultFile(), "d.example"), "cy|");
    EXPECT_EQ(permissionsOf(vaultFile()), 0600u);
}

// A binary property list whose object i is an array of `refs` references to object
// (i + 1) % count; unless `isCyclic` the last object is an empty array.
std::string binaryArrayChain(std::uint32_t count, int refs, bool isCyclic) {
    auto bigEndian = [](std::uint64_t value, int width) {
        std::string out;
        for (int i = width - 1; i >= 0; --i) {
            out += char((value >> (8 * i)) & 0xFF);
        }
        return out;
    };
    std::string objects, offsets;
    for (std::uint32_t i = 0; i < count; ++i) {
        offsets += bigEndian(8 + objects.size(), 4);
        const int own = !isCyclic && i + 1 == count ? 0 : refs;
        objects += char(0xA0 | own);
        for (int r = 0; r < own; ++r) {
            objects += bigEndian((i + 1) % count, 4);
        }
    }
    return "bplist00" + objects + offsets + std::string(6, '\0') + "\x04\x04" +
           bigEndian(count, 8) + bigEndian(0, 8) + bigEndian(8 + objects.size(), 8);
}

struct DamageCase {
    const char* name;
    std::string bytes;
};

const std::string kWholeHistory = historyXml(3);

class DamagedHistory : public VeskStoreTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedHistory, ReadsAsEmptyAndIsSetAsideBeforeTheNextWrite) {
    writeBytes(historyFile(), GetParam().bytes);
    EXPECT_TRUE(store->loadHistory().empty());
    EXPECT_EQ(readBytes(historyFile()), GetParam().bytes) << "loading must not change the file";
    store->addHistory("https://a.example/", "A");
    EXPECT_EQ(readBytes(folder / "history.plist.corrupt"), GetParam().bytes);
    EXPECT_EQ(permissionsOf(folder / "history.plist.corrupt"), 0600u);
    EXPECT_EQ(store->loadHistory().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedHistory,
    ::testing::Values(DamageCase{"NotAPlist", "this is not a property list\n"},
                      DamageCase{"Truncated", kWholeHistory.substr(0, kWholeHistory.size() / 2)},
                      DamageCase{"WrongRoot",
                                 plistDocument("<dict><key>url</key><string>x</string></dict>")},
                      DamageCase{"NestedTooDeeplyXml", plistDocument(repeated("<array>", 200000) +
                                                                     repeated("</array>", 200000))},
                      DamageCase{"NestedTooDeeplyBinary", binaryArrayChain(200000, 1, false)},
                      DamageCase{"BinaryReferenceCycle", binaryArrayChain(2, 1, true)},
                      DamageCase{"BinarySharedObjectsExplode", binaryArrayChain(64, 2, false)}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(VeskStoreTest, SetAsideFilesAreNeverOverwrittenAndTheVaultIsSetAsideToo) {
    for (const char* damage : {"first", "second"}) {
        writeBytes(historyFile(), damage);
        store->addHistory("https://a.example/", "A");
    }
    EXPECT_EQ(readBytes(folder / "history.plist.corrupt"), "first");
    EXPECT_EQ(readBytes(folder / "history.plist.corrupt.1"), "second");

    const std::string wrongRoot = plistDocument("<array><string>x</string></array>");
    writeBytes(vaultFile(), wrongRoot);
    store->savePassword("u", "p", "a.example");
    EXPECT_EQ(readBytes(folder / "vault.plist.corrupt"), wrongRoot);
    EXPECT_EQ(vaultRecord(vaultFile(), "a.example"), "u|p");
}

TEST_F(VeskStoreTest, WriteFailingPartWayLeavesTheOldFilesWhole) {
    writeBytes(historyFile(), historyXml(200));
    store->savePassword("u", "p", "a.example");
    const std::string history = readBytes(historyFile());
    const std::string vault = readBytes(vaultFile());

    // As root, permission bits do not stop a write; a file-size limit does.
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        store->addHistory("https://new.example/", "New");
        store->savePassword("u", std::string(8192, 'x'), "b.example");
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "the child should have seen EFBIG, not died";
    EXPECT_EQ(readBytes(historyFile()), history);
    EXPECT_EQ(readBytes(vaultFile()), vault);
    std::set<std::string> names;
    for (const auto& item : fs::directory_iterator(folder)) {
        names.insert(item.path().filename().string());
    }
    EXPECT_EQ(names, (std::set<std::string>{".lock", "history.plist", "vault.plist"}));
}

TEST_F(VeskStoreTest, TwoProcessesAddingAtOnceLoseNothing) {
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    std::vector<pid_t> children;
    for (int p = 0; p < 2; ++p) {
        const pid_t child = fork();
        if (child == 0) {
            close(gate[1]);
            char go = 0;
            const bool isOpen = read(gate[0], &go, 1) == 0;
            VeskStore own{folder};
            for (int i = 0; isOpen && i < 100; ++i) {
                own.addHistory(siteUrl(p * 1000 + i), std::nullopt);
            }
            _exit(0);
        }
        children.push_back(child);
    }
    close(gate[0]);
    close(gate[1]); // both children start together
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const auto urls = urlsOf(store->loadHistory());
    EXPECT_EQ(std::set<std::string>(urls.begin(), urls.end()).size(), 200u);
}

// libplist reads and writes reals through the C library, which follows the locale.
TEST_F(VeskStoreTest, FractionalDatesSurviveALocaleWithADecimalComma) {
    // A locale of our own, built into the test's folder, so no locale package is needed.
    writeBytes(temp / "comma.def", "LC_NUMERIC\ndecimal_point \"<U002C>\"\nthousands_sep \"\"\n"
                                   "grouping -1\nEND LC_NUMERIC\n");
    const std::string command = "localedef --no-archive -c -i " + (temp / "comma.def").string() +
                                " -f ANSI_X3.4-1968 " + (temp / "comma").string() +
                                " >/dev/null 2>&1";
    std::system(command.c_str()); // warns and exits 1 even when the locale is built
    const std::string previous = g_getenv("LOCPATH") ? g_getenv("LOCPATH") : "";
    g_setenv("LOCPATH", temp.c_str(), true);
    locale_t comma = newlocale(LC_NUMERIC_MASK, "comma", locale_t{});
    previous.empty() ? g_unsetenv("LOCPATH") : void(g_setenv("LOCPATH", previous.c_str(), true));
    ASSERT_NE(comma, locale_t{}) << "localedef (libc-bin) could not build a test locale";

    writeBytes(historyFile(), plistDocument("<array><dict><key>url</key><string>u</string>"
                                            "<key>date</key><real>1712345678.25</real></dict>"
                                            "</array>"));
    uselocale(comma);
    store->addHistory("https://a.example/", "A");
    uselocale(LC_GLOBAL_LOCALE);
    freelocale(comma);
    const auto after = store->loadHistory();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[1].date, 1712345678.25);
}

} // namespace
} // namespace vesk
