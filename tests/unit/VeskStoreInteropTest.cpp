#include "store/VeskStore.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <glib.h>

// The store's files must read the same in other property-list tools, and files those
// tools write must load: libplist's plistutil and Python's plistlib stand in for them.
namespace vesk {
namespace {

namespace fs = std::filesystem;

struct CommandResult {
    int status = -1;
    std::string output;
};

CommandResult run(const std::string& command) {
    CommandResult result;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    char buffer[4096];
    for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        result.output.append(buffer, got);
    }
    result.status = pclose(pipe);
    return result;
}

std::string quoted(const std::string& text) {
    gchar* quotedText = g_shell_quote(text.c_str());
    std::string result(quotedText);
    g_free(quotedText);
    return result;
}

bool hasTool(const char* name) {
    return run(std::string("command -v ") + name).status == 0;
}

// Prints each history entry as hex(url)|hex(title)|type of date|date|whether the keys
// are exactly url, title and date.
constexpr const char* pythonReader = R"(
import plistlib, sys
with open(sys.argv[1], 'rb') as f:
    entries = plistlib.load(f)
assert isinstance(entries, list), type(entries)
for e in entries:
    print('|'.join([e['url'].encode().hex(), e['title'].encode().hex(),
                    type(e['date']).__name__, repr(e['date']),
                    str(sorted(e.keys()) == ['date', 'title', 'url'])]))
)";

constexpr const char* pythonWriter = R"(
import plistlib, sys
entries = [{'url': 'https://py.example/\u00e4?a=1&b=2', 'title': 'Py <&> \u65e5\u672c', 'date': 1712345678.5},
           {'url': 'https://second.example/', 'title': '', 'date': 1.25}]
fmt = plistlib.FMT_BINARY if sys.argv[2] == 'binary' else plistlib.FMT_XML
with open(sys.argv[1], 'wb') as f:
    plistlib.dump(entries, f, fmt=fmt)
)";

std::string hex(std::string_view text) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : text) {
        out += digits[c >> 4];
        out += digits[c & 0xF];
    }
    return out;
}

class VeskStoreInterop : public ::testing::Test {
protected:
    void SetUp() override {
        gchar* made = g_dir_make_tmp("vesk-interop-XXXXXX", nullptr);
        ASSERT_NE(made, nullptr) << "cannot create a temporary folder";
        temp = made;
        g_free(made);
        ASSERT_TRUE(hasTool("python3")) << "python3 is missing: it reads and writes the "
                                           "property lists this test compares against";
        ASSERT_TRUE(hasTool("plistutil")) << "plistutil is missing: install libplist-utils";
        writeScript("reader.py", pythonReader);
        writeScript("writer.py", pythonWriter);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(temp, ignored);
    }

    void writeScript(const char* name, const char* text) {
        g_file_set_contents((temp / name).c_str(), text, -1, nullptr);
    }

    // The Python reader's lines for `file`; fails the test when Python rejects it.
    std::vector<std::string> readWithPython(const fs::path& file) {
        const auto result =
            run("python3 " + quoted((temp / "reader.py").string()) + " " + quoted(file.string()));
        EXPECT_EQ(result.status, 0) << result.output;
        std::vector<std::string> lines;
        gchar** split = g_strsplit(result.output.c_str(), "\n", -1);
        for (gchar** line = split; *line != nullptr; ++line) {
            if (**line != '\0') {
                lines.emplace_back(*line);
            }
        }
        g_strfreev(split);
        return lines;
    }

    fs::path temp;
};

