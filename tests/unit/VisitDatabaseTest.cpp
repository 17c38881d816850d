#include "store/VisitDatabase.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include <sqlite3.h>

#include "TempFolder.h"
#include "store/VeskStore.h"

namespace {
using namespace vesk;

namespace fs = std::filesystem;

constexpr double kDay = 24 * 3600.0;
// A fixed "now" for the database's own tests.
constexpr double kNow = 1.79e9;

VisitRecord visit(std::string url, double time, VisitOrigin origin = VisitOrigin::Link,
                  std::string title = "") {
    return VisitRecord{std::move(url), std::move(title), time, origin};
}

std::vector<std::string> urlsOf(const std::vector<VisitedPage>& pages) {
    std::vector<std::string> urls;
    for (const auto& page : pages)
        urls.push_back(page.url);
    return urls;
}

class VisitDatabaseTest : public TempFolder {
protected:
    fs::path file() const { return temp / "data" / VisitDatabase::fileName; }
    VisitDatabase& db() {
        if (!db_) {
            fs::create_directories(file().parent_path());
            db_ = std::make_unique<VisitDatabase>(file(), VisitDatabase::Access::ReadWrite);
        }
        return *db_;
    }
    std::vector<std::string> found(std::string_view text) {
        return urlsOf(db().search(searchWords(text), 20));
    }

    std::unique_ptr<VisitDatabase> db_;
};

TEST(Frecency, HalvesEveryHalfLifeAndCountsTypedVisitsMore) {
    const double now = frecencyOfVisit(kNow, VisitOrigin::Link);
    const double older = frecencyOfVisit(kNow - VisitDatabase::frecencyHalfLife, VisitOrigin::Link);
    EXPECT_NEAR(std::exp(now - older), 2.0, 1e-9);
    EXPECT_NEAR(std::exp(frecencyOfVisit(kNow, VisitOrigin::Typed) - now),
                VisitDatabase::typedVisitWeight, 1e-9);
    // Two equal visits weigh twice one, with no overflow at today's times.
    EXPECT_NEAR(addFrecency(now, now) - now, std::log(2.0), 1e-9);
    EXPECT_TRUE(std::isfinite(addFrecency(now, now)));
    EXPECT_EQ(addFrecency(-INFINITY, now), now);
}

TEST(SearchWords, FoldsCaseAndAccentsAndDropsBlanks) {
    EXPECT_EQ(searchWords("  News\tTODAY  "), (std::vector<std::string>{"news", "today"}));
    // Composed and decomposed é are one letter.
    EXPECT_EQ(searchWords("Cafe\u0301"), searchWords("café"));
    EXPECT_TRUE(searchWords(" \t ").empty());
    EXPECT_EQ(searchWords("a b c d e f g h i j k").size(), VisitDatabase::maxSearchWords);
}

TEST_F(VisitDatabaseTest, VisitsAddUpPerPage) {
    ASSERT_TRUE(db().addVisits({visit("https://a.example/", kNow - kDay, VisitOrigin::Typed, "Old"),
                                visit("https://a.example/", kNow, VisitOrigin::Link, "New"),
                                visit("https://b.example/", kNow)}));
    const VisitedPage a = db().page("https://a.example/");
    EXPECT_EQ(a.visitCount, 2);
    EXPECT_EQ(a.typedCount, 1);
    EXPECT_EQ(a.lastVisit, kNow);
    EXPECT_EQ(a.title, "New");
    EXPECT_EQ(db().visitCount(), 3u);
    EXPECT_EQ(db().page("https://missing.example/").visitCount, 0);
}

TEST_F(VisitDatabaseTest, SearchMatchesEveryWordInAddressOrTitleByFrecency) {
    db().addVisits(
        {visit("https://news.example/today", kNow - 30 * kDay, VisitOrigin::Link, "Morning News"),
         visit("https://weather.example/", kNow, VisitOrigin::Link, "Weather today"),
         visit("https://typed.example/news", kNow - 20 * kDay, VisitOrigin::Typed, "Typed news"),
         visit("https://often.example/news", kNow - 10 * kDay),
         visit("https://often.example/news", kNow - 10 * kDay),
         visit("https://often.example/news", kNow - 10 * kDay)});
    // Three visits ten days back beat one typed twenty days back, which beats one link
    // thirty days back.
    EXPECT_EQ(found("NEWS"),
              (std::vector<std::string>{"https://often.example/news", "https://typed.example/news",
                                        "https://news.example/today"}));
    EXPECT_EQ(found("morning today"), (std::vector<std::string>{"https://news.example/today"}));
    EXPECT_EQ(found("today weather"), (std::vector<std::string>{"https://weather.example/"}));
    EXPECT_TRUE(found("news weather").empty());
    EXPECT_EQ(db().search({}, 2).size(), 2u);
}

TEST_F(VisitDatabaseTest, ClearSinceKeepsEarlierVisitsAndTheirSums) {
    db().addVisits({visit("https://a.example/", kNow - 2 * kDay, VisitOrigin::Typed),
                    visit("https://a.example/", kNow), visit("https://b.example/", kNow)});
    const double before = db().page("https://a.example/").frecency;
    ASSERT_TRUE(db().clearSince(kNow - kDay));
    const VisitedPage a = db().page("https://a.example/");
    EXPECT_EQ(a.visitCount, 1);
    EXPECT_EQ(a.typedCount, 1);
    EXPECT_EQ(a.lastVisit, kNow - 2 * kDay);
    EXPECT_NEAR(a.frecency, frecencyOfVisit(kNow - 2 * kDay, VisitOrigin::Typed), 1e-9);
    EXPECT_LT(a.frecency, before);
    EXPECT_TRUE(found("b.example").empty());
    EXPECT_EQ(db().visitCount(), 1u);
}

TEST_F(VisitDatabaseTest, PruneDropsVisitsPastTheKeptDaysAndRemovePageDropsOne) {
    db().addVisits({visit("https://old.example/", kNow - 100 * kDay),
                    visit("https://mixed.example/", kNow - 95 * kDay),
                    visit("https://mixed.example/", kNow - kDay),
                    visit("https://new.example/", kNow)});
    ASSERT_TRUE(db().prune(kNow));
    EXPECT_EQ(found("example"),
              (std::vector<std::string>{"https://new.example/", "https://mixed.example/"}));
    EXPECT_EQ(db().page("https://mixed.example/").visitCount, 1);
    ASSERT_TRUE(db().removePage("https://new.example/"));
    EXPECT_EQ(found("example"), (std::vector<std::string>{"https://mixed.example/"}));
    EXPECT_EQ(db().visitCount(), 1u);
}

TEST_F(VisitDatabaseTest, DamagedOrForeignFileIsSetAsideAndANewOneMade) {
    for (const std::string& content :
         {std::string(4096, 'x'), std::string("SQLite format 3") + std::string(200, '\0')}) {
        db_.reset();
        fs::remove_all(temp / "data");
        writeFile(file(), content);
        ASSERT_TRUE(db().isOpen());
        EXPECT_TRUE(db().addVisits({visit("https://a.example/", kNow)}));
        EXPECT_EQ(readFile(file().string() + ".corrupt"), content);
    }
    // A database of another shape is not ours to write into, nor to lose.
    db_.reset();
    fs::remove_all(temp / "data");
    fs::create_directories(file().parent_path());
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file().c_str(), &other), SQLITE_OK);
    sqlite3_exec(other, "CREATE TABLE pages(x); INSERT INTO pages VALUES(42);", nullptr, nullptr,
                 nullptr);
    sqlite3_close(other);
    ASSERT_TRUE(db().isOpen());
    EXPECT_TRUE(db().addVisits({visit("https://a.example/", kNow)}));
    EXPECT_TRUE(fs::exists(file().string() + ".corrupt"));
    fs::remove(file());
    // A read-only connection to a missing file finds nothing and makes nothing.
    VisitDatabase reader(file(), VisitDatabase::Access::ReadOnly);
    EXPECT_FALSE(reader.isOpen());
    EXPECT_TRUE(reader.search(searchWords("a"), 8).empty());
    EXPECT_FALSE(fs::exists(file()));
}

