#include "engine/PageFinder.h"

#include <algorithm>

#include <webkit/webkit.h>

#include "engine/WebView.h"

namespace vesk {

namespace {

constexpr guint32 kFindOptions =
    WEBKIT_FIND_OPTIONS_CASE_INSENSITIVE | WEBKIT_FIND_OPTIONS_WRAP_AROUND;
// The engine's editing command that clears the page's selection.
constexpr const char* kUnselectCommand = "Unselect";

} // namespace

PageFinder::PageFinder(WebView& web)
    : view_(web.raw()), controller_(GObjectPtr<WebKitFindController>::retain(
                            webkit_web_view_get_find_controller(web.raw()))) {
    g_signal_connect(controller_.get(), "counted-matches", G_CALLBACK(onCountedMatches), this);
    g_signal_connect(controller_.get(), "found-text", G_CALLBACK(onFoundText), this);
    g_signal_connect(controller_.get(), "failed-to-find-text", G_CALLBACK(onFailedToFindText),
                     this);
}

PageFinder::~PageFinder() {
    g_signal_handlers_disconnect_by_data(controller_.get(), this);
}

void PageFinder::search(const std::string& text) {
    if (text.empty()) {
        finish();
        return;
    }
    text_ = text;
    // The old position means nothing for the new text; the answers set both
    // numbers, the count arriving first.
    matches_ = {};
    // The engine searches on from the selection, which may be a match of an
    // earlier search far down the page; from the top, the first match found is
    // the page's first, and the count says so.
    webkit_web_view_execute_editing_command(view_, kUnselectCommand);
    webkit_find_controller_count_matches(controller_.get(), text.c_str(), kFindOptions,
                                         kMaxMatchCount);
    webkit_find_controller_search(controller_.get(), text.c_str(), kFindOptions, kMaxMatchCount);
    pending_.push_back(Step::Find);
}

void PageFinder::next() {
    if (text_.empty())
        return;
    webkit_find_controller_search_next(controller_.get());
    pending_.push_back(Step::Next);
}

void PageFinder::previous() {
    if (text_.empty())
        return;
    webkit_find_controller_search_previous(controller_.get());
    pending_.push_back(Step::Previous);
}

void PageFinder::finish() {
    // Answers still on their way belong to a search that is over.
    pending_.clear();
    if (!text_.empty())
        webkit_find_controller_search_finish(controller_.get());
    text_.clear();
    setMatches({});
}

void PageFinder::onCountedMatches(WebKitFindController*, guint count, gpointer self) {
    auto* finder = static_cast<PageFinder*>(self);
    if (finder->text_.empty())
        return;
    // The engine says "more than the limit" with the largest count it has.
    Matches matches = finder->matches_;
    matches.pastLimit = count > kMaxMatchCount;
    matches.total = std::min(count, kMaxMatchCount);
    matches.current = std::min(matches.current, matches.total);
    // Before the first match of a search is found there is nothing to show yet.
    if (matches.current == 0)
        finder->matches_ = matches;
    else
        finder->setMatches(matches);
}

void PageFinder::onFoundText(WebKitFindController*, guint, gpointer self) {
    // The count given here is the page's only for a fresh search; the count of
    // matches comes from counted-matches instead.
    static_cast<PageFinder*>(self)->foundText();
}

void PageFinder::onFailedToFindText(WebKitFindController*, gpointer self) {
    static_cast<PageFinder*>(self)->failedToFindText();
}

void PageFinder::foundText() {
    if (pending_.empty())
        return;
    const Step step = pending_.front();
    pending_.pop_front();
    Matches matches = matches_;
    // A match was found, so there is at least one even if the count was
    // taken before the page changed.
    matches.total = std::max(matches.total, 1u);
    switch (step) {
    case Step::Find:
        matches.current = 1;
        break;
    case Step::Next:
        matches.current = matches.current % matches.total + 1;
        break;
    case Step::Previous:
        matches.current = matches.current <= 1 ? matches.total : matches.current - 1;
        break;
    }
    setMatches(matches);
}

void PageFinder::failedToFindText() {
    if (pending_.empty())
        return;
    pending_.pop_front();
    setMatches({});
}

void PageFinder::setMatches(Matches matches) {
    matches_ = matches;
    matchesChanged_.emit(matches_);
}

} // namespace vesk