TEST_F(VeskStoreInterop, HistoryWrittenByTheStoreReadsTheSameInPlistlibAndPlistutil) {
    VeskStore store{temp / "Vesk"};
    store.addHistory("https://a.example/?q=1&r=<2>", std::nullopt);
    store.addHistory("https://b.example/", "");
    store.addHistory("https://c.example/", "Grüße \"quoted\" 'single' – 日本\tend");
    store.addHistory("https://d.example/", "bell\x07 and broken \xC3(");
    const fs::path file = temp / "Vesk" / "history.plist";

    const std::vector<std::string> expectedPrefixes = {
        hex("https://d.example/") + "|" + hex("bell\xEF\xBF\xBD and broken \xEF\xBF\xBD(") +
            "|float|",
        hex("https://c.example/") + "|" + hex("Grüße \"quoted\" 'single' – 日本\tend") + "|float|",
        hex("https://b.example/") + "||float|",
        hex("https://a.example/?q=1&r=<2>") + "|" + hex("https://a.example/?q=1&r=<2>") + "|float|",
    };
    auto check = [&](const std::vector<std::string>& lines, const char* reader) {
        ASSERT_EQ(lines.size(), expectedPrefixes.size()) << reader;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_TRUE(lines[i].starts_with(expectedPrefixes[i])) << reader << ": " << lines[i];
            EXPECT_TRUE(lines[i].ends_with("|True")) << reader << ": " << lines[i];
        }
    };
    check(readWithPython(file), "plistlib");

    // plistutil must parse the XML to turn it into the binary format.
    const fs::path binary = temp / "converted.bplist";
    const auto converted =
        run("plistutil -i " + quoted(file.string()) + " -o " + quoted(binary.string()) + " -f bin");
    ASSERT_EQ(converted.status, 0) << converted.output;
    check(readWithPython(binary), "plistutil");

    const auto dates = store.loadHistory();
    ASSERT_EQ(dates.size(), 4u);
    const std::string line = readWithPython(file).front();
    EXPECT_NEAR(std::stod(line.substr(line.rfind("|float|") + 7)), *dates[0].date, 1e-6);
}

class PythonWrittenHistory : public VeskStoreInterop,
                             public ::testing::WithParamInterface<const char*> {};

TEST_P(PythonWrittenHistory, LoadsAndTakesNewEntries) {
    const fs::path file = temp / "Vesk" / "history.plist";
    fs::create_directories(file.parent_path());
    const auto written = run("python3 " + quoted((temp / "writer.py").string()) + " " +
                             quoted(file.string()) + " " + GetParam());
    ASSERT_EQ(written.status, 0) << written.output;

    VeskStore store{temp / "Vesk"};
    const auto entries = store.loadHistory();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].url, "https://py.example/ä?a=1&b=2");
    EXPECT_EQ(entries[0].title, "Py <&> 日本");
    EXPECT_EQ(entries[0].date, 1712345678.5);
    EXPECT_EQ(entries[1].title, "");
    EXPECT_EQ(entries[1].date, 1.25);

    store.addHistory("https://new.example/", "New");
    const auto lines = readWithPython(file);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(lines[1].starts_with(hex("https://py.example/ä?a=1&b=2") + "|" +
                                     hex("Py <&> 日本") + "|float|1712345678.5|"))
        << lines[1];
}

INSTANTIATE_TEST_SUITE_P(Formats, PythonWrittenHistory, ::testing::Values("xml", "binary"),
                         [](const auto& row) { return std::string(row.param); });

TEST_F(VeskStoreInterop, VaultWrittenByTheStoreReadsInPlistlib) {
    VeskStore store{temp / "Vesk"};
    store.savePassword("ann", "p&ss<word>", "a.example");
    store.savePassword(std::nullopt, std::nullopt, "b.example");
    const fs::path file = temp / "Vesk" / "vault.plist";
    const auto result =
        run("python3 -c " +
            quoted("import plistlib,sys; v=plistlib.load(open(sys.argv[1],'rb')); "
                   "assert v == {'a.example': {'user': 'ann', 'pass': 'p&ss<word>'}, "
                   "'b.example': {'user': '', 'pass': ''}}, v") +
            " " + quoted(file.string()));
    EXPECT_EQ(result.status, 0) << result.output;
}

} // namespace
} // namespace vesk
