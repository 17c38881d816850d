#pragma once

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "store/VisitDatabase.h"

namespace vesk {

// Searches the long-term history on a thread of its own, so that typing never waits for
// the disk. Only the newest question counts: one asked while another runs replaces any
// still waiting, and its answer reaches the main loop (GLib's default context) unless a
// newer question was asked meanwhile.
class VisitSearch {
public:
    // The answer for `text`: its matching pages, highest frecency first.
    using Answer = std::function<void(const std::string& text, std::vector<VisitedPage> pages)>;

    // How many pages one question asks for: enough for the rows left after bookmarks
    // and repeats.
    static constexpr std::size_t pagesPerQuestion = 16;

    explicit VisitSearch(std::filesystem::path database);
    // Stops the thread; answers not yet delivered are dropped.
    ~VisitSearch();
    VisitSearch(const VisitSearch&) = delete;
    VisitSearch& operator=(const VisitSearch&) = delete;

    // Asks for the pages matching `text`; `answer` runs on the main loop.
    void ask(std::string text, Answer answer);
    // Reads the history into memory now if it changed, so that the first keystroke does
    // not wait for that.
    void prepare() { ask({}, {}); }
    // Drops the question waiting and the answers not yet delivered.
    void cancel();

private:
    struct Question {
        std::string text;
        Answer answer;
        unsigned long generation = 0;
    };
    void run();

    std::filesystem::path file_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Question> waiting_;
    bool isStopping_ = false;
    // The newest question's number; an answer to an older one is not delivered. Shared
    // with the answers on their way to the main loop, which may outlive this.
    std::shared_ptr<std::atomic<unsigned long>> generation_;
    std::thread thread_;
};

} // namespace vesk
