#include "settings/Preferences.h"

#include "settings/BrowsingData.h"

#include <gtest/gtest.h>

#include <cmath>

#include "TempFolder.h"
#include "navigation/UrlNormalization.h"
#include "settings/SiteZoomLevels.h"

namespace {
using namespace vesk;

// One stored value and what the preferences make of it, as text.
struct StoredValueCase {
    const char* name;
    const char* key;
    // The value as the XML property list holds it.
    const char* xml;
    const char* read;
};

// What the preferences read for `key`, as text.
std::string readAs(const Preferences& p, const std::string& key) {
    if (key == HomePageKey)
        return !p.homePage ? "<default>" : p.homePage->empty() ? "<blank>" : *p.homePage;
    if (key == SearchURLKey)
        return p.searchURL.value_or("<default>");
    if (key == RestoreSessionOnStartKey)
        return p.restoreSessionOnStart ? "restore" : "home";
    if (key == DownloadsFolderKey)
        return p.downloads == DownloadsChoice::AskEachTime ? "<ask>"
               : p.downloads == DownloadsChoice::Folder    ? p.downloadsFolder.string()
                                                           : "<default>";
    std::ostringstream zoom;
    zoom << p.defaultZoom;
    return zoom.str();
}

class StoredValueTest : public TempFolder, public ::testing::WithParamInterface<StoredValueCase> {
protected:
    const std::filesystem::path file = temp / "defaults.plist";
};

TEST_P(StoredValueTest, ReadsAsExpectedAndLeavesTheOtherPreferencesAlone) {
    const StoredValueCase& c = GetParam();
    // A valid value of another key beside it is read whatever this one holds.
    const std::string other = std::string(c.key) == "DefaultZoom" ? "HomePage" : "DefaultZoom";
    const std::string otherValue =
        other == "HomePage" ? "<string>http://127.0.0.1/</string>" : "<real>1.5</real>";
    writeFile(file, plist("<dict><key>" + std::string(c.key) + "</key>" + c.xml + "<key>" + other +
                          "</key>" + otherValue + "</dict>"));
    const Preferences read = readPreferences(UserDefaults::load(file));
    EXPECT_EQ(readAs(read, c.key), c.read);
    EXPECT_EQ(readAs(read, other), other == "HomePage" ? "http://127.0.0.1/" : "1.5");
}

INSTANTIATE_TEST_SUITE_P(
    Preferences, StoredValueTest,
    ::testing::Values(
        StoredValueCase{"HomeAddress", "HomePage", "<string>http://127.0.0.1:8080/a</string>",
                        "http://127.0.0.1:8080/a"},
        StoredValueCase{"HomeBlankByAddress", "HomePage", "<string>about:blank</string>",
                        "<blank>"},
        StoredValueCase{"HomeBlankByEmptyText", "HomePage", "<string/>", "<blank>"},
        StoredValueCase{"HomeNotAnAddress", "HomePage", "<string>my home</string>", "<default>"},
        StoredValueCase{"HomeWithoutScheme", "HomePage", "<string>example.com</string>",
                        "<default>"},
        StoredValueCase{"HomeScript", "HomePage", "<string>JavaScript:alert(1)</string>",
                        "<default>"},
        StoredValueCase{"HomeOfAnotherKind", "HomePage", "<integer>3</integer>", "<default>"},
        StoredValueCase{"SearchWithTerms", "SearchURL", "<string>http://127.0.0.1/?q=%s</string>",
                        "http://127.0.0.1/?q=%s"},
        StoredValueCase{"SearchWithoutTerms", "SearchURL", "<string>http://127.0.0.1/?q=</string>",
                        "<default>"},
        StoredValueCase{"SearchTermsOnly", "SearchURL", "<string>%s</string>", "<default>"},
        StoredValueCase{"SearchBroken", "SearchURL", "<string>http://a b/?q=%s</string>",
                        "<default>"},
        StoredValueCase{"RestoreTrue", "RestoreSessionOnStart", "<true/>", "restore"},
        StoredValueCase{"RestoreAsText", "RestoreSessionOnStart", "<string>YES</string>", "home"},
        StoredValueCase{"FolderAbsolute", "DownloadsFolder", "<string>/srv/files</string>",
                        "/srv/files"},
        StoredValueCase{"FolderEmptyAsks", "DownloadsFolder", "<string/>", "<ask>"},
        StoredValueCase{"FolderRelative", "DownloadsFolder", "<string>files</string>", "<default>"},
        StoredValueCase{"ZoomReal", "DefaultZoom", "<real>1.2</real>", "1.2"},
        StoredValueCase{"ZoomInteger", "DefaultZoom", "<integer>2</integer>", "2"},
        StoredValueCase{"ZoomAtTheFloor", "DefaultZoom", "<real>0.2</real>", "0.2"},
        StoredValueCase{"ZoomBelowTheFloor", "DefaultZoom", "<real>0.1</real>", "1"},
        StoredValueCase{"ZoomNegative", "DefaultZoom", "<integer>-3</integer>", "1"},
        StoredValueCase{"ZoomAsText", "DefaultZoom", "<string>1.5</string>", "1"}),
    [](const auto& row) { return std::string(row.param.name); });

class PreferencesTest : public TempFolder {
protected:
    const std::filesystem::path file = temp / "Vesk" / "defaults.plist";
};

TEST_F(PreferencesTest, SavedPreferencesComeBackAndKeysOfOthersStay) {
    writeFile(file, plist("<dict><key>VeskThemeMode</key><string>dark</string>"
                          "<key>SleepInactiveTabsAfterMinutes</key><integer>30</integer></dict>"));
    Preferences chosen;
    chosen.homePage = "";
    chosen.searchURL = "http://127.0.0.1:9/find?terms=%s&lang=en";
    chosen.restoreSessionOnStart = true;
    chosen.downloads = DownloadsChoice::Folder;
    chosen.downloadsFolder = temp / "saved";
    chosen.defaultZoom = 1.1;
    UserDefaults changes = UserDefaults::changesFor(file);
    setPreferences(changes, chosen);
    ASSERT_EQ(changes.save(), SaveOutcome::Saved);

    const UserDefaults reread = UserDefaults::load(file);
    EXPECT_EQ(readPreferences(reread), chosen);
    EXPECT_EQ(reread.stringForKey(HomePageKey), "about:blank");
    EXPECT_EQ(reread.stringForKey("VeskThemeMode"), "dark");
    EXPECT_EQ(reread.realForKey("SleepInactiveTabsAfterMinutes"), 30.0);
}

TEST_F(PreferencesTest, AnInvalidPreferenceRemovesItsKeyAndTheOthersAreStillSaved) {
    Preferences chosen;
    chosen.homePage = "http://127.0.0.1/";
    chosen.searchURL = "http://127.0.0.1/?q=";
    chosen.defaultZoom = std::nan("");
    chosen.downloads = DownloadsChoice::AskEachTime;
    UserDefaults first = UserDefaults::changesFor(file);
    first.setReal(DefaultZoomKey, 2.0);
    ASSERT_EQ(first.save(), SaveOutcome::Saved);
    UserDefaults changes = UserDefaults::changesFor(file);
    setPreferences(changes, chosen);
    ASSERT_EQ(changes.save(), SaveOutcome::Saved);

    const Preferences read = readPreferences(UserDefaults::load(file));
    EXPECT_EQ(read.homePage, "http://127.0.0.1/");
    EXPECT_EQ(read.searchURL, std::nullopt);
    EXPECT_EQ(read.defaultZoom, kNormalZoom) << "the old zoom went with the invalid one";
    EXPECT_EQ(read.downloads, DownloadsChoice::AskEachTime);
}

TEST(SearchAddress, TermsTakeThePlaceOfTheirMarkAndStayEscaped) {
    EXPECT_EQ(searchURLFor("50% off", "http://127.0.0.1/s?q=%s&x=1"),
              "http://127.0.0.1/s?q=50%25%20off&x=1");
    EXPECT_EQ(normalizedURLFromInput("%s here", "http://127.0.0.1/?q=%s"),
              "http://127.0.0.1/?q=%25s%20here")
        << "a mark typed in the terms is not filled again";
    EXPECT_EQ(normalizedURLFromInput("hello world"),
              std::string(kSearchAddressPrefix) + "hello%20world");
    // Addresses do not go to the engine at all.
    EXPECT_EQ(normalizedURLFromInput("x.y", "http://127.0.0.1/?q=%s"), "https://x.y");
}

TEST(SiteZoomLevelsTest, HostsKeepTheirOwnZoomAndTheRestGetTheDefault) {
    SiteZoomLevels levels;
    EXPECT_TRUE(levels.remember("a.example", 1.3));
    EXPECT_FALSE(levels.remember("a.example", 1.3)) << "nothing changed";
    EXPECT_FALSE(levels.remember("", 1.3));
    EXPECT_FALSE(levels.remember("b.example", 0.1)) << "below the zoom floor";
    EXPECT_FALSE(levels.remember("b.example", INFINITY));
    EXPECT_EQ(levels.zoomFor("a.example", 0.9), 1.3);
    EXPECT_EQ(levels.zoomFor("www.a.example", 0.9), 0.9) << "each host is its own";
    EXPECT_TRUE(levels.forget("a.example"));
    EXPECT_FALSE(levels.forget("a.example"));
    EXPECT_EQ(levels.zoomFor("a.example", 0.9), 0.9);
}

TEST_F(PreferencesTest, ZoomLevelsComeBackWithoutTheDamagedOnes) {
    writeFile(file, plist("<dict><key>SiteZoomLevels</key><dict>"
                          "<key>a.example</key><real>1.5</real>"
                          "<key>b.example</key><string>2</string>"
                          "<key>c.example</key><real>0.05</real>"
                          "<key>d.example</key><integer>2</integer>"
                          "</dict></dict>"));
    SiteZoomLevels levels = SiteZoomLevels::read(UserDefaults::load(file));
    EXPECT_EQ(levels.size(), 2u);
    EXPECT_EQ(levels.zoomFor("d.example", 1.0), 2.0);
    levels.forget("a.example");
    levels.remember("e.example", 0.7);
    UserDefaults changes = UserDefaults::changesFor(file);
    levels.store(changes);
    ASSERT_EQ(changes.save(), SaveOutcome::Saved);
    const SiteZoomLevels reread = SiteZoomLevels::read(UserDefaults::load(file));
    EXPECT_EQ(reread.size(), 2u);
    EXPECT_EQ(reread.zoomFor("a.example", 1.0), 1.0);
    EXPECT_EQ(reread.zoomFor("e.example", 1.0), 0.7);
}

} // namespace

namespace {

TEST(BrowsingDataTest, CookiesOfATimeAreThoseOfTheSitesVisitedInIt) {
    using vesk::HistoryEntry;
    const std::vector<HistoryEntry> history = {
        {true, "https://new.example/a", "A", 1000.0},
        {true, "http://127.0.0.1:8080/b", "B", 950.0},
        {true, "https://old.example/", "Old", 10.0},
        {true, "https://undated.example/", "Undated", std::nullopt},
        {true, "no address at all", "Broken", 1000.0},
    };
    EXPECT_EQ(vesk::hostsVisitedSince(history, 900.0),
              (std::set<std::string>{"new.example", "127.0.0.1"}));
    EXPECT_TRUE(vesk::hostsVisitedSince(history, 2000.0).empty());
}

} // namespace
