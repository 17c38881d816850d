#include "store/VisitDatabase.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

#include <glib.h>
#include <sqlite3.h>

#include "store/PlistFile.h"

namespace vesk {

namespace {

namespace fs = std::filesystem;

constexpr int schemaVersion = 1;
constexpr double secondsPerDay = 24 * 3600.0;
// How long a connection waits for another copy of the program's write.
constexpr int writerBusyMillis = 1000;
constexpr int readerBusyMillis = 100;

constexpr const char* schema = R"sql(
CREATE TABLE IF NOT EXISTS pages(
  id INTEGER PRIMARY KEY,
  url TEXT NOT NULL UNIQUE,
  title TEXT NOT NULL DEFAULT '',
  match_text TEXT NOT NULL DEFAULT '',
  visit_count INTEGER NOT NULL DEFAULT 0,
  typed_count INTEGER NOT NULL DEFAULT 0,
  last_visit REAL NOT NULL DEFAULT 0,
  frecency REAL NOT NULL DEFAULT 0);
CREATE INDEX IF NOT EXISTS pages_by_frecency ON pages(frecency DESC);
CREATE TABLE IF NOT EXISTS visits(
  id INTEGER PRIMARY KEY,
  page_id INTEGER NOT NULL,
  time REAL NOT NULL,
  typed INTEGER NOT NULL DEFAULT 0);
CREATE INDEX IF NOT EXISTS visits_by_page ON visits(page_id);
CREATE INDEX IF NOT EXISTS visits_by_time ON visits(time);
)sql";

// Every column the program reads, so that a database of another shape shows at once.
constexpr const char* shapeCheck =
    "SELECT id, url, title, match_text, visit_count, typed_count, last_visit, frecency "
    "FROM pages LIMIT 0; SELECT id, page_id, time, typed FROM visits LIMIT 0;";

struct StatementDeleter {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

Statement prepare(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &statement, nullptr);
    return Statement(statement);
}

void bindText(sqlite3_stmt* statement, int index, std::string_view text) {
    sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

std::string columnText(sqlite3_stmt* statement, int column) {
    const auto* text = sqlite3_column_text(statement, column);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<std::size_t>(sqlite3_column_bytes(statement, column)))
                : std::string();
}

VisitedPage readPage(sqlite3_stmt* statement) {
    return VisitedPage{columnText(statement, 0),
                       columnText(statement, 1),
                       sqlite3_column_int(statement, 2),
                       sqlite3_column_int(statement, 3),
                       sqlite3_column_double(statement, 4),
                       sqlite3_column_double(statement, 5)};
}

// addFrecency as an SQL function, for the upsert of a visited page.
void sqlAddFrecency(sqlite3_context* context, int, sqlite3_value** values) {
    sqlite3_result_double(
        context, addFrecency(sqlite3_value_double(values[0]), sqlite3_value_double(values[1])));
}

std::string casefold(std::string_view text) {
    // Text that is not UTF-8 (a title is always checked before it is stored; an
    // address may hold anything) is matched byte for byte, lower-cased as ASCII.
    if (!g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) {
        std::string lower(text);
        std::ranges::transform(lower, lower.begin(), [](unsigned char c) {
            return static_cast<char>(g_ascii_tolower(static_cast<gchar>(c)));
        });
        return lower;
    }
    // Composed and decomposed accents match each other.
    gchar* composed =
        g_utf8_normalize(text.data(), static_cast<gssize>(text.size()), G_NORMALIZE_NFC);
    gchar* folded = g_utf8_casefold(composed, -1);
    std::string result(folded);
    g_free(folded);
    g_free(composed);
    return result;
}

} // namespace

double frecencyOfVisit(double time, VisitOrigin origin) {
    const double weight = origin == VisitOrigin::Typed ? VisitDatabase::typedVisitWeight : 1.0;
    return std::log(weight) + time * std::numbers::ln2 / VisitDatabase::frecencyHalfLife;
}

double addFrecency(double a, double b) {
    if (std::isnan(a) || std::isinf(a))
        return b;
    if (std::isnan(b) || std::isinf(b))
        return a;
    const double high = std::max(a, b);
    return high + std::log1p(std::exp(std::min(a, b) - high));
}

std::string pageMatchText(std::string_view url, std::string_view title) {
    std::string text = casefold(url);
    text += '\n';
    text += casefold(title);
    return text;
}

