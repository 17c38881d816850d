#include "store/VeskStore.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <glib.h>

// The store's files must read the same in other property-list tools, and files those tools
// write must load: libplist's plistutil and Python's plistlib stand in for them.
namespace vesk {
namespace {

namespace fs = std::filesystem;

// Runs a shell command; gives its exit status and output.
std::pair<int, std::string> run(const std::string& command) {
    std::string output;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return {-1, ""};
    }
    char buffer[4096];
    for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        output.append(buffer, got);
    }
    return {pclose(pipe), output};
}

std::string quoted(const std::string& text) {
    gchar* quotedText = g_shell_quote(text.c_str());
    std::string result(quotedText);
    g_free(quotedText);
    return result;
}

class VeskStoreInterop : public ::testing::Test {
protected:
    void SetUp() override {
        gchar* made = g_dir_make_tmp("vesk-interop-XXXXXX", nullptr);
        ASSERT_NE(made, nullptr) << "cannot create a temporary folder";
        temp = made;
        g_free(made);
        ASSERT_EQ(run("command -v python3").first, 0) << "python3 is missing";
        ASSERT_EQ(run("command -v plistutil").first, 0) << "install libplist-utils";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(temp, ignored);
    }

    // Runs `script` in Python with the given file as sys.argv[1].
    void python(const std::string& script, const fs::path& file) {
        const auto [status, output] =
            run("python3 -c " + quoted("import plistlib, sys\n" + script) + " " +
                quoted(file.string()));
        EXPECT_EQ(status, 0) << output;
    }

    void plistutil(const fs::path& in, const fs::path& out, const char* format) {
        const auto [status, output] = run("plistutil -i " + quoted(in.string()) + " -o " +
                                          quoted(out.string()) + " -f " + format);
        ASSERT_EQ(status, 0) << output;
    }

    fs::path temp;
};

TEST_F(VeskStoreInterop, FilesWrittenByTheStoreReadTheSameInPlistutilAndPlistlib) {
    VeskStore store{temp / "Vesk"};
    store.addHistory("https://a.example/?q=1&r=<2>", std::nullopt);
    store.addHistory("https://b.example/", "Grüße \"x\" – 日本\tend \x07\xC3(");
    store.savePassword("ann", "p&ss<word>", "a.example");
    store.savePassword(std::nullopt, std::nullopt, "b.example");

    // plistutil must parse the XML to turn it into the binary form Python then reads.
    const fs::path binary = temp / "history.bplist";
    plistutil(temp / "Vesk" / "history.plist", binary, "bin");
    python("h = plistlib.load(open(sys.argv[1], 'rb'))\n"
           "assert [sorted(e) for e in h] == [['date', 'title', 'url']] * 2, h\n"
           "assert all(type(e['date']) is float for e in h), h\n"
           "assert h[0]['title'] == 'Grüße \"x\" – 日本\\tend \\ufffd\\ufffd(', h\n"
           "assert h[1]['url'] == h[1]['title'] == 'https://a.example/?q=1&r=<2>', h\n",
           binary);
    python("v = plistlib.load(open(sys.argv[1], 'rb'))\n"
           "assert v == {'a.example': {'user': 'ann', 'pass': 'p&ss<word>'},\n"
           "             'b.example': {'user': '', 'pass': ''}}, v\n",
           temp / "Vesk" / "vault.plist");
    EXPECT_NEAR(*store.loadHistory()[0].date, double(g_get_real_time()) / 1e6, 60.0);
}

TEST_F(VeskStoreInterop, HistoryWrittenByPlistlibAndPlistutilLoadsAndTakesNewEntries) {
    const fs::path xml = temp / "history.xml";
    const fs::path file = temp / "Vesk" / "history.plist";
    python("plistlib.dump([{'url': 'https://py.example/\\u00e4?a=1&b=2', 'title': 'Py <&> "
           "\\u65e5', 'date': 1712345678.5}, {'url': 'u', 'title': '', 'date': 1.25}],"
           " open(sys.argv[1], 'wb'))\n",
           xml);
    fs::create_directories(file.parent_path());
    plistutil(xml, file, "bin");

    VeskStore store{temp / "Vesk"};
    const auto entries = store.loadHistory();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].url, "https://py.example/ä?a=1&b=2");
    EXPECT_EQ(entries[0].title, "Py <&> 日");
    EXPECT_EQ(entries[0].date, 1712345678.5);
    EXPECT_EQ(entries[1].title, "");

    store.addHistory("https://new.example/", "New");
    python("h = plistlib.load(open(sys.argv[1], 'rb'))\n"
           "assert len(h) == 3 and h[1]['date'] == 1712345678.5, h\n"
           "assert h[1]['title'] == 'Py <&> \\u65e5', h\n",
           file);
}

} // namespace
} // namespace vesk
