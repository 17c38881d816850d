#include "store/VeskStore.h"
#include "store/PlistData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <csignal>
#include <locale.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <glib.h>

namespace vesk {
namespace {

namespace fs = std::filesystem;

// A fresh folder for one test, removed with everything in it afterwards.
class TempFolder {
public:
    TempFolder() {
        gchar* made = g_dir_make_tmp("vesk-store-XXXXXX", nullptr);
        if (made == nullptr) {
            ADD_FAILURE() << "cannot create a temporary folder";
            return;
        }
        path = made;
        g_free(made);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

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

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& item : fs::directory_iterator(folder)) {
        names.insert(item.path().filename().string());
    }
    return names;
}

std::string siteUrl(int n) {
    return "https://site" + std::to_string(n) + ".example/";
}

// An XML history of `count` entries, site0 newest.
std::string historyXml(int count) {
    PlistPtr list(plist_new_array());
    for (int i = 0; i < count; ++i) {
        plist_t entry = plist_new_dict();
        plist_dict_set_item(entry, "url", plist_new_string(siteUrl(i).c_str()));
        plist_dict_set_item(entry, "title",
                            plist_new_string(("Site " + std::to_string(i)).c_str()));
        plist_dict_set_item(entry, "date", plist_new_real(1700000000.5 - i));
        plist_array_append_item(list.get(), entry);
    }
    return plistToXml(list.get());
}

std::string plistDocument(std::string_view body) {
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n") +
           std::string(body) + "\n</plist>\n";
}

std::vector<std::string> urlsOf(const std::vector<HistoryEntry>& entries) {
    std::vector<std::string> urls;
    for (const auto& entry : entries) {
        urls.push_back(entry.url.value_or("<none>"));
    }
    return urls;
}

class VeskStoreTest : public ::testing::Test {
protected:
    fs::path historyFile() const { return folder / "history.plist"; }
    fs::path vaultFile() const { return folder / "vault.plist"; }

