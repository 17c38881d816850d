#include "store/VeskStore.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <glib.h>

#include "store/HistoryFile.h"
#include "store/PlistData.h"
#include "store/PlistFile.h"
#include "store/StoreWriter.h"
#include "store/VaultFile.h"

namespace vesk {

namespace {

namespace fs = std::filesystem;

// How long a quit waits for the writes still queued.
constexpr std::chrono::milliseconds quitPatience{3000};

bool isStorableField(std::string_view text) {
    return text.size() <= VeskStore::textMaxBytes && isStorableText(text);
}

// Makes `folder` when it is missing and keeps it the owner's alone.
void prepareFolder(const fs::path& folder) {
    // History and passwords are private: the folder is the owner's alone, also when an
    // earlier version left it open to others. A link in its place is not followed.
    constexpr mode_t ownerOnly = S_IRWXU;
    g_mkdir_with_parents(folder.c_str(), ownerOnly);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    struct stat info {};
    if (fd >= 0 && fstat(fd, &info) == 0 && info.st_uid == geteuid() &&
        (info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        fchmod(fd, info.st_mode & ownerOnly);
    }
    if (fd >= 0) {
        close(fd);
    }
}

// Does the last session write of `batch`: each replaces or removes the whole file, so
// the last one is what the file must be.
FileWriteOutcome writeLastSession(const fs::path& file, const std::vector<StoreWrite>& batch) {
    const auto last = std::ranges::find_if(batch.rbegin(), batch.rend(),
                                           [](const StoreWrite& w) { return w.isSessionWrite(); });
    if (last == batch.rend()) {
        return FileWriteOutcome::NothingToWrite;
    }
    if (last->kind == StoreWrite::Kind::Session) {
        return writeSession(file, last->session) ? FileWriteOutcome::Written
                                                 : FileWriteOutcome::Failed;
    }
    removeSession(file);
    return FileWriteOutcome::Written;
}

// Saves the defaults of `batch` in order; from the first whose file's lock another copy
// keeps or whose file could not be written, they are handed back for the next try. Only
// the defaults leave the batch: the rest of each write stays for the readers of the
// writes in hand.
std::vector<StoreWrite> saveQueuedDefaults(std::vector<StoreWrite>& batch,
                                           std::chrono::milliseconds patience,
                                           SaveOutcome& firstMiss) {
    std::vector<StoreWrite> keptBack;
    firstMiss = SaveOutcome::Saved;
    for (StoreWrite& write : batch) {
        if (write.kind != StoreWrite::Kind::Defaults) {
            continue;
        }
        if (keptBack.empty()) {
            firstMiss = write.defaults->save(patience);
            if (firstMiss == SaveOutcome::Saved) {
                continue;
            }
        }
        keptBack.emplace_back(StoreWrite::Kind::Defaults).defaults = std::move(write.defaults);
    }
    return keptBack;
}

// The writes of `batch` whose file could not be written, in order, for the next try. Of
// the visits only the newest historyLimit stay: the history keeps no more, and a disk
// that stays full must not make the queue grow without end.
std::vector<StoreWrite> failedWrites(std::vector<StoreWrite>& batch, FileWriteOutcome history,
                                     FileWriteOutcome vault, FileWriteOutcome session) {
    std::vector<StoreWrite> kept;
    std::size_t visits = 0;
    for (auto write = batch.rbegin(); write != batch.rend(); ++write) {
        const bool isFailed =
            (write->isHistoryWrite() && history == FileWriteOutcome::Failed) ||
            (write->isVaultWrite() && vault == FileWriteOutcome::Failed) ||
            (write->kind == StoreWrite::Kind::Session && session == FileWriteOutcome::Failed);
        if (!isFailed ||
            (write->kind == StoreWrite::Kind::Visit && ++visits > VeskStore::historyLimit)) {
            continue;
        }
        // Only the last session write counts, and visits before a clear are never written.
        if (write->kind == StoreWrite::Kind::Session) {
            session = FileWriteOutcome::Written;
        }
        if (write->kind == StoreWrite::Kind::ClearHistory && !write->clearSince) {
            history = FileWriteOutcome::Written;
        }
        kept.push_back(std::move(*write));
    }
    std::ranges::reverse(kept);
    return kept;
}

// How many visits the long-term history records between two prunes.
constexpr std::size_t visitsBetweenPrunes = 1000;

double secondsNow() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace

// What the store knows of its files, guarded by the writer's mutex; lastWritten is the
// writing thread's alone.
struct VeskStore::State {
    explicit State(AppPaths folders) : paths(std::move(folders)) {}

    AppPaths paths;
    // The history and the vault as last read or written, and how the files looked then.
    HistoryFile history;
    VaultFile vault;
    // The history file as the writer last left it.
    HistoryFile lastWritten;
    // The long-term history, opened by the writer thread at its first write; its alone.
    std::unique_ptr<VisitDatabase> visits;
    // Visits recorded since the long-term history was last pruned.
    std::size_t visitsSincePrune = 0;
    // Whether the last batch found a file it could not write; with the handler told of it
    // on the main loop, shared with the idle callback that may outlive the store.
    bool isSavingFailing = false;
    std::shared_ptr<std::function<void()>> savingFailedHandler =
        std::make_shared<std::function<void()>>();
    // Declared last: it goes first, while what its batches use is still there.
    std::unique_ptr<StoreWriter> writer;
};

VeskStore& VeskStore::shared() {
    static VeskStore store(AppPaths::forUser());
    return store;
}

VeskStore::VeskStore(AppPaths paths) : state_(std::make_unique<State>(std::move(paths))) {
    state_->writer = std::make_unique<StoreWriter>(
        [this](std::chrono::milliseconds patience) { return writeBatch(patience); });
}

VeskStore::~VeskStore() {
    state_->writer->stop();
}

AppPaths VeskStore::paths() const {
    std::lock_guard lock(state_->writer->mutex());
    return state_->paths;
}

void VeskStore::usePaths(AppPaths paths) {
    writePending(quitPatience);
    std::lock_guard lock(state_->writer->mutex());
    state_->paths = std::move(paths);
}

fs::path VeskStore::sessionFile() const {
    return paths().data / sessionFileName;
}

fs::path VeskStore::defaultsFile() const {
    return paths().config / defaultsFileName;
}

std::vector<HistoryEntry> VeskStore::loadHistory() {
    State& s = *state_;
    std::lock_guard lock(s.writer->mutex());
    s.history.refresh(s.paths.data / historyFileName);
    // Writes not yet on disk show as if they were done.
    std::vector<HistoryEntry> entries = s.history.entries;
    HistoryFile::applyPending(entries, s.writer->writing());
    HistoryFile::applyPending(entries, s.writer->queued());
    return entries;
}

void VeskStore::clearHistory() {
    {
        // Visits still queued are cleared with the rest, never written.
        std::lock_guard lock(state_->writer->mutex());
        std::erase_if(state_->writer->queued(),
                      [](const StoreWrite& write) { return write.isVisitDatabaseWrite(); });
    }
    enqueue(StoreWrite(StoreWrite::Kind::ClearHistory));
}

void VeskStore::clearHistorySince(double since) {
    StoreWrite clear(StoreWrite::Kind::ClearHistory);
    clear.clearSince = since;
    enqueue(std::move(clear));
}

void VeskStore::addHistory(std::optional<std::string_view> url,
                           std::optional<std::string_view> title, VisitOrigin origin) {
    if (auto visit = HistoryFile::visit(url, title)) {
        StoreWrite write(StoreWrite::Kind::Visit);
        write.visit = std::move(*visit);
        write.origin = origin;
        enqueue(std::move(write));
    }
}

void VeskStore::clearVisitsSince(std::chrono::system_clock::time_point since) {
    clearHistorySince(std::chrono::duration<double>(since.time_since_epoch()).count());
}

void VeskStore::removeVisitedPage(std::string_view url) {
    StoreWrite write(StoreWrite::Kind::RemoveVisitedPage);
    write.visit.url = std::string(url);
    enqueue(std::move(write));
}

fs::path VeskStore::visitDatabaseFile() const {
    return paths().data / VisitDatabase::fileName;
}

void VeskStore::savePassword(std::optional<std::string_view> user,
                             std::optional<std::string_view> pass,
                             std::optional<std::string_view> host) {
    savePassword(user, pass, host, PageSecurity::Insecure);
}

void VeskStore::savePassword(std::optional<std::string_view> user,
                             std::optional<std::string_view> pass,
                             std::optional<std::string_view> host, PageSecurity security,
                             std::string_view origin) {
    if (!host || host->empty()) {
        return;
    }
    const std::string_view userText = user.value_or(std::string_view());
    const std::string_view passText = pass.value_or(std::string_view());
    // A password is stored exactly or not at all: a changed one would be of no use.
    if (!isStorableField(*host) || !isStorableField(userText) || !isStorableField(passText)) {
        return;
    }
    StoreWrite write(StoreWrite::Kind::Password);
    // An origin that cannot be stored is left out: the record then fills nothing.
    write.record = SavedPassword{std::string(*host), std::string(userText), std::string(passText),
                                 security, isStorableField(origin) ? std::string(origin) : ""};
    enqueue(std::move(write));
}

std::vector<SavedPassword> VeskStore::loadPasswords() {
    State& s = *state_;
    std::lock_guard lock(s.writer->mutex());
    s.vault.refresh(s.paths.data);
    auto records = s.vault.records;
    for (const auto* writes : {&s.writer->writing(), &std::as_const(s.writer->queued())}) {
        for (const StoreWrite& write : *writes) {
            VaultFile::apply(records, write);
        }
    }
    std::vector<SavedPassword> passwords;
    passwords.reserve(records.size());
    for (auto& [host, record] : records) {
        passwords.push_back(std::move(record));
    }
    return passwords;
}

std::optional<SavedPassword> VeskStore::savedPasswordFor(std::string_view host) {
    for (SavedPassword& record : loadPasswords()) {
        if (record.host == host) {
            return std::move(record);
        }
    }
    return std::nullopt;
}

void VeskStore::removePassword(std::string_view host) {
    StoreWrite write(StoreWrite::Kind::RemovePassword);
    write.record.host = std::string(host);
    enqueue(std::move(write));
}

void VeskStore::removeAllPasswords() {
    enqueue(StoreWrite(StoreWrite::Kind::RemoveAllPasswords));
}

void VeskStore::writeSession(const SessionState& state) {
    StoreWrite write(StoreWrite::Kind::Session);
    write.session = state;
    enqueue(std::move(write));
}

void VeskStore::removeSession() {
    enqueue(StoreWrite(StoreWrite::Kind::RemoveSession));
}

void VeskStore::saveDefaults(UserDefaults defaults) {
    StoreWrite write(StoreWrite::Kind::Defaults);
    write.defaults.emplace(std::move(defaults));
    enqueue(std::move(write));
}

bool VeskStore::writePending(std::chrono::milliseconds patience) {
    return state_->writer->writePending(patience);
}

void VeskStore::waitForWrites() {
    writePending(quitPatience);
}

void VeskStore::enqueue(StoreWrite write) {
    state_->writer->enqueue(std::move(write));
}

bool VeskStore::isSavingFailing() const {
    std::lock_guard lock(state_->writer->mutex());
    return state_->isSavingFailing;
}

void VeskStore::onSavingFailed(std::function<void()> handler) {
    std::lock_guard lock(state_->writer->mutex());
    *state_->savingFailedHandler = std::move(handler);
}

// Does the long-term history's writes of `batch` in order. The database keeps its own
// transactions: a write the disk refused leaves it as it was and is tried again with the
// history file's, and one it took is not done twice.
void VeskStore::writeVisits(State& s, const fs::path& folder, std::vector<StoreWrite>& batch) {
    const auto isPending = [](const StoreWrite& w) {
        return w.isVisitDatabaseWrite() && !w.isInVisitDatabase;
    };
    if (std::ranges::none_of(batch, isPending))
        return;
    const fs::path file = folder / VisitDatabase::fileName;
    if (!s.visits || !s.visits->isOpen() || s.visits->isDamaged() || s.visits->file() != file) {
        s.visits.reset();
        s.visits = std::make_unique<VisitDatabase>(file, VisitDatabase::Access::ReadWrite);
        s.visitsSincePrune = visitsBetweenPrunes;
    }
    VisitDatabase& db = *s.visits;
    std::vector<VisitRecord> visits;
    std::vector<StoreWrite*> visitWrites;
    auto done = [](StoreWrite& write, bool isDone) { write.isInVisitDatabase = isDone; };
    auto flush = [&] {
        const bool isAdded = db.addVisits(visits);
        for (StoreWrite* write : visitWrites)
            done(*write, isAdded);
        s.visitsSincePrune += isAdded ? visits.size() : 0;
        visits.clear();
        visitWrites.clear();
    };
    for (StoreWrite& write : batch) {
        if (!isPending(write))
            continue;
        switch (write.kind) {
        case StoreWrite::Kind::Visit:
            visits.push_back(VisitRecord{*write.visit.url, write.visit.title.value_or(""),
                                         write.visit.date.value_or(secondsNow()), write.origin});
            visitWrites.push_back(&write);
            break;
        case StoreWrite::Kind::ClearHistory:
            if (write.clearSince) {
                flush();
                done(write, db.clearSince(*write.clearSince));
                break;
            }
            // Visits before a clear are never written.
            for (StoreWrite* visit : visitWrites)
                done(*visit, true);
            visits.clear();
            visitWrites.clear();
            done(write, db.clear());
            removeSetAsideCopies(file);
            break;
        case StoreWrite::Kind::RemoveVisitedPage:
            flush();
            done(write, db.removePage(*write.visit.url));
            break;
        default:
            break;
        }
    }
    flush();
    if (s.visitsSincePrune >= visitsBetweenPrunes && db.prune(secondsNow()))
        s.visitsSincePrune = 0;
}

BatchResult VeskStore::writeBatch(std::chrono::milliseconds patience) {
    State& s = *state_;
    StoreWriter& writer = *s.writer;
    fs::path folder;
    {
        std::lock_guard lock(writer.mutex());
        folder = s.paths.data;
    }
    prepareFolder(folder);
    const FileLock held(folder / ".lock", patience);
    if (held.isBusy()) {
        return BatchResult::LockBusy;
    }
    // Everything queued by now goes in this one batch: the history's writes in order,
    // then the vault's, the session's and the defaults'.
    std::vector<StoreWrite>& batch = writer.takeBatch();
    const FileWriteOutcome history = s.lastWritten.write(folder / historyFileName, batch, held);
    std::optional<VaultFile> vault;
    FileWriteOutcome vaultOutcome = FileWriteOutcome::NothingToWrite;
    if (std::ranges::any_of(batch, [](const StoreWrite& w) { return w.isVaultWrite(); })) {
        vault = VaultFile::write(folder, batch, held);
        vaultOutcome = vault ? FileWriteOutcome::Written : FileWriteOutcome::Failed;
    }
    writeVisits(s, folder, batch);
    const FileWriteOutcome session = writeLastSession(folder / sessionFileName, batch);
    SaveOutcome defaults = SaveOutcome::Saved;
    std::vector<StoreWrite> keptBack = saveQueuedDefaults(batch, patience, defaults);
    std::vector<StoreWrite> failed = failedWrites(batch, history, vaultOutcome, session);
    const bool isFailed = !failed.empty() || defaults == SaveOutcome::Failed;
    keptBack.insert(keptBack.begin(), std::make_move_iterator(failed.begin()),
                    std::make_move_iterator(failed.end()));
    bool isNewFailure = false;
    writer.endBatch(
        [&] {
            if (history == FileWriteOutcome::Written) {
                s.history = s.lastWritten;
            }
            if (vault) {
                s.vault = std::move(*vault);
            }
            isNewFailure = isFailed && !s.isSavingFailing;
            s.isSavingFailing = isFailed;
        },
        std::move(keptBack));
    if (isNewFailure) {
        // Told on the main loop, where the window lives, and only once until saving works.
        auto* handler = new std::shared_ptr<std::function<void()>>(s.savingFailedHandler);
        g_idle_add_full(
            G_PRIORITY_DEFAULT_IDLE,
            [](gpointer data) {
                const auto& call = *static_cast<std::shared_ptr<std::function<void()>>*>(data);
                if (*call) {
                    (*call)();
                }
                return G_SOURCE_REMOVE;
            },
            handler,
            [](gpointer data) {
                delete static_cast<std::shared_ptr<std::function<void()>>*>(data);
            });
    }
    if (isFailed) {
        return BatchResult::Failed;
    }
    return defaults == SaveOutcome::LockBusy ? BatchResult::LockBusy : BatchResult::Written;
}

} // namespace vesk