std::vector<std::string> searchWords(std::string_view text) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < text.size() && words.size() < VisitDatabase::maxSearchWords) {
        const std::size_t end = std::min(text.find_first_of(" \t\n\r\f\v", start), text.size());
        if (end > start)
            words.push_back(casefold(text.substr(start, end - start)));
        start = end + 1;
    }
    std::erase_if(words, [](const std::string& word) { return word.empty(); });
    return words;
}

VisitDatabase::VisitDatabase(fs::path file, Access access)
    : file_(std::move(file)), access_(access) {
    if (open())
        return;
    if (access_ == Access::ReadOnly || !isDamaged_)
        return;
    // A file SQLite cannot read as ours is kept aside, whole, and a new one made.
    setAsideDamagedFile(file_);
    for (const char* companion : {"-wal", "-shm", "-journal"}) {
        fs::path path = file_;
        path += companion;
        std::error_code ignored;
        fs::remove(path, ignored);
    }
    isDamaged_ = false;
    open();
}

VisitDatabase::~VisitDatabase() {
    if (db_)
        sqlite3_close_v2(db_);
}

bool VisitDatabase::check(int result) {
    const int primary = result & 0xff;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
        isDamaged_ = true;
    return result == SQLITE_OK || result == SQLITE_DONE || result == SQLITE_ROW;
}

bool VisitDatabase::exec(const char* sql) {
    return db_ && check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr));
}

bool VisitDatabase::open() {
    const bool isReadOnly = access_ == Access::ReadOnly;
    const int flags =
        (isReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE) |
        SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_NOFOLLOW;
    sqlite3* db = nullptr;
    const int opened = sqlite3_open_v2(file_.c_str(), &db, flags, nullptr);
    if (opened != SQLITE_OK) {
        check(opened);
        sqlite3_close_v2(db);
        return false;
    }
    db_ = db;
    if (!isReadOnly) {
        // Visits are history: private to the user, like the other files.
        chmod(file_.c_str(), S_IRUSR | S_IWUSR);
    }
    sqlite3_busy_timeout(db_, isReadOnly ? readerBusyMillis : writerBusyMillis);
    sqlite3_create_function(db_, "vesk_add_frecency", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                            nullptr, sqlAddFrecency, nullptr, nullptr);
    bool isReady = true;
    if (!isReadOnly) {
        // NORMAL loses at most the last visits on a power cut, never the database.
        isReady = exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;") && exec(schema) &&
                  exec(("PRAGMA user_version=" + std::to_string(schemaVersion)).c_str());
    }
    isReady = isReady && exec(shapeCheck);
    if (!isReady) {
        // A database of another shape is as unusable as a damaged one.
        if (!isReadOnly && sqlite3_errcode(db_) == SQLITE_ERROR)
            isDamaged_ = true;
        sqlite3_close_v2(db_);
        db_ = nullptr;
        return false;
    }
    return true;
}

bool VisitDatabase::addVisits(const std::vector<VisitRecord>& visits) {
    if (!db_ || visits.empty())
        return db_ != nullptr;
    Statement upsert = prepare(
        db_, "INSERT INTO pages(url, title, match_text, visit_count, typed_count, last_visit, "
             "frecency) VALUES(?1, ?2, ?3, 1, ?4, ?5, ?6) ON CONFLICT(url) DO UPDATE SET "
             "title = excluded.title, match_text = excluded.match_text, "
             "visit_count = visit_count + 1, typed_count = typed_count + excluded.typed_count, "
             "last_visit = max(last_visit, excluded.last_visit), "
             "frecency = vesk_add_frecency(frecency, excluded.frecency) RETURNING id");
    Statement insertVisit =
        prepare(db_, "INSERT INTO visits(page_id, time, typed) VALUES(?1, ?2, ?3)");
    if (!upsert || !insertVisit || !exec("BEGIN IMMEDIATE"))
        return false;
    bool isWritten = true;
    for (const VisitRecord& visit : visits) {
        const int typed = visit.origin == VisitOrigin::Typed ? 1 : 0;
        sqlite3_reset(upsert.get());
        bindText(upsert.get(), 1, visit.url);
        bindText(upsert.get(), 2, visit.title);
        bindText(upsert.get(), 3, pageMatchText(visit.url, visit.title));
        sqlite3_bind_int(upsert.get(), 4, typed);
        sqlite3_bind_double(upsert.get(), 5, visit.time);
        sqlite3_bind_double(upsert.get(), 6, frecencyOfVisit(visit.time, visit.origin));
        if (sqlite3_step(upsert.get()) != SQLITE_ROW) {
            isWritten = false;
            break;
        }
        const sqlite3_int64 pageId = sqlite3_column_int64(upsert.get(), 0);
        sqlite3_reset(upsert.get());
        sqlite3_reset(insertVisit.get());
        sqlite3_bind_int64(insertVisit.get(), 1, pageId);
        sqlite3_bind_double(insertVisit.get(), 2, visit.time);
        sqlite3_bind_int(insertVisit.get(), 3, typed);
        if (!check(sqlite3_step(insertVisit.get()))) {
            isWritten = false;
            break;
        }
    }
    if (!isWritten) {
        check(sqlite3_errcode(db_));
        exec("ROLLBACK");
        return false;
    }
    return exec("COMMIT") || (exec("ROLLBACK"), false);
}