    TempFolder temp;
    fs::path folder = temp.path / "Vesk";
    VeskStore store{folder};
};

TEST_F(VeskStoreTest, FirstAdditionCreatesAnOwnerOnlyFolderAndOneEntry) {
    const double before = double(g_get_real_time()) / 1e6;
    store.addHistory("https://a.example/", "A");
    const double after = double(g_get_real_time()) / 1e6;

    EXPECT_EQ(permissionsOf(folder), 0700u);
    EXPECT_EQ(permissionsOf(historyFile()), 0600u);
    const auto entries = store.loadHistory();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(entries[0].isDictionary);
    EXPECT_EQ(entries[0].url, "https://a.example/");
    EXPECT_EQ(entries[0].title, "A");
    ASSERT_TRUE(entries[0].date.has_value());
    EXPECT_GE(*entries[0].date, before - 0.001);
    EXPECT_LE(*entries[0].date, after + 0.001);
    EXPECT_NE(readBytes(historyFile()).find("<real>"), std::string::npos);
}

TEST_F(VeskStoreTest, RepeatingTheNewestAddressKeepsTheFirstEntry) {
    store.addHistory("https://a.example/", "First");
    const std::string before = readBytes(historyFile());
    store.addHistory("https://a.example/", "Second");
    EXPECT_EQ(readBytes(historyFile()), before);
    EXPECT_EQ(store.loadHistory().size(), 1u);
}

TEST_F(VeskStoreTest, OnlyTheNewestEntryIsComparedAndComparisonIsCaseSensitive) {
    store.addHistory("https://a.example/", "A");
    store.addHistory("https://b.example/", "B");
    store.addHistory("https://a.example/", "A");
    store.addHistory("https://A.example/", "A");
    EXPECT_EQ(urlsOf(store.loadHistory()),
              (std::vector<std::string>{"https://A.example/", "https://a.example/",
                                        "https://b.example/", "https://a.example/"}));
}

TEST_F(VeskStoreTest, NewestWithoutAStringAddressNeverCountsAsARepeat) {
    writeBytes(historyFile(), plistDocument("<array><dict><key>url</key><integer>7</integer>"
                                            "</dict><string>x</string></array>"));
    store.addHistory("https://a.example/", std::nullopt);
    EXPECT_EQ(store.loadHistory().size(), 3u);
}

struct TitleCase {
    const char* name;
    std::optional<std::string_view> title;
    std::string stored;
};

class HistoryTitle : public VeskStoreTest, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(HistoryTitle, IsStoredByTheTitleRule) {
    store.addHistory("https://a.example/", GetParam().title);
    const auto entries = store.loadHistory();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].title, GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, HistoryTitle,
    ::testing::Values(TitleCase{"AbsentBecomesTheAddress", std::nullopt, "https://a.example/"},
                      TitleCase{"EmptyStaysEmpty", "", ""},
                      TitleCase{"GivenIsKept", "Grüße & <b>\"x\"</b>", "Grüße & <b>\"x\"</b>"},
                      TitleCase{"ForbiddenXmlCharactersAreReplaced", "a\x01z\xff",
                                "a\xEF\xBF\xBDz\xEF\xBF\xBD"}),
    [](const auto& row) { return std::string(row.param.name); });

struct CapCase {
    const char* name;
    int storedBefore;
};

class HistoryCap : public VeskStoreTest, public ::testing::WithParamInterface<CapCase> {};

TEST_P(HistoryCap, KeepsTheNewestTwoHundred) {
    writeBytes(historyFile(), historyXml(GetParam().storedBefore));
    store.addHistory("https://new.example/", "New");
    const auto urls = urlsOf(store.loadHistory());
    const auto expectedCount = std::min(GetParam().storedBefore + 1, 200);
    ASSERT_EQ(int(urls.size()), expectedCount);
    EXPECT_EQ(urls.front(), "https://new.example/");
    for (int i = 1; i < expectedCount; ++i) {
        EXPECT_EQ(urls[std::size_t(i)], siteUrl(i - 1)) << "position " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, HistoryCap,
                         ::testing::Values(CapCase{"OneBelowTheCapGrowsToTheCap", 199},
                                           CapCase{"AtTheCapDropsTheOldest", 200},
                                           CapCase{"LongerFileIsCutToTheCap", 250}),
                         [](const auto& row) { return std::string(row.param.name); });

struct NoTargetCase {
    const char* name;
    std::optional<std::string_view> value;
};

class NothingTouched : public VeskStoreTest, public ::testing::WithParamInterface<NoTargetCase> {};

TEST_P(NothingTouched, ByAnEmptyOrAbsentAddress) {
    store.addHistory(GetParam().value, "Title");
    EXPECT_FALSE(fs::exists(folder));
}

TEST_P(NothingTouched, ByAnEmptyOrAbsentHost) {
    store.savePassword("user", "pass", GetParam().value);
    EXPECT_FALSE(fs::exists(folder));
}

INSTANTIATE_TEST_SUITE_P(Rules, NothingTouched,
                         ::testing::Values(NoTargetCase{"Absent", std::nullopt},
                                           NoTargetCase{"Empty", ""}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(VeskStoreTest, EntriesOfWrongTypesAreListedAsFarAsPossibleAndKept) {
    writeBytes(historyFile(),
               plistDocument("<array><string>loose</string>"
                             "<dict><key>url</key><integer>5</integer><key>title</key>"
                             "<string>T</string><key>date</key><integer>12</integer></dict>"
                             "<dict><key>url</key><string>u</string><key>extra</key><true/></dict>"
                             "</array>"));
    const auto read = store.loadHistory();
    ASSERT_EQ(read.size(), 3u);
    EXPECT_FALSE(read[0].isDictionary);
    EXPECT_FALSE(read[1].url.has_value());
    EXPECT_EQ(read[1].title, "T");
    EXPECT_EQ(read[1].date, 12.0);
    EXPECT_EQ(read[2].url, "u");
    EXPECT_FALSE(read[2].title.has_value());
    EXPECT_FALSE(read[2].date.has_value());

    store.addHistory("https://new.example/", "New");
    const auto after = store.loadHistory();
    ASSERT_EQ(after.size(), 4u);
    EXPECT_FALSE(after[1].isDictionary);
    EXPECT_EQ(after[2].title, "T");
    EXPECT_NE(readBytes(historyFile()).find("<key>extra</key>"), std::string::npos);
}

TEST_F(VeskStoreTest, ClearDeletesTheFileAndTheNextAdditionStartsAnew) {
    store.clearHistory();
    EXPECT_FALSE(fs::exists(historyFile()));
    store.addHistory("https://a.example/", "A");
    store.addHistory("https://b.example/", "B");
    store.clearHistory();
    EXPECT_FALSE(fs::exists(historyFile()));
    EXPECT_TRUE(store.loadHistory().empty());
    store.addHistory("https://c.example/", "C");
    EXPECT_EQ(urlsOf(store.loadHistory()), std::vector<std::string>{"https://c.example/"});
}

// The vault as written, read back through libplist: host -> (user, pass).
std::map<std::string, std::pair<std::string, std::string>> vaultRecords(const fs::path& file) {
    std::map<std::string, std::pair<std::string, std::string>> records;
    PlistPtr root = parsePlistData(readBytes(file));
    EXPECT_TRUE(root && plist_get_node_type(root.get()) == PLIST_DICT);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT) {
        return records;
    }
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(root.get(), &it);
    for (;;) {
        char* key = nullptr;
        plist_t record = nullptr;
        plist_dict_next_item(root.get(), it, &key, &record);
        if (key == nullptr) {
            break;
        }
        EXPECT_EQ(plist_dict_get_size(record), 2u) << key;
        auto text = [&](const char* name) {
            char* value = nullptr;
            plist_get_string_val(plist_dict_get_item(record, name), &value);
            std::string result = value != nullptr ? value : "<missing>";
            free(value);
            return result;
        };
        records[key] = {text("user"), text("pass")};
        free(key);
    }
    free(it);
    return records;
}

TEST_F(VeskStoreTest, VaultKeepsOneRecordPerHostAndOtherHostsAsTheyWere) {
    store.savePassword("ann", "one", "a.example");
    store.savePassword("bob", "two", "b.example");
    store.savePassword("ann2", "three", "a.example");
    const auto records = vaultRecords(vaultFile());
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records.at("a.example"), std::make_pair(std::string("ann2"), std::string("three")));
    EXPECT_EQ(records.at("b.example"), std::make_pair(std::string("bob"), std::string("two")));
    EXPECT_EQ(permissionsOf(vaultFile()), 0600u);
}

TEST_F(VeskStoreTest, VaultStoresAbsentUserAndPasswordAsEmptyText) {
    store.savePassword(std::nullopt, "secret", "a.example");
    store.savePassword("ann", std::nullopt, "b.example");
    store.savePassword(std::nullopt, std::nullopt, "c.example");
    store.savePassword("", "", "d.example");
    const auto records = vaultRecords(vaultFile());
    EXPECT_EQ(records.at("a.example"), std::make_pair(std::string(), std::string("secret")));
    EXPECT_EQ(records.at("b.example"), std::make_pair(std::string("ann"), std::string()));
    EXPECT_EQ(records.at("c.example"), std::make_pair(std::string(), std::string()));
    EXPECT_EQ(records.at("d.example"), std::make_pair(std::string(), std::string()));
}

TEST_F(VeskStoreTest, WiderPermissionsOfEarlierFilesAndFolderAreTightened) {
    fs::create_directories(folder);
    chmod(folder.c_str(), 0755);
    writeBytes(historyFile(), historyXml(3));
    chmod(historyFile().c_str(), 0644);
    writeBytes(vaultFile(), plistDocument("<dict/>"));
    chmod(vaultFile().c_str(), 0666);

    store.addHistory("https://a.example/", "A");
    store.savePassword("u", "p", "a.example");
    EXPECT_EQ(permissionsOf(folder), 0700u);
    EXPECT_EQ(permissionsOf(historyFile()), 0600u);
    EXPECT_EQ(permissionsOf(vaultFile()), 0600u);
    EXPECT_EQ(store.loadHistory().size(), 4u);
}

// Nested deeper than any recursive reader can follow.
std::string deeplyNestedXml(int depth) {
    std::string body;
    for (int i = 0; i < depth; ++i) {
        body += "<array>";
    }
    for (int i = 0; i < depth; ++i) {
        body += "</array>";
    }
    return plistDocument(body);
}

// A binary property list whose object i is an array of `refsPerObject` references,
// each to object `(i + 1) % count` when `isCyclic`, else to i + 1 (the last is empty).
std::string binaryArrayChain(std::uint32_t count, int refsPerObject, bool isCyclic) {
    std::string out = "bplist00";
    std::vector<std::uint32_t> offsets;
    auto put = [&out](std::uint64_t value, int width) {
        for (int shift = (width - 1) * 8; shift >= 0; shift -= 8) {
            out.push_back(char((value >> shift) & 0xFF));
        }
    };
    for (std::uint32_t i = 0; i < count; ++i) {
        offsets.push_back(std::uint32_t(out.size()));
        const bool isLast = !isCyclic && i + 1 == count;
        const int refs = isLast ? 0 : refsPerObject;
        out.push_back(char(0xA0 | refs));
        for (int r = 0; r < refs; ++r) {
            put((i + 1) % count, 4);
        }
    }
    const std::uint64_t tableOffset = out.size();
    for (auto offset : offsets) {
        put(offset, 4);
    }
    out.append(6, '\0');
    out.push_back(4);
    out.push_back(4);
    put(count, 8);
    put(0, 8);
    put(tableOffset, 8);
    return out;
}

struct DamageCase {
    const char* name;
    std::string bytes;
};

std::vector<DamageCase> damageCases() {
    const std::string full = historyXml(3);
    return {
        {"NotAPlist", "this is not a property list\n"},
        {"Truncated", full.substr(0, full.size() / 2)},
        {"WrongRootDictionary", plistDocument("<dict><key>url</key><string>x</string></dict>")},
        {"BinaryGarbage", std::string("bplist00\x01\x02garbage", 17)},
        {"NestedTooDeeplyXml", deeplyNestedXml(200000)},
        {"NestedTooDeeplyBinary", binaryArrayChain(200000, 1, false)},
        {"BinaryReferenceCycle", binaryArrayChain(2, 1, true)},
        {"BinarySharedObjectsExplode", binaryArrayChain(64, 2, false)},
    };
}

class DamagedHistory : public VeskStoreTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedHistory, ReadsAsEmptyAndIsSetAsideBeforeTheNextWrite) {
    writeBytes(historyFile(), GetParam().bytes);
    EXPECT_TRUE(store.loadHistory().empty());
    EXPECT_EQ(readBytes(historyFile()), GetParam().bytes) << "loading must not change the file";

