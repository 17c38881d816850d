#include "store/VeskStore.h"

#include <gtest/gtest.h>

#include <clocale>
#include <csignal>
#include <cstdlib>
#include <set>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TempFolder.h"

namespace {
using namespace vesk;

namespace fs = std::filesystem;

// Waits for a forked child; true when it ran to its end.
bool finished(pid_t child) {
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string siteUrl(int n) {
    return "https://site" + std::to_string(n) + ".example/";
}

// An XML history of `count` entries, site0 newest.
std::string historyXml(int count) {
    std::string body = "<array>";
    for (int i = 0; i < count; ++i)
        body += "<dict><key>url</key><string>" + siteUrl(i) + "</string></dict>";
    return TempFolder::plist(body + "</array>");
}

std::vector<std::string> urlsOf(const std::vector<HistoryEntry>& entries) {
    std::vector<std::string> urls;
    for (const auto& entry : entries)
        urls.push_back(entry.url.value_or("<none>"));
    return urls;
}

constexpr fs::perms kOwnerOnlyFile = fs::perms::owner_read | fs::perms::owner_write;

class VeskStoreTest : public TempFolder {
protected:
    const fs::path folder = temp / "Vesk", history = folder / "history.plist";
    VeskStore store{folder};
};

TEST_F(VeskStoreTest, FilesAreOwnerOnlyAlsoWhenTheyWereWiderBefore) {
    store.addHistory(std::nullopt, "No address");
    store.savePassword("user", "pass", "");
    EXPECT_FALSE(fs::exists(folder)) << "nothing to store touches nothing";
    writeFile(history, "");
    fs::permissions(folder, fs::perms(0755));
    fs::permissions(history, fs::perms(0644));
    store.addHistory("https://a.example/", "A");
    store.savePassword("u", "p", "a.example");
    EXPECT_EQ(fs::status(folder).permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(history).permissions(), kOwnerOnlyFile);
    EXPECT_EQ(fs::status(folder / "vault.plist").permissions(), kOwnerOnlyFile);
}

TEST_F(VeskStoreTest, OnlyTheNewestEntryCountsAsARepeatAndCaseMatters) {
    store.addHistory("https://a/", "A");
    const std::string once = readFile(history);
    store.addHistory("https://a/", "Again");
    EXPECT_EQ(readFile(history), once) << "a repeat of the newest writes nothing";
    for (const char* url : {"https://b/", "https://a/", "https://A/"})
        store.addHistory(url, "A");
    const std::vector<std::string> expected{"https://A/", "https://a/", "https://b/", "https://a/"};
    EXPECT_EQ(urlsOf(store.loadHistory()), expected);
}

TEST_F(VeskStoreTest, KeepsTheNewestTwoHundred) {
    for (int before : {199, 200, 250}) {
        writeFile(history, historyXml(before));
        store.addHistory("https://new.example/", "New");
        const auto urls = urlsOf(store.loadHistory());
        ASSERT_EQ(int(urls.size()), std::min(before + 1, 200)) << before;
        EXPECT_EQ(urls.front(), "https://new.example/");
        EXPECT_EQ(urls.back(), siteUrl(int(urls.size()) - 2));
    }
}

TEST_F(VeskStoreTest, EntriesOfWrongTypesAreKeptThroughAWrite) {
    writeFile(history, plist("<array><string>loose</string><dict><key>url</key><integer>5"
                             "</integer><key>date</key><integer>-5</integer><key>extra</key>"
                             "<true/></dict></array>"));
    const auto read = store.loadHistory();
    ASSERT_EQ(read.size(), 2u);
    EXPECT_FALSE(read[0].isDictionary);
    EXPECT_FALSE(read[1].url.has_value());
    EXPECT_EQ(read[1].date, -5.0) << "whole seconds written by other tools count";
    store.addHistory("https://new.example/", std::nullopt);
    EXPECT_EQ(store.loadHistory().size(), 3u) << "a newest entry without an address is no repeat";
    EXPECT_NE(readFile(history).find("<key>extra</key>"), std::string::npos);
    store.clearHistory();
    EXPECT_FALSE(fs::exists(history));
}

// A binary property list of `count` arrays, each holding `refs` references to the next one;
// the last is empty unless `isCyclic`, when it refers back to the first.
std::string binaryArrayChain(std::uint32_t count, int refs, bool isCyclic) {
    auto bigEndian = [](std::uint64_t value, int width) {
        std::string out(width, '\0');
        for (int i = 0; i < width; ++i)
            out[width - 1 - i] = char(value >> (8 * i));
        return out;
    };
    std::string objects, offsets;
    for (std::uint32_t i = 0; i < count; ++i) {
        offsets += bigEndian(8 + objects.size(), 4);
        const int own = !isCyclic && i + 1 == count ? 0 : refs;
        objects += char(0xA0 | own);
        for (int r = 0; r < own; ++r)
            objects += bigEndian((i + 1) % count, 4);
    }
    return "bplist00" + objects + offsets + std::string(6, '\0') + "\x04\x04" +
           bigEndian(count, 8) + bigEndian(0, 8) + bigEndian(8 + objects.size(), 8);
}

std::string nestedArraysXml(int depth) {
    std::string open, close;
    for (; depth > 0; --depth)
        open += "<array>", close += "</array>";
    return TempFolder::plist(open + close);
}

class DamagedHistory : public VeskStoreTest,
                       public ::testing::WithParamInterface<std::pair<const char*, std::string>> {};

TEST_P(DamagedHistory, ReadsAsEmptyAndIsSetAsideBeforeTheNextWrite) {
    const std::string& damaged = GetParam().second;
    writeFile(history, damaged);
    EXPECT_TRUE(store.loadHistory().empty());
    EXPECT_EQ(readFile(history), damaged) << "loading must not change the file";
    store.addHistory("https://a.example/", "A");
    EXPECT_EQ(store.loadHistory().size(), 1u);
    // A second damaged file never replaces the first one set aside.
    writeFile(history, "second");
    store.addHistory("https://a.example/", "A");
    EXPECT_EQ(readFile(folder / "history.plist.corrupt"), damaged);
    EXPECT_EQ(readFile(folder / "history.plist.corrupt.1"), "second");
    EXPECT_EQ(fs::status(folder / "history.plist.corrupt").permissions(), kOwnerOnlyFile);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedHistory,
    ::testing::Values(std::pair("Truncated", historyXml(3).substr(0, 150)),
                      std::pair("ForeignRoot",
                                TempFolder::plist("<dict><key>url</key><string>x</string></dict>")),
                      std::pair("NestedTooDeeplyXml", nestedArraysXml(200000)),
                      std::pair("NestedTooDeeplyBinary", binaryArrayChain(200000, 1, false)),
                      std::pair("BinaryReferenceCycle", binaryArrayChain(2, 1, true)),
                      std::pair("BinarySharedObjectsExplode", binaryArrayChain(64, 2, false))),
    [](const auto& row) { return std::string(row.param.first); });

TEST_F(VeskStoreTest, WriteFailingPartWayLeavesTheOldFileWhole) {
    writeFile(history, historyXml(200));
    const std::string before = readFile(history);
    // As root, permission bits do not stop a write; a file-size limit does.
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        store.addHistory("https://new.example/", "New");
        _exit(0);
    }
    ASSERT_TRUE(finished(child)) << "the child should have seen EFBIG, not died";
    EXPECT_EQ(readFile(history), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2)
        << "only the file and the lock: no temporary is left behind";
}

TEST_F(VeskStoreTest, TwoProcessesAddingAtOnceLoseNothing) {
    // Each addition reads, rewrites and flushes the file, so the two runs overlap throughout.
    const pid_t child = fork();
    for (int i = 0; i < 100; ++i)
        store.addHistory(siteUrl(child == 0 ? 1000 + i : i), std::nullopt);
    if (child == 0)
        _exit(0);
    EXPECT_TRUE(finished(child));
    const auto urls = urlsOf(store.loadHistory());
    EXPECT_EQ(std::set<std::string>(urls.begin(), urls.end()).size(), 200u);
}

// libplist reads and writes reals through the C library, which follows the locale.
TEST_F(VeskStoreTest, FractionalDatesSurviveALocaleWithADecimalComma) {
    // A locale of our own, built into the temporary folder, so no locale package is needed;
    // localedef warns and exits with 1 even when it has built it.
    writeFile(temp / "comma.def", "LC_NUMERIC\ndecimal_point \"<U002C>\"\nthousands_sep \"\"\n"
                                  "grouping -1\nEND LC_NUMERIC\n");
    const std::string localedef = "localedef --no-archive -c -f ANSI_X3.4-1968 -i comma.def comma";
    std::system(("cd " + temp.string() + " && " + localedef + " >/dev/null 2>&1").c_str());
    setenv("LOCPATH", temp.c_str(), 1);
    const locale_t comma = newlocale(LC_NUMERIC_MASK, "comma", locale_t{});
    unsetenv("LOCPATH");
    ASSERT_NE(comma, locale_t{}) << "localedef (libc-bin) could not build a test locale";
    writeFile(history, plist("<array><dict><key>url</key><string>u</string><key>date</key>"
                             "<real>1712345678.25</real></dict></array>"));
    uselocale(comma);
    store.addHistory("https://a.example/", "A");
    uselocale(LC_GLOBAL_LOCALE);
    freelocale(comma);
    EXPECT_EQ(store.loadHistory().at(1).date, 1712345678.25);
}

} // namespace