bool VisitDatabase::clear() {
    return exec("BEGIN IMMEDIATE; DELETE FROM visits; DELETE FROM pages; COMMIT;") ||
           (exec("ROLLBACK"), false);
}

bool VisitDatabase::recomputePages(const std::vector<long long>& pageIds) {
    Statement visitsOf = prepare(db_, "SELECT time, typed FROM visits WHERE page_id = ?1");
    Statement update = prepare(db_, "UPDATE pages SET visit_count = ?2, typed_count = ?3, "
                                    "last_visit = ?4, frecency = ?5 WHERE id = ?1");
    Statement remove = prepare(db_, "DELETE FROM pages WHERE id = ?1");
    if (!visitsOf || !update || !remove)
        return false;
    for (const long long id : pageIds) {
        sqlite3_reset(visitsOf.get());
        sqlite3_bind_int64(visitsOf.get(), 1, id);
        int count = 0;
        int typedCount = 0;
        double last = 0;
        double frecency = -std::numeric_limits<double>::infinity();
        int step = SQLITE_ROW;
        while ((step = sqlite3_step(visitsOf.get())) == SQLITE_ROW) {
            const double time = sqlite3_column_double(visitsOf.get(), 0);
            const bool isTyped = sqlite3_column_int(visitsOf.get(), 1) != 0;
            ++count;
            typedCount += isTyped ? 1 : 0;
            last = std::max(last, time);
            frecency = addFrecency(
                frecency, frecencyOfVisit(time, isTyped ? VisitOrigin::Typed : VisitOrigin::Link));
        }
        if (!check(step))
            return false;
        sqlite3_stmt* statement = count == 0 ? remove.get() : update.get();
        sqlite3_reset(statement);
        sqlite3_bind_int64(statement, 1, id);
        if (count > 0) {
            sqlite3_bind_int(statement, 2, count);
            sqlite3_bind_int(statement, 3, typedCount);
            sqlite3_bind_double(statement, 4, last);
            sqlite3_bind_double(statement, 5, frecency);
        }
        if (!check(sqlite3_step(statement)))
            return false;
    }
    return true;
}

bool VisitDatabase::clearSince(double time) {
    if (!db_ || !exec("BEGIN IMMEDIATE"))
        return false;
    std::vector<long long> touched;
    Statement pages = prepare(db_, "SELECT DISTINCT page_id FROM visits WHERE time >= ?1");
    Statement remove = prepare(db_, "DELETE FROM visits WHERE time >= ?1");
    bool isDone = pages && remove;
    if (isDone) {
        sqlite3_bind_double(pages.get(), 1, time);
        while (sqlite3_step(pages.get()) == SQLITE_ROW)
            touched.push_back(sqlite3_column_int64(pages.get(), 0));
        sqlite3_bind_double(remove.get(), 1, time);
        isDone = check(sqlite3_step(remove.get())) && recomputePages(touched);
    }
    if (isDone && exec("COMMIT"))
        return true;
    exec("ROLLBACK");
    return false;
}

bool VisitDatabase::removePage(std::string_view url) {
    if (!db_ || !exec("BEGIN IMMEDIATE"))
        return false;
    Statement visits =
        prepare(db_, "DELETE FROM visits WHERE page_id IN (SELECT id FROM pages WHERE url = ?1)");
    Statement page = prepare(db_, "DELETE FROM pages WHERE url = ?1");
    bool isDone = visits && page;
    if (isDone) {
        bindText(visits.get(), 1, url);
        bindText(page.get(), 1, url);
        isDone = check(sqlite3_step(visits.get())) && check(sqlite3_step(page.get()));
    }
    if (isDone && exec("COMMIT"))
        return true;
    exec("ROLLBACK");
    return false;
}

