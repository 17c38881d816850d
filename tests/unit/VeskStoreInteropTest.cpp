#include "store/VeskStore.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "TempFolder.h"

// The store's files must read the same in other property-list tools, and files those tools
// write must load: libplist's plistutil and Python's plistlib stand in for them.
namespace {
using namespace vesk;

// Runs `script` in Python with `file` as sys.argv[1]; load() reads that property list.
bool python(const std::string& script, const std::filesystem::path& file) {
    FILE* pipe = popen(("python3 - '" + file.string() + "'").c_str(), "w");
    fputs("import plistlib, sys\nload = lambda: plistlib.load(open(sys.argv[1], 'rb'))\n", pipe);
    fputs(script.c_str(), pipe);
    return pclose(pipe) == 0;
}

bool toBinary(const std::filesystem::path& in, const std::filesystem::path& out) {
    const std::string command =
        "plistutil -f bin -i '" + in.string() + "' -o '" + out.string() + "'";
    return std::system(command.c_str()) == 0;
}

using VeskStoreInterop = TempFolder;

TEST_F(VeskStoreInterop, FilesWrittenByTheStoreReadTheSameInPlistutilAndPlistlib) {
    VeskStore store{AppPaths::under(temp)};
    store.addHistory("https://a.example/?q=1&r=<2>", std::nullopt);
    store.addHistory("https://b.example/", "Grüße \"x\" – 日本\tend \x07\xC3(");
    store.addHistory("https://c.example/", "");
    store.savePassword("old", "old", "a.example");
    store.savePassword("ann", "p&ss<word>", "a.example");
    store.savePassword(std::nullopt, std::nullopt, "b.example");
    store.waitForWrites();
    // plistutil must parse the XML to turn it into the binary form Python then reads.
    ASSERT_TRUE(toBinary(AppPaths::under(temp).data / "history.plist", temp / "history.bplist"));
    EXPECT_TRUE(
        python("p = load()\nassert [sorted(e) for e in p] == [['date', 'title', 'url']] * 3, p\n"
               "assert all(type(e['date']) is float for e in p), p\n"
               "assert p[0]['title'] == '' and p[2]['title'] == p[2]['url'], p\n"
               "assert p[1]['title'] == 'Grüße \"x\" – 日本\\tend \\ufffd\\ufffd(', p\n"
               "assert p[2]['url'] == 'https://a.example/?q=1&r=<2>', p\n",
               temp / "history.bplist"));
    EXPECT_TRUE(
        python("p = load()\nassert p == {'a.example': {'user': 'ann', 'pass': 'p&ss<word>'},\n"
               "             'b.example': {'user': '', 'pass': ''}}, p\n",
               AppPaths::under(temp).data / "vault.plist"));
    EXPECT_NEAR(*store.loadHistory()[0].date, double(std::time(nullptr)), 60.0);
}

TEST_F(VeskStoreInterop, HistoryWrittenByPlistlibAndPlistutilLoadsAndTakesNewEntries) {
    const std::filesystem::path file = AppPaths::under(temp).data / "history.plist";
    ASSERT_TRUE(python("plistlib.dump([{'url': 'https://py.example/\\u00e4?a=1&b=2', 'title': "
                       "'Py <&> \\u65e5', 'date': 1712345678.5}, {'url': 'u', 'title': '', "
                       "'date': 1.25}], open(sys.argv[1], 'wb'))\n",
                       temp / "history.xml"));
    std::filesystem::create_directories(file.parent_path());
    ASSERT_TRUE(toBinary(temp / "history.xml", file));
    VeskStore store{AppPaths::under(temp)};
    const auto entries = store.loadHistory();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].url, "https://py.example/ä?a=1&b=2");
    EXPECT_EQ(entries[0].title, "Py <&> 日");
    EXPECT_EQ(entries[0].date, 1712345678.5);
    EXPECT_EQ(entries[1].title, "");
    store.addHistory("https://new.example/", "New");
    store.waitForWrites();
    EXPECT_TRUE(python("p = load()\nassert len(p) == 3 and p[1]['date'] == 1712345678.5, p\n"
                       "assert p[1]['title'] == 'Py <&> \\u65e5', p\n",
                       file));
}

} // namespace
