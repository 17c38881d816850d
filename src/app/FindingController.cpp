#include "app/FindingController.h"

#include <string>
#include <vector>

#include <sigc++/adaptors/track_obj.h>

#include "app/MainWindow.h"
#include "app/PageController.h"
#include "app/TabsController.h"
#include "bookmarks/BookmarksController.h"
#include "engine/SiteIcons.h"
#include "store/VeskStore.h"
#include "suggestions/SuggestionsController.h"
#include "tabs/Tab.h"

namespace vesk {

FindingController::FindingController(MainWindow& window, TabsController& tabs,
                                     PageController& pages, WebSession& session,
                                     const std::filesystem::path& dataFolder)
    : window_(window), tabs_(tabs) {
    AddressField& field = window.addressField();
    suggestions_ = std::make_unique<SuggestionsController>(field.widget(),
                                                           VeskStore::shared().visitDatabaseFile());
    bookmarks_ = std::make_unique<BookmarksController>(
        window.window(), field.widget(), [&field] { return field.starArea(); }, dataFolder);
    auto iconLookup = [icons = std::make_shared<SiteIcons>(session)](const std::string& url,
                                                                     auto found) {
        icons->lookUp(url, std::move(found));
    };
    suggestions_->setIconLookup(iconLookup);
    bookmarks_->panel().setIconLookup(iconLookup);
    suggestions_->setBookmarkSource([this] {
        std::vector<BookmarkedPage> bookmarked;
        for (const Bookmark& bookmark : bookmarks_->bookmarks().all())
            bookmarked.push_back({bookmark.url, bookmark.title});
        return bookmarked;
    });

    tabs.signalSelected().connect(sigc::mem_fun(*this, &FindingController::showTab));
    bookmarks_->signalStarChanged().connect([&field](bool isBookmarkable, bool isBookmarked) {
        field.setStar(!isBookmarkable ? BookmarkStar::None
                      : isBookmarked  ? BookmarkStar::Bookmarked
                                      : BookmarkStar::NotBookmarked);
    });
    field.signalStarClicked().connect(
        sigc::mem_fun(*this, &FindingController::bookmarkCurrentPage));
    bookmarks_->signalOpen().connect(sigc::track_obj(
        [&pages](const std::string& url) {
            pages.load(url);
            pages.focusPage();
        },
        pages));
    // The window's focus still moves as it closes; the guard goes with this controller.
    field.setFocusLeaveGuard([this] { return suggestions_->keepsEditing(); });
    field.signalTyped().connect(sigc::mem_fun(*suggestions_, &SuggestionsController::typed));
}

FindingController::~FindingController() {
    window_.addressField().setFocusLeaveGuard({});
}

VisitOrigin FindingController::pageFinished(Tab& tab, const FinishedPage& page) {
    // The engine may not know the title yet that the page finished with.
    if (&tab == tabs_.current())
        bookmarks_->showPage(page.url, page.title.value_or(""));
    return suggestions_->takeVisitOrigin(&tab);
}

void FindingController::showTab(Tab* tab) {
    if (!tab || !tab->hasPage()) {
        bookmarks_->showPage("", "");
        return;
    }
    bookmarks_->showPage(tab->web().url().value_or(""), tab->web().title().value_or(""));
}

void FindingController::bookmarkCurrentPage() {
    // A title the page set after it finished is the one it has now.
    if (Tab* tab = tabs_.current(); tab && tab->hasPage())
        if (auto title = tab->web().title(); title && !title->empty())
            bookmarks_->showPage(tab->web().url().value_or(""), *title);
    bookmarks_->bookmarkPage();
}

} // namespace vesk
