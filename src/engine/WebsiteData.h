#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <set>
#include <string>

namespace vesk {

class WebSession;

// What a clear of website data takes away.
enum class WebsiteDataKind : unsigned {
    // Cookies, local and session storage, databases, service workers and the like.
    CookiesAndSiteData = 1u << 0,
    // The memory and disk caches.
    Cache = 1u << 1,
};

inline WebsiteDataKind operator|(WebsiteDataKind a, WebsiteDataKind b) {
    return WebsiteDataKind(unsigned(a) | unsigned(b));
}
inline bool operator&(WebsiteDataKind a, WebsiteDataKind b) {
    return (unsigned(a) & unsigned(b)) != 0;
}

// Clears what the web session keeps for the sites, through the engine's
// website data manager. Each call reports once it is done, on the main loop;
// a report whose session has gone is not made.
class WebsiteData {
public:
    explicit WebsiteData(WebSession& session) : session_(session) {}

    // Clears `kinds` set in the last `age`, or at any time for none. The engine
    // dates everything but cookies: with an age, cookies stay (see clearSites).
    void clear(WebsiteDataKind kinds, std::optional<std::chrono::seconds> age,
               std::function<void()> done);

    // Clears the cookies and site data of the sites `hosts` belong to; the
    // engine keeps them by registrable domain ("www.example.com" keeps its
    // under "example.com").
    void clearSites(std::set<std::string> hosts, std::function<void()> done);

private:
    WebSession& session_;
};

} // namespace vesk
