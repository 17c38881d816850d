#include "settings/BrowsingDataController.h"

#include <cmath>

#include <glib.h>

#include "store/VeskStore.h"
#include "widgets/Alert.h"

namespace vesk {

BrowsingDataController::BrowsingDataController(WebSession& session, Gtk::Window& parent,
                                               AlertPresenter& alerts)
    : websiteData_(session), alerts_(alerts), dialog_(parent) {
    dialog_.signalClear().connect(sigc::mem_fun(*this, &BrowsingDataController::clear));
}

BrowsingDataController::~BrowsingDataController() = default;

void BrowsingDataController::showClearDialog() {
    dialog_.show();
}

void BrowsingDataController::clear(ClearRange range, BrowsingDataKinds kinds) {
    const double now = double(g_get_real_time()) / G_USEC_PER_SEC;
    const std::optional<double> since = clearStart(range, now);
    // The sites visited in the time, read before their visits may go.
    std::set<std::string> visited;
    if (kinds.cookiesAndSiteData && since)
        visited = hostsVisitedSince(VeskStore::shared().loadHistory(), *since);
    if (kinds.history) {
        // The store clears the long-term history with the history file.
        if (since)
            VeskStore::shared().clearHistorySince(*since);
        else
            VeskStore::shared().clearHistory();
    }
    if (kinds.passwords && canClearPasswords(range))
        VeskStore::shared().removeAllPasswords();

    WebsiteDataKind site{};
    if (kinds.cookiesAndSiteData)
        site = site | WebsiteDataKind::CookiesAndSiteData;
    if (kinds.cache)
        site = site | WebsiteDataKind::Cache;
    std::optional<std::chrono::seconds> age;
    if (since)
        age = std::chrono::seconds(std::llround(now - *since));
    // Reported once both the dated data and the visited sites' cookies are gone.
    auto left = std::make_shared<int>(2);
    auto oneDone = [this, left, alive = lifetime_.watch()] {
        if (--*left == 0 && !alive.expired())
            cleared_.emit();
    };
    websiteData_.clear(site, age, oneDone);
    websiteData_.clearSites(std::move(visited), oneDone);
}

void BrowsingDataController::confirmClearSite(const std::string& host) {
    if (host.empty())
        return;
    auto alert = alerts_.makeAlert("Clear cookies and site data for " + host + "?", "Clear",
                                   Gtk::MessageType::QUESTION);
    alert->set_secondary_text("You may be signed out of this site.");
    // Keeping the data is the safe answer to a Return pressed in passing.
    alert->set_default_response(Gtk::ResponseType::CANCEL);
    alerts_.present(std::move(alert), [this, host, alive = lifetime_.watch()](AlertResponse a) {
        if (a != AlertResponse::Confirm || alive.expired())
            return;
        websiteData_.clearSites({host}, [this, alive] {
            if (!alive.expired())
                cleared_.emit();
        });
    });
}

} // namespace vesk
