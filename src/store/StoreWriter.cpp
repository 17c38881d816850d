#include "store/StoreWriter.h"

#include <system_error>
#include <utility>

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include "store/PlistFile.h"

namespace vesk {

namespace {

// How long the last write before the store goes away may wait for a lock.
constexpr std::chrono::milliseconds finalPatience{1000};
// How long the writer waits for a lock at a time; it is never the UI thread.
constexpr std::chrono::milliseconds writerPatience{1000};
// How long the writer lets writes gather before it starts.
constexpr std::chrono::milliseconds gatherDelay{50};
// The writer thread's nice value: well behind the UI thread.
constexpr int writerNice = 10;

} // namespace

StoreWriter::StoreWriter(BatchWriter writeBatch) : writeBatch_(std::move(writeBatch)) {}

StoreWriter::~StoreWriter() {
    stop();
}

void StoreWriter::stop() {
    {
        std::lock_guard lock(mutex_);
        if (isStopped_) {
            return;
        }
        isStopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
    // Without a writer thread the writes are done here.
    writeQueued(finalPatience);
    std::lock_guard lock(mutex_);
    isStopped_ = true;
}

void StoreWriter::enqueue(StoreWrite write) {
    bool hasThread = true;
    {
        std::lock_guard lock(mutex_);
        queued_.push_back(std::move(write));
        hasNewWrites_ = true;
        if (!thread_.joinable() && !isStopping_) {
            try {
                thread_ = std::thread(&StoreWriter::run, this);
            } catch (const std::system_error&) {
                // No thread to be had: the write is done here, as it always was.
            }
        }
        hasThread = thread_.joinable();
    }
    wake_.notify_one();
    if (!hasThread) {
        writeQueued(lockPatience);
    }
}

std::vector<StoreWrite>& StoreWriter::takeBatch() {
    std::lock_guard lock(mutex_);
    writing_ = std::move(queued_);
    queued_.clear();
    hasNewWrites_ = false;
    return writing_;
}

void StoreWriter::endBatch(const std::function<void()>& publish, std::vector<StoreWrite> keptBack) {
    {
        std::lock_guard lock(mutex_);
        publish();
        writing_.clear();
        queued_.insert(queued_.begin(), std::make_move_iterator(keptBack.begin()),
                       std::make_move_iterator(keptBack.end()));
    }
    written_.notify_all();
}

bool StoreWriter::writePending(std::chrono::milliseconds patience) {
    std::unique_lock lock(mutex_);
    if (!thread_.joinable()) {
        lock.unlock();
        return writeQueued(patience) == BatchResult::Written;
    }
    ++waiting_;
    wake_.notify_all();
    const bool isDone =
        written_.wait_for(lock, patience, [&] { return queued_.empty() && writing_.empty(); });
    --waiting_;
    return isDone;
}

void StoreWriter::run() {
    // The writer gives way to the UI thread: woken by a page that finished, it must not
    // take the processor from the frame that page is still drawing. A batch thread never
    // preempts on waking, and a nice of 10 keeps its share small while both are busy.
    const sched_param batch{};
    pthread_setschedparam(pthread_self(), SCHED_BATCH, &batch);
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), writerNice);
    for (;;) {
        bool isLast = false;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return !queued_.empty() || isStopping_; });
            if (queued_.empty()) {
                return;
            }
            // Writes a moment apart go together, and the writer's work falls after the
            // frame of the page that finished rather than into it.
            wake_.wait_for(lock, gatherDelay, [&] { return isStopping_ || waiting_ > 0; });
            isLast = isStopping_;
        }
        const BatchResult result = writeQueued(isLast ? finalPatience : writerPatience);
        if (result == BatchResult::Written) {
            continue;
        }
        // Another copy of the program keeps a lock, or the disk refused a write: try again
        // a little later, or give up when the store is going and has waited its last.
        std::unique_lock lock(mutex_);
        if (isLast) {
            queued_.clear();
            written_.notify_all();
            return;
        }
        if (result == BatchResult::LockBusy) {
            wake_.wait_for(lock, retryInterval, [&] { return isStopping_; });
        } else {
            // A full disk stays full for a while: the next write, or a timer, tries again.
            wake_.wait_for(lock, failedRetryInterval, [&] { return isStopping_ || hasNewWrites_; });
        }
    }
}

BatchResult StoreWriter::writeQueued(std::chrono::milliseconds patience) {
    {
        std::lock_guard lock(mutex_);
        if (queued_.empty()) {
            return BatchResult::Written;
        }
    }
    return writeBatch_(patience);
}

} // namespace vesk
