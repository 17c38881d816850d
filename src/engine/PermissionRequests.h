#pragma once

#include <deque>
#include <string>

#include <glib.h>
#include <sigc++/connection.h>
#include <sigc++/signal.h>

#include "base/GObjectPtr.h"
#include "permissions/PermissionDecisions.h"

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitPermissionRequest WebKitPermissionRequest;
typedef struct _WebKitPermissionStateQuery WebKitPermissionStateQuery;
typedef struct _WebKitNotification WebKitNotification;

namespace vesk {

class WebView;

// The permission requests of one web view's pages. A request the user has
// already answered for its origin is answered at once from `decisions`; the
// others wait in order for the user, one at a time. A new page, or the view
// going, withdraws whatever still waits: it is denied. Requests for anything
// the browser does not ask about are denied without a word.
//
// navigator.permissions.query() is answered from the same decisions, and the
// notifications an allowed page shows are handed on to be shown on the desktop.
class PermissionRequests {
public:
    // A request waiting for the user.
    struct Pending {
        std::string origin;
        // The host the user knows the page by, for the question.
        std::string host;
        PermissionKind kind;
        GObjectPtr<WebKitPermissionRequest> request;
    };

    PermissionRequests(WebView& web, PermissionDecisions& decisions);
    ~PermissionRequests();
    PermissionRequests(const PermissionRequests&) = delete;
    PermissionRequests& operator=(const PermissionRequests&) = delete;

    // The request to ask the user about now, or null when none waits.
    const Pending* current() const { return queue_.empty() ? nullptr : &queue_.front(); }
    // Answers the current request and remembers the answer for its origin and
    // kind; any later request it also answers goes with it.
    void answer(PermissionAnswer answer);
    // Denies every waiting request without remembering anything.
    void withdrawAll();

    // The request to ask about changed (one came, was answered or withdrawn).
    sigc::signal<void()>& signalChanged() { return changed_; }
    // A page that may show notifications shows one, with its title and body.
    sigc::signal<void(const std::string&, const std::string&)>& signalNotification() {
        return notification_;
    }

private:
    static gboolean onPermissionRequest(WebKitWebView*, WebKitPermissionRequest* request,
                                        gpointer self);
    static gboolean onQueryPermissionState(WebKitWebView*, WebKitPermissionStateQuery* query,
                                           gpointer self);
    static gboolean onShowNotification(WebKitWebView*, WebKitNotification* notification,
                                       gpointer self);

    void request(WebKitPermissionRequest* request);
    // Answers and drops every waiting request from `origin` that the decisions now answer.
    void settle(const std::string& origin);
    std::string pageURL() const;

    WebKitWebView* view_ = nullptr;
    sigc::connection committed_;
    PermissionDecisions& decisions_;
    std::deque<Pending> queue_;
    sigc::signal<void()> changed_;
    sigc::signal<void(const std::string&, const std::string&)> notification_;
};

} // namespace vesk
