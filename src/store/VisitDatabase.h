#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace vesk {

// How a page was reached: an address the user typed counts for more when pages are
// suggested than a link followed.
enum class VisitOrigin { Link, Typed };

// One finished page load, as the long-term history records it.
struct VisitRecord {
    std::string url;
    std::string title;
    // Seconds since 1970-01-01 00:00 UTC.
    double time = 0;
    VisitOrigin origin = VisitOrigin::Link;
};

// One visited page, with what its visits add up to.
struct VisitedPage {
    std::string url;
    std::string title;
    int visitCount = 0;
    int typedCount = 0;
    // Seconds since 1970 of the newest visit.
    double lastVisit = 0;
    // The page's frecency (see frecencyOfVisit): higher ranks first.
    double frecency = 0;
};

// The weight of one visit at `time` in a page's frecency, on a log scale: a visit
// counts half as much for every frecencyHalfLife it lies back, and a typed one
// typedVisitWeight times as much as a followed link. A page's frecency is the
// log-sum of its visits' weights, so pages compare the same at any later moment and
// the database can keep them ordered by it.
double frecencyOfVisit(double time, VisitOrigin origin);

// The log-sum of two frecencies, exact also where exp() of either would overflow.
double addFrecency(double a, double b);

// The text a page is matched on: its address and title, case-folded.
std::string pageMatchText(std::string_view url, std::string_view title);

// The words of typed text, case-folded as pageMatchText folds, empty ones dropped; at
// most maxSearchWords of them.
std::vector<std::string> searchWords(std::string_view text);

// The long-term history: every finished page load of the last months in an SQLite
// database in the data folder (WAL mode, so readers never wait for the writer). The
// store's writer thread owns the one writable connection; each suggestion query runs on
// a read-only connection of its own. A file that SQLite cannot read as this database is
// set aside as damaged and a new one made, as with the other files.
class VisitDatabase {
public:
    static constexpr std::string_view fileName = "history.sqlite";
    // The database keeps the visits of this many days back, and at most this many.
    static constexpr double keptDays = 90;
    static constexpr std::size_t keptVisits = 100000;
    // A typed visit counts this many times as much as a followed link.
    static constexpr double typedVisitWeight = 4;
    // A visit counts half as much every this many seconds it lies back (two weeks).
    static constexpr double frecencyHalfLife = 14 * 24 * 3600.0;
    // Typed text is matched on at most this many words.
    static constexpr std::size_t maxSearchWords = 8;

    enum class Access { ReadWrite, ReadOnly };

    // Opens (ReadWrite: creates) the database at `file`. A read-write open that finds a
    // damaged file sets it aside and starts a new one; a read-only open of a missing or
    // damaged file is not open (isOpen() false) and finds nothing.
    VisitDatabase(std::filesystem::path file, Access access);
    ~VisitDatabase();
    VisitDatabase(const VisitDatabase&) = delete;
    VisitDatabase& operator=(const VisitDatabase&) = delete;

    bool isOpen() const { return db_ != nullptr; }
    const std::filesystem::path& file() const { return file_; }
    // Whether a statement found the file damaged since it was opened: it is set aside
    // at the next open.
    bool isDamaged() const { return isDamaged_; }

    // Records `visits` in one transaction. False when nothing could be written (a full
    // disk): the database stays as it was.
    bool addVisits(const std::vector<VisitRecord>& visits);
    // Removes every visit and page.
    bool clear();
    // Removes the visits at or after `time` (seconds since 1970), and the pages left
    // with none; the pages visited before keep what those earlier visits add up to.
    bool clearSince(double time);
    // Removes `url` and all of its visits.
    bool removePage(std::string_view url);
    // Drops the visits older than keptDays before `now` and the oldest past keptVisits,
    // and the pages left without visits. The background's work, now and then.
    bool prune(double now);

    // The pages matching every word of `words` (as searchWords gives them) in address
    // or title, highest frecency first, at most `limit` of them.
    std::vector<VisitedPage> search(const std::vector<std::string>& words, std::size_t limit);
    // Every page's match text (pageMatchText) and number, highest frecency first: what
    // a search index in memory is made from.
    struct MatchRow {
        long long id = 0;
        std::string text;
    };
    std::vector<MatchRow> matchRows();
    // The pages of `ids`, in that order; ids no longer stored are left out.
    std::vector<VisitedPage> pagesById(const std::vector<long long>& ids);
    // A number that changes whenever another connection changed the database.
    long long dataVersion();

    // The page stored for exactly `url`, if any (visitCount 0 when none).
    VisitedPage page(std::string_view url);
    // How many visits are kept.
    std::size_t visitCount();

private:
    bool open();
    bool exec(const char* sql);
    bool check(int result);
    bool recomputePages(const std::vector<long long>& pageIds);

    std::filesystem::path file_;
    Access access_;
    sqlite3* db_ = nullptr;
    bool isDamaged_ = false;
};

} // namespace vesk