TEST_F(VisitDatabaseTest, FileIsOwnerOnly) {
    db();
    EXPECT_EQ(fs::status(file()).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

// The store's writer keeps the database beside the history file.
class VisitStoreTest : public TempFolder {
protected:
    const AppPaths paths = AppPaths::under(temp);
    std::vector<std::string> stored(std::string_view text) {
        VisitDatabase reader(paths.data / VisitDatabase::fileName, VisitDatabase::Access::ReadOnly);
        return urlsOf(reader.search(searchWords(text), 20));
    }
};

TEST_F(VisitStoreTest, WriterRecordsVisitsAndClearsThemWithTheHistory) {
    VeskStore store(paths);
    store.addHistory("https://a.example/", "A", VisitOrigin::Typed);
    store.addHistory("https://b.example/", "B");
    ASSERT_TRUE(store.writePending(std::chrono::seconds(5)));
    EXPECT_EQ(stored("example"),
              (std::vector<std::string>{"https://a.example/", "https://b.example/"}));
    {
        VisitDatabase reader(paths.data / VisitDatabase::fileName, VisitDatabase::Access::ReadOnly);
        EXPECT_EQ(reader.page("https://a.example/").typedCount, 1);
    }
    store.removeVisitedPage("https://a.example/");
    ASSERT_TRUE(store.writePending(std::chrono::seconds(5)));
    EXPECT_EQ(stored("example"), (std::vector<std::string>{"https://b.example/"}));
    // The history file keeps its own list.
    EXPECT_EQ(store.loadHistory().size(), 2u);
    store.clearHistory();
    ASSERT_TRUE(store.writePending(std::chrono::seconds(5)));
    EXPECT_TRUE(stored("example").empty());
    EXPECT_TRUE(store.loadHistory().empty());
}

TEST_F(VisitStoreTest, ClearVisitsSinceEmptiesBothFromThatMoment) {
    VeskStore store(paths);
    store.addHistory("https://early.example/", "Early");
    ASSERT_TRUE(store.writePending(std::chrono::seconds(5)));
    const auto cut = std::chrono::system_clock::now();
    store.addHistory("https://late.example/", "Late");
    // Cleared before it was ever written, and after.
    store.clearVisitsSince(cut);
    ASSERT_TRUE(store.writePending(std::chrono::seconds(5)));
    EXPECT_EQ(stored("example"), (std::vector<std::string>{"https://early.example/"}));
    ASSERT_EQ(store.loadHistory().size(), 1u);
    store.addHistory("https://late.example/", "Late");
    ASSERT_TRUE(store.writePending(std::chrono::seconds(5)));
    store.clearVisitsSince(cut);
    EXPECT_EQ(store.loadHistory().size(), 1u);
    ASSERT_TRUE(store.writePending(std::chrono::seconds(5)));
    EXPECT_EQ(stored("example"), (std::vector<std::string>{"https://early.example/"}));
    EXPECT_EQ(store.loadHistory().at(0).url, "https://early.example/");
}

} // namespace