bool VisitDatabase::prune(double now) {
    if (!db_ || !exec("BEGIN IMMEDIATE"))
        return false;
    // The visits to drop: too old, or past the newest keptVisits.
    const std::string dropped = "SELECT id FROM visits WHERE time < ?1 OR id IN (SELECT id "
                                "FROM visits ORDER BY time DESC LIMIT -1 OFFSET " +
                                std::to_string(keptVisits) + ")";
    Statement pages =
        prepare(db_, "SELECT DISTINCT page_id FROM visits WHERE id IN (" + dropped + ")");
    Statement remove = prepare(db_, "DELETE FROM visits WHERE id IN (" + dropped + ")");
    bool isDone = pages && remove;
    if (isDone) {
        const double oldest = now - keptDays * secondsPerDay;
        std::vector<long long> touched;
        sqlite3_bind_double(pages.get(), 1, oldest);
        while (sqlite3_step(pages.get()) == SQLITE_ROW)
            touched.push_back(sqlite3_column_int64(pages.get(), 0));
        sqlite3_bind_double(remove.get(), 1, oldest);
        isDone = touched.empty() || (check(sqlite3_step(remove.get())) && recomputePages(touched));
    }
    if (isDone && exec("COMMIT"))
        return true;
    exec("ROLLBACK");
    return false;
}

std::vector<VisitedPage> VisitDatabase::search(const std::vector<std::string>& words,
                                               std::size_t limit) {
    std::vector<VisitedPage> found;
    if (!db_ || limit == 0)
        return found;
    std::string sql = "SELECT url, title, visit_count, typed_count, last_visit, frecency "
                      "FROM pages";
    for (std::size_t i = 0; i < words.size(); ++i)
        sql += (i == 0 ? " WHERE " : " AND ") + std::string("instr(match_text, ?") +
               std::to_string(i + 1) + ") > 0";
    sql += " ORDER BY frecency DESC LIMIT " + std::to_string(limit);
    Statement query = prepare(db_, sql);
    if (!query)
        return found;
    for (std::size_t i = 0; i < words.size(); ++i)
        bindText(query.get(), static_cast<int>(i + 1), words[i]);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(query.get())) == SQLITE_ROW)
        found.push_back(readPage(query.get()));
    check(step);
    return found;
}

std::vector<VisitDatabase::MatchRow> VisitDatabase::matchRows() {
    std::vector<MatchRow> rows;
    if (!db_)
        return rows;
    Statement query = prepare(db_, "SELECT id, match_text FROM pages ORDER BY frecency DESC");
    if (!query)
        return rows;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(query.get())) == SQLITE_ROW)
        rows.push_back({sqlite3_column_int64(query.get(), 0), columnText(query.get(), 1)});
    check(step);
    return rows;
}

std::vector<VisitedPage> VisitDatabase::pagesById(const std::vector<long long>& ids) {
    std::vector<VisitedPage> found;
    if (!db_)
        return found;
    Statement query = prepare(db_, "SELECT url, title, visit_count, typed_count, last_visit, "
                                   "frecency FROM pages WHERE id = ?1");
    if (!query)
        return found;
    for (const long long id : ids) {
        sqlite3_reset(query.get());
        sqlite3_bind_int64(query.get(), 1, id);
        if (sqlite3_step(query.get()) == SQLITE_ROW)
            found.push_back(readPage(query.get()));
    }
    return found;
}

long long VisitDatabase::dataVersion() {
    if (!db_)
        return -1;
    Statement query = prepare(db_, "PRAGMA data_version");
    if (!query || sqlite3_step(query.get()) != SQLITE_ROW)
        return -1;
    return sqlite3_column_int64(query.get(), 0);
}

VisitedPage VisitDatabase::page(std::string_view url) {
    if (!db_)
        return {};
    Statement query = prepare(db_, "SELECT url, title, visit_count, typed_count, last_visit, "
                                   "frecency FROM pages WHERE url = ?1");
    if (!query)
        return {};
    bindText(query.get(), 1, url);
    return sqlite3_step(query.get()) == SQLITE_ROW ? readPage(query.get()) : VisitedPage{};
}

std::size_t VisitDatabase::visitCount() {
    if (!db_)
        return 0;
    Statement query = prepare(db_, "SELECT count(*) FROM visits");
    if (!query || sqlite3_step(query.get()) != SQLITE_ROW)
        return 0;
    return static_cast<std::size_t>(sqlite3_column_int64(query.get(), 0));
}

} // namespace vesk
