#include "store/SessionFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include <sys/stat.h>

#include "TempFolder.h"

namespace {
using namespace vesk;

using SessionFileTest = TempFolder;

TEST_F(SessionFileTest, WrittenSessionReadsBackOwnerOnlyAndRemoveLeavesNothing) {
    const auto file = temp / std::string(sessionFileName);
    const SessionState state{{{"http://127.0.0.1/a", "F1"}, {"", ""}, {"about:blank", "F2"}},
                             {{"F1", "Work", true}, {"F2", "Fün <&>", false}},
                             2,
                             true};
    ASSERT_TRUE(writeSession(file, state));
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(readSession(file), state);
    removeSession(file);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(readSession(file), std::nullopt);
}

TEST_F(SessionFileTest, DamagedFileIsSetAsideAndGivesNothing) {
    const auto file = temp / "session.plist";
    for (const std::string& bytes : {plist("<array/>"), std::string("<plist><dict><key>")}) {
        writeFile(file, bytes);
        EXPECT_EQ(readSession(file), std::nullopt);
        EXPECT_FALSE(std::filesystem::exists(file));
        std::filesystem::remove(temp / "session.plist.corrupt");
    }
}

// Values no writer gives, and script addresses, which would run in whatever page
// the tab shows, are dropped one by one; the selection stays on its tab.
TEST_F(SessionFileTest, HostileValuesAreDropped) {
    const auto file = temp / "session.plist";
    const std::string tooLong(sessionMaxTextBytes + 1, 'a');
    writeFile(file,
              plist("<dict><key>tabs</key><array>"
                    "<dict><key>address</key><string>" +
                    tooLong +
                    "</string></dict>"
                    "<dict><key>address</key><integer>3</integer></dict>"
                    "<string>not a tab</string>"
                    "<dict><key>address</key><string>JavaScript:alert(1)</string></dict>"
                    "<dict><key>address</key><string>http://127.0.0.1/</string>"
                    "<key>folder</key><string>nowhere</string></dict>"
                    "</array><key>folders</key><array>"
                    "<dict><key>id</key><string></string><key>name</key><string>x</string></dict>"
                    "<dict><key>name</key><string>no id</string></dict>"
                    "</array><key>selected</key><integer>4</integer>"
                    "<key>sidebar</key><string>yes</string></dict>"));
    const SessionState expected{{{"http://127.0.0.1/", ""}}, {}, 0, false};
    EXPECT_EQ(readSession(file), expected);
    writeFile(file, plist("<dict><key>tabs</key><array><dict><key>address</key><string>a</string>"
                          "</dict></array><key>selected</key><integer>-5</integer></dict>"));
    EXPECT_EQ(readSession(file)->selectedIndex, 0u);
}

// A tab's saved page state rides in a key of its own: the file stays readable by a
// reader that knows only addresses, and a state of the wrong kind or size is dropped
// while its tab stays.
TEST_F(SessionFileTest, SavedPageStatesRoundTripBesideTheOldKeys) {
    const auto file = temp / "session.plist";
    const std::vector<std::uint8_t> state{0, 1, 2, 0xff, 0};
    SessionState session{
        {{"http://127.0.0.1/a", "", state}, {"http://127.0.0.1/b", ""}}, {}, 1, false};
    ASSERT_TRUE(writeSession(file, session));
    EXPECT_EQ(readSession(file), session);
    std::string text;
    {
        std::ifstream in(file);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    EXPECT_NE(text.find("<key>address</key>"), std::string::npos);
    EXPECT_NE(text.find("<key>state</key>"), std::string::npos);
    EXPECT_EQ(text.find("<key>state</key>"), text.rfind("<key>state</key>"))
        << "a tab without a state writes no key";

    session.tabs[0].state.assign(sessionMaxStateBytes + 1, 7);
    ASSERT_TRUE(writeSession(file, session));
    EXPECT_TRUE(readSession(file)->tabs[0].state.empty());
    writeFile(file, plist("<dict><key>tabs</key><array><dict><key>address</key><string>a</string>"
                          "<key>state</key><string>AAEC</string></dict></array></dict>"));
    const auto read = readSession(file);
    ASSERT_EQ(read->tabs.size(), 1u);
    EXPECT_TRUE(read->tabs[0].state.empty());
}

} // namespace
