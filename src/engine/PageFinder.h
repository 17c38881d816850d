#pragma once

#include <deque>
#include <string>

#include <glib.h>
#include <sigc++/signal.h>

#include "base/GObjectPtr.h"

typedef struct _WebKitFindController WebKitFindController;
typedef struct _WebKitWebView WebKitWebView;

namespace vesk {

class WebView;

// Finds text in one web view's page, ignoring case and wrapping around at the
// end, with every match highlighted. The engine reports how many matches there
// are but not which one is selected, so the finder counts that itself: a
// search starts at the top of the page, so the first match found is 1, and
// stepping wraps from the last to the first.
class PageFinder {
public:
    // Where the search stands. Both numbers are 0 when nothing matches or
    // nothing is searched for.
    struct Matches {
        // The selected match, from 1.
        unsigned current = 0;
        unsigned total = 0;
        // The page has more matches than the finder counts; `total` is the limit.
        bool pastLimit = false;
    };

    // Matches past this many are neither counted nor highlighted: a number that
    // large tells the reader nothing more, and marking them all would be slow.
    static constexpr unsigned kMaxMatchCount = 1000;

    explicit PageFinder(WebView& web);
    ~PageFinder();
    PageFinder(const PageFinder&) = delete;
    PageFinder& operator=(const PageFinder&) = delete;

    // Searches the page for `text` from the top and selects the first match;
    // empty text ends the search.
    void search(const std::string& text);
    // Selects the next or the previous match of the current search.
    void next();
    void previous();
    // Ends the search and takes the highlight off the page.
    void finish();

    const Matches& matches() const { return matches_; }
    // The matches changed: a search or a step was answered, or the search ended.
    sigc::signal<void(const Matches&)>& signalMatchesChanged() { return matchesChanged_; }

private:
    // A request the engine has yet to answer with a found or a not-found.
    enum class Step { Find, Next, Previous };

    static void onCountedMatches(WebKitFindController*, guint count, gpointer self);
    static void onFoundText(WebKitFindController*, guint count, gpointer self);
    static void onFailedToFindText(WebKitFindController*, gpointer self);

    void foundText();
    void failedToFindText();
    void setMatches(Matches matches);

    WebKitWebView* view_;
    GObjectPtr<WebKitFindController> controller_;
    std::string text_;
    // The engine answers every request once and in order, so each answer is
    // for the oldest request still waiting.
    std::deque<Step> pending_;
    Matches matches_;
    sigc::signal<void(const Matches&)> matchesChanged_;
};

} // namespace vesk
