#include "engine/PermissionRequests.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include <webkit/webkit.h>

#include "engine/WebView.h"
#include "navigation/NavigationRules.h"

namespace vesk {

namespace {

// The kind of question a request asks, if it is one the user is asked.
std::optional<PermissionKind> kindOf(WebKitPermissionRequest* request) {
    if (WEBKIT_IS_GEOLOCATION_PERMISSION_REQUEST(request))
        return PermissionKind::Location;
    if (WEBKIT_IS_NOTIFICATION_PERMISSION_REQUEST(request))
        return PermissionKind::Notifications;
    if (WEBKIT_IS_CLIPBOARD_PERMISSION_REQUEST(request))
        return PermissionKind::ClipboardRead;
    if (WEBKIT_IS_USER_MEDIA_PERMISSION_REQUEST(request)) {
        auto* media = WEBKIT_USER_MEDIA_PERMISSION_REQUEST(request);
        if (webkit_user_media_permission_is_for_display_device(media))
            return PermissionKind::ScreenSharing;
        const bool audio = webkit_user_media_permission_is_for_audio_device(media);
        const bool video = webkit_user_media_permission_is_for_video_device(media);
        if (audio && video)
            return PermissionKind::CameraAndMicrophone;
        if (video)
            return PermissionKind::Camera;
        if (audio)
            return PermissionKind::Microphone;
    }
    return std::nullopt;
}

void give(WebKitPermissionRequest* request, PermissionAnswer answer) {
    if (answer == PermissionAnswer::Allow)
        webkit_permission_request_allow(request);
    else
        webkit_permission_request_deny(request);
}

} // namespace

PermissionRequests::PermissionRequests(WebView& web, PermissionDecisions& decisions)
    : view_(web.raw()), decisions_(decisions) {
    g_signal_connect(view_, "permission-request", G_CALLBACK(onPermissionRequest), this);
    g_signal_connect(view_, "query-permission-state", G_CALLBACK(onQueryPermissionState), this);
    g_signal_connect(view_, "show-notification", G_CALLBACK(onShowNotification), this);
    // Requests belong to the page that made them; a new page takes them away.
    committed_ = web.signalCommitted().connect([this](const std::string&) { withdrawAll(); });
}

PermissionRequests::~PermissionRequests() {
    committed_.disconnect();
    g_signal_handlers_disconnect_by_data(view_, this);
    for (Pending& pending : queue_)
        webkit_permission_request_deny(pending.request.get());
}

void PermissionRequests::answer(PermissionAnswer answer) {
    if (queue_.empty())
        return;
    const std::string origin = queue_.front().origin;
    decisions_.remember(origin, queue_.front().kind, answer);
    settle(origin);
}

void PermissionRequests::withdrawAll() {
    if (queue_.empty())
        return;
    // The queue is emptied first: denying lets the page run, and it may ask again.
    std::deque<Pending> withdrawn;
    withdrawn.swap(queue_);
    for (Pending& pending : withdrawn)
        webkit_permission_request_deny(pending.request.get());
    changed_.emit();
}

void PermissionRequests::settle(const std::string& origin) {
    // An answer may settle later requests too: the same kind, or camera and
    // microphone together once each has its answer.
    std::deque<Pending> answered;
    const auto undecided = [&](const Pending& p) {
        return p.origin != origin || !decisions_.lookup(p.origin, p.kind);
    };
    auto decided = std::stable_partition(queue_.begin(), queue_.end(), undecided);
    std::move(decided, queue_.end(), std::back_inserter(answered));
    queue_.erase(decided, queue_.end());
    for (Pending& pending : answered)
        give(pending.request.get(), *decisions_.lookup(pending.origin, pending.kind));
    changed_.emit();
}

std::string PermissionRequests::pageURL() const {
    const char* uri = webkit_web_view_get_uri(view_);
    return uri ? uri : "";
}

void PermissionRequests::request(WebKitPermissionRequest* request) {
    const auto kind = kindOf(request);
    const std::string url = pageURL();
    const auto origin = permissionOriginOfURL(url);
    if (!kind || !origin) {
        webkit_permission_request_deny(request);
        return;
    }
    if (const auto known = decisions_.lookup(*origin, *kind)) {
        give(request, *known);
        return;
    }
    queue_.push_back({*origin, hostOf(url).value_or(""), *kind,
                      GObjectPtr<WebKitPermissionRequest>::retain(request)});
    if (queue_.size() == 1)
        changed_.emit();
}

gboolean PermissionRequests::onPermissionRequest(WebKitWebView*, WebKitPermissionRequest* request,
                                                 gpointer self) {
    static_cast<PermissionRequests*>(self)->request(request);
    return TRUE;
}

gboolean PermissionRequests::onQueryPermissionState(WebKitWebView*,
                                                    WebKitPermissionStateQuery* query,
                                                    gpointer self) {
    const auto kind = permissionKindForQueryName(webkit_permission_state_query_get_name(query));
    if (!kind)
        return FALSE;
    WebKitSecurityOrigin* from = webkit_permission_state_query_get_security_origin(query);
    const char* host = webkit_security_origin_get_host(from);
    const auto* requests = static_cast<PermissionRequests*>(self);
    WebKitPermissionState state = WEBKIT_PERMISSION_STATE_PROMPT;
    if (host && *host) {
        const std::string origin = permissionOrigin(webkit_security_origin_get_protocol(from), host,
                                                    webkit_security_origin_get_port(from));
        if (const auto known = requests->decisions_.lookup(origin, *kind))
            state = *known == PermissionAnswer::Allow ? WEBKIT_PERMISSION_STATE_GRANTED
                                                      : WEBKIT_PERMISSION_STATE_DENIED;
    }
    webkit_permission_state_query_finish(query, state);
    return TRUE;
}

gboolean PermissionRequests::onShowNotification(WebKitWebView*, WebKitNotification* notification,
                                                gpointer self) {
    auto* requests = static_cast<PermissionRequests*>(self);
    // Only a page the user allowed reaches the desktop, whatever the engine remembers.
    const auto origin = permissionOriginOfURL(requests->pageURL());
    if (origin && requests->decisions_.lookup(*origin, PermissionKind::Notifications) ==
                      PermissionAnswer::Allow) {
        const char* title = webkit_notification_get_title(notification);
        const char* body = webkit_notification_get_body(notification);
        requests->notification_.emit(title ? title : "", body ? body : "");
    }
    return TRUE;
}

} // namespace vesk
