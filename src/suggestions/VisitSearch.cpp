#include "suggestions/VisitSearch.h"

#include <atomic>
#include <utility>

#include <glib.h>

#include "suggestions/PageIndex.h"

namespace vesk {

namespace {

// One answer on its way to the main loop.
struct Delivery {
    VisitSearch::Answer answer;
    std::string text;
    std::vector<VisitedPage> pages;
    unsigned long generation;
    std::shared_ptr<std::atomic<unsigned long>> newest;
};

} // namespace

VisitSearch::VisitSearch(std::filesystem::path database)
    : file_(std::move(database)), generation_(std::make_shared<std::atomic<unsigned long>>(0)) {
    thread_ = std::thread(&VisitSearch::run, this);
}

VisitSearch::~VisitSearch() {
    {
        std::lock_guard lock(mutex_);
        isStopping_ = true;
        ++*generation_;
    }
    wake_.notify_all();
    thread_.join();
}

void VisitSearch::ask(std::string text, Answer answer) {
    {
        std::lock_guard lock(mutex_);
        waiting_ = Question{std::move(text), std::move(answer), ++*generation_};
    }
    wake_.notify_one();
}

void VisitSearch::cancel() {
    std::lock_guard lock(mutex_);
    waiting_.reset();
    ++*generation_;
}

void VisitSearch::run() {
    // Opened on first use, and again while there is no database yet to read; the index
    // is made again whenever the writer changed the database since.
    std::unique_ptr<VisitDatabase> db;
    PageIndex index;
    long long indexedVersion = -1;
    for (;;) {
        Question question;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return isStopping_ || waiting_.has_value(); });
            if (isStopping_)
                return;
            question = std::move(*waiting_);
            waiting_.reset();
        }
        if (!db || !db->isOpen()) {
            db = std::make_unique<VisitDatabase>(file_, VisitDatabase::Access::ReadOnly);
            indexedVersion = -1;
        }
        if (const long long version = db->dataVersion(); version != indexedVersion || version < 0) {
            index = PageIndex(db->matchRows());
            indexedVersion = version;
        }
        if (!question.answer)
            continue;
        auto* delivery =
            new Delivery{std::move(question.answer), question.text,
                         db->pagesById(index.search(searchWords(question.text), pagesPerQuestion)),
                         question.generation, generation_};
        g_idle_add_full(
            G_PRIORITY_DEFAULT,
            [](gpointer data) {
                const auto& d = *static_cast<Delivery*>(data);
                if (d.generation == d.newest->load())
                    d.answer(d.text, d.pages);
                return G_SOURCE_REMOVE;
            },
            delivery, [](gpointer data) { delete static_cast<Delivery*>(data); });
    }
}

} // namespace vesk