    store.addHistory("https://a.example/", "A");
    const fs::path aside = folder / "history.plist.corrupt";
    EXPECT_EQ(readBytes(aside), GetParam().bytes);
    EXPECT_EQ(permissionsOf(aside), 0600u);
    EXPECT_EQ(store.loadHistory().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedHistory, ::testing::ValuesIn(damageCases()),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(VeskStoreTest, EveryTruncationOfAHistoryReadsAsEmptyOrWhole) {
    const std::string full = historyXml(3);
    for (std::size_t length = 0; length < full.size(); ++length) {
        writeBytes(historyFile(), full.substr(0, length));
        const auto size = store.loadHistory().size();
        EXPECT_TRUE(size == 0 || size == 3) << "length " << length << " gave " << size;
    }
}

TEST_F(VeskStoreTest, UnreadableHistoryIsLeftAloneAndAnEmptyFileIsSimplyReplaced) {
    fs::create_directories(historyFile() / "inside");
    EXPECT_TRUE(store.loadHistory().empty());
    store.addHistory("https://a.example/", "A");
    EXPECT_TRUE(fs::is_directory(historyFile() / "inside"));
    EXPECT_FALSE(fs::exists(folder / "history.plist.corrupt"));

    fs::remove_all(historyFile());
    writeBytes(historyFile(), "");
    store.addHistory("https://a.example/", "A");
    EXPECT_EQ(store.loadHistory().size(), 1u);
    EXPECT_FALSE(fs::exists(folder / "history.plist.corrupt"));
}

TEST_F(VeskStoreTest, EarlierSetAsideFilesAreNeverOverwritten) {
    for (const char* damage : {"first", "second", "third"}) {
        writeBytes(historyFile(), damage);
        store.addHistory("https://a.example/", "A");
    }
    EXPECT_EQ(readBytes(folder / "history.plist.corrupt"), "first");
    EXPECT_EQ(readBytes(folder / "history.plist.corrupt.1"), "second");
    EXPECT_EQ(readBytes(folder / "history.plist.corrupt.2"), "third");
}

TEST_F(VeskStoreTest, DamagedVaultIsSetAsideBeforeTheNextRecord) {
    const std::string wrongRoot = plistDocument("<array><string>x</string></array>");
    writeBytes(vaultFile(), wrongRoot);
    store.savePassword("u", "p", "a.example");
    EXPECT_EQ(readBytes(folder / "vault.plist.corrupt"), wrongRoot);
    EXPECT_EQ(vaultRecords(vaultFile()).size(), 1u);
}

// Runs `work` in a child process with the file size limit set to `limitBytes`.
// Returns the child's wait status.
template <typename Work>
int inChildWithFileSizeLimit(rlim_t limitBytes, bool ignoreSignal, Work work) {
    const pid_t child = fork();
    if (child == 0) {
        if (ignoreSignal) {
            signal(SIGXFSZ, SIG_IGN);
        }
        const rlimit limit{limitBytes, limitBytes};
        setrlimit(RLIMIT_FSIZE, &limit);
        work();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

TEST_F(VeskStoreTest, WriteFailingPartWayLeavesTheOldFilesWhole) {
    writeBytes(historyFile(), historyXml(200));
    store.savePassword("u", "p", "a.example");
    const std::string history = readBytes(historyFile());
    const std::string vault = readBytes(vaultFile());
    const std::string longText(8192, 'x');

    const int status = inChildWithFileSizeLimit(4096, true, [&] {
        store.addHistory("https://new.example/", "New");
        store.savePassword("u", longText, "b.example");
    });
    ASSERT_TRUE(WIFEXITED(status)) << "the child should have seen EFBIG, not died";
    EXPECT_EQ(readBytes(historyFile()), history);
    EXPECT_EQ(readBytes(vaultFile()), vault);
    EXPECT_EQ(namesIn(folder), (std::set<std::string>{".lock", "history.plist", "vault.plist"}));
}

TEST_F(VeskStoreTest, WriterKilledPartWayLeavesTheOldFileAndItsTemporaryIsClearedLater) {
    writeBytes(historyFile(), historyXml(200));
    store.addHistory("https://first.example/", "First");
    const std::string history = readBytes(historyFile());

    const int status = inChildWithFileSizeLimit(
        4096, false, [&] { store.addHistory("https://new.example/", "New"); });
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
    EXPECT_EQ(readBytes(historyFile()), history);
    EXPECT_EQ(namesIn(folder).size(), 3u) << "a temporary should be left by the killed writer";

    store.addHistory("https://next.example/", "Next");
    EXPECT_EQ(namesIn(folder), (std::set<std::string>{".lock", "history.plist"}));
    EXPECT_EQ(store.loadHistory().size(), 200u);
}

TEST_F(VeskStoreTest, TwoProcessesAddingAtOnceLoseNothing) {
    constexpr int perProcess = 100;
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
            for (int i = 0; isOpen && i < perProcess; ++i) {
                own.addHistory("https://p" + std::to_string(p) + ".example/" + std::to_string(i),
                               std::nullopt);
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

    const auto urls = urlsOf(store.loadHistory());
    ASSERT_EQ(urls.size(), 2u * perProcess);
    EXPECT_EQ(std::set<std::string>(urls.begin(), urls.end()).size(), 2u * perProcess);
    for (int p = 0; p < 2; ++p) {
        // Each process's own additions stay newest first.
        const std::string prefix = "https://p" + std::to_string(p) + ".example/";
        int expected = perProcess - 1;
        for (const auto& url : urls) {
            if (url.starts_with(prefix)) {
                EXPECT_EQ(url, prefix + std::to_string(expected--));
            }
        }
    }
}

TEST_F(VeskStoreTest, FractionalDatesSurviveALocaleWithADecimalComma) {
    // A locale of our own, built into the test's folder, so no locale package is needed.
    const fs::path source = temp.path / "comma.def";
    writeBytes(source, "LC_NUMERIC\ndecimal_point \"<U002C>\"\nthousands_sep \"\"\n"
                       "grouping -1\nEND LC_NUMERIC\n");
    const std::string command = "localedef --no-archive -c -i " + source.string() +
                                " -f ANSI_X3.4-1968 " + (temp.path / "comma").string() +
                                " >/dev/null 2>&1";
    std::system(command.c_str());
    const std::string previousPath = g_getenv("LOCPATH") ? g_getenv("LOCPATH") : "";
    g_setenv("LOCPATH", temp.path.c_str(), true);
    locale_t comma = newlocale(LC_NUMERIC_MASK, "comma", locale_t{});
    previousPath.empty() ? g_unsetenv("LOCPATH")
                         : void(g_setenv("LOCPATH", previousPath.c_str(), true));
    ASSERT_NE(comma, locale_t{}) << "localedef (package libc-bin) could not build a test locale";

    writeBytes(historyFile(), plistDocument("<array><dict><key>url</key><string>u</string>"
                                            "<key>date</key><real>1712345678.25</real></dict>"
                                            "</array>"));
    uselocale(comma);
    const auto read = store.loadHistory();
    store.addHistory("https://a.example/", "A");
    uselocale(LC_GLOBAL_LOCALE);
    freelocale(comma);

    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].date, 1712345678.25);
    const auto after = store.loadHistory();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[1].date, 1712345678.25);
}

// The environment variables that choose the folder, restored after each test.
class VeskStoreFolder : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"HOME", "XDG_DATA_HOME"}) {
            const char* value = g_getenv(name);
            saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved) {
            value ? void(g_setenv(name.c_str(), value->c_str(), true)) : g_unsetenv(name.c_str());
        }
    }

    TempFolder temp;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(VeskStoreFolder, FollowsXdgDataHomeAnewOnEveryCall) {
    VeskStore store;
    g_setenv("XDG_DATA_HOME", (temp.path / "one").c_str(), true);
    EXPECT_EQ(store.basePath(), (temp.path / "one" / "Vesk").string());
    g_setenv("XDG_DATA_HOME", (temp.path / "two").c_str(), true);
    EXPECT_EQ(store.path("history.plist"), (temp.path / "two" / "Vesk" / "history.plist").string());
    EXPECT_TRUE(fs::is_directory(temp.path / "one" / "Vesk"));
    EXPECT_EQ(permissionsOf(temp.path / "two" / "Vesk"), 0700u);
}

TEST_F(VeskStoreFolder, FallsBackToHomeWhenXdgDataHomeIsUnsetOrRelative) {
    VeskStore store;
    g_setenv("HOME", temp.path.c_str(), true);
    const std::string expected = (temp.path / ".local" / "share" / "Vesk").string();
    g_unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(store.basePath(), expected);
    g_setenv("XDG_DATA_HOME", "relative/data", true);
    EXPECT_EQ(store.basePath(), expected);
    EXPECT_TRUE(fs::is_directory(expected));
}

} // namespace
} // namespace vesk
