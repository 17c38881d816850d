#pragma once

#include <filesystem>
#include <memory>

#include <sigc++/trackable.h>

#include "engine/WebView.h"
#include "store/VisitDatabase.h"

namespace vesk {

class BookmarksController;
class MainWindow;
class PageController;
class SuggestionsController;
class Tab;
class TabsController;
class WebSession;

// Finding pages again from the address field: the suggestions under it while the
// user types, the bookmark star at its end and the bookmarks window, each with the
// site icons the web session keeps. It follows the page on show itself.
class FindingController : public sigc::trackable {
public:
    FindingController(MainWindow& window, TabsController& tabs, PageController& pages,
                      WebSession& session, const std::filesystem::path& dataFolder);
    ~FindingController();
    FindingController(const FindingController&) = delete;
    FindingController& operator=(const FindingController&) = delete;

    SuggestionsController& suggestions() { return *suggestions_; }
    BookmarksController& bookmarks() { return *bookmarks_; }

    // The tab on show finished a page: the star follows it. Returns how the user
    // reached that page, for its visit.
    VisitOrigin pageFinished(Tab& tab, const FinishedPage& page);
    // Bookmarks the page on show, under its title as it is now.
    void bookmarkCurrentPage();

private:
    void showTab(Tab* tab);

    MainWindow& window_;
    TabsController& tabs_;
    std::unique_ptr<SuggestionsController> suggestions_;
    std::unique_ptr<BookmarksController> bookmarks_;
};

} // namespace vesk
