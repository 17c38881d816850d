#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "store/StoreWrite.h"

namespace vesk {

// What writing a batch came to.
enum class BatchResult {
    // The batch was taken and written.
    Written,
    // Another copy of the program kept a lock: what is left waits for the next try.
    LockBusy,
    // A file could not be written (a full disk, a read-only folder): its old file stays
    // as it was, and its writes wait in the queue for a later write or the next timed try.
    Failed
};

// The store's one writer thread. Changes are queued in the order they are made and
// handed over in batches, several at once when they come faster than the disk, so no
// caller waits for the disk or for another copy of the program holding a lock (the
// writer tries again until it gets it). The thread starts with the first write, so a
// child forked after that must make a store of its own.
class StoreWriter {
public:
    // Writes what is queued on the writer's thread, or on the caller's when there is no
    // thread to be had: it takes its locks, then the batch (takeBatch), and ends with
    // endBatch. It may wait `patience` for a lock.
    using BatchWriter = std::function<BatchResult(std::chrono::milliseconds patience)>;

    // How often the writer tries again while another copy of the program keeps a lock.
    static constexpr std::chrono::milliseconds retryInterval{250};
    // How often the writer tries again after a failed write while nothing new is queued.
    static constexpr std::chrono::milliseconds failedRetryInterval{10000};

    explicit StoreWriter(BatchWriter writeBatch);
    // Stops the thread as stop() does.
    ~StoreWriter();
    StoreWriter(const StoreWriter&) = delete;
    StoreWriter& operator=(const StoreWriter&) = delete;

    // The mutex that guards the queue and whatever the store keeps of its files beside it.
    // The writer never holds it while it touches a file.
    std::mutex& mutex() { return mutex_; }

    // The writes not yet taken, in the order they were made. Only with mutex() held.
    std::vector<StoreWrite>& queued() { return queued_; }
    // The batch being written. Only with mutex() held, or on the writing thread.
    const std::vector<StoreWrite>& writing() const { return writing_; }

    // Queues `write` and wakes the writer.
    void enqueue(StoreWrite write);

    // For the batch writer, once it holds its locks: moves everything queued into the
    // batch, which it then writes.
    std::vector<StoreWrite>& takeBatch();

    // For the batch writer, at its end: runs `publish` with mutex() held, puts `keptBack`
    // in front of the queue for the next try, and wakes those waiting for the writes.
    void endBatch(const std::function<void()>& publish, std::vector<StoreWrite> keptBack = {});

    // Waits at most `patience` for the queued writes to reach the disk. True when nothing
    // is left waiting.
    bool writePending(std::chrono::milliseconds patience);

    // Ends the thread after it wrote what is queued, waiting for a lock a last time for up
    // to a second; the batch writer is not called after this returns.
    void stop();

private:
    void run();
    BatchResult writeQueued(std::chrono::milliseconds patience);

    BatchWriter writeBatch_;
    std::mutex mutex_;
    // Wakes the writer: writes were queued, or the store is going.
    std::condition_variable wake_;
    // Wakes those waiting for writes: a batch is on disk.
    std::condition_variable written_;
    std::vector<StoreWrite> queued_;
    std::vector<StoreWrite> writing_;
    bool isStopping_ = false;
    // A write was queued since the last batch was taken: worth a try after a failure.
    bool hasNewWrites_ = false;
    bool isStopped_ = false;
    // How many callers wait for the writes: the writer then starts at once.
    int waiting_ = 0;
    std::thread thread_;
};

} // namespace vesk
