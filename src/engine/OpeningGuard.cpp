#include "engine/OpeningGuard.h"

#include <set>

#include <gtkmm/eventcontrollerlegacy.h>
#include <webkit/webkit.h>

#include "engine/WebView.h"
#include "navigation/NavigationRules.h"
#include "permissions/PermissionDecisions.h"

namespace vesk {

namespace {

constexpr const char* kGuardKey = "vesk-opening-guard";

// The origins the user let open windows and downloads, for as long as Vesk runs.
std::set<std::string>& allowedOrigins() {
    static std::set<std::string> origins;
    return origins;
}

} // namespace

OpeningGuard::OpeningGuard(WebView& web) : web_(web) {
    g_object_set_data(G_OBJECT(web.raw()), kGuardKey, this);
    // Ahead of the page, which may stop the event.
    auto input = Gtk::EventControllerLegacy::create();
    input->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    input->signal_event().connect(
        [this](const Glib::RefPtr<const Gdk::Event>& event) {
            const Gdk::Event::Type type = event->get_event_type();
            if (type == Gdk::Event::Type::KEY_PRESS || type == Gdk::Event::Type::BUTTON_PRESS ||
                type == Gdk::Event::Type::TOUCH_BEGIN)
                userActed();
            return false;
        },
        false);
    Glib::wrap(GTK_WIDGET(web.raw()))->add_controller(input);
    committed_ =
        web.signalCommitted().connect([this](const std::string& url) { pageChanged(url); });
    if (std::optional<std::string> url = web.url())
        pageChanged(*url);
}

OpeningGuard::~OpeningGuard() {
    committed_.disconnect();
    if (g_object_get_data(G_OBJECT(web_.raw()), kGuardKey) == this)
        g_object_set_data(G_OBJECT(web_.raw()), kGuardKey, nullptr);
}

OpeningGuard* OpeningGuard::of(WebKitWebView* view) {
    return view ? static_cast<OpeningGuard*>(g_object_get_data(G_OBJECT(view), kGuardKey))
                : nullptr;
}

void OpeningGuard::userActed() {
    mayOpen_ = true;
    mayDownload_ = true;
}

void OpeningGuard::pageChanged(const std::string& url) {
    // An error page keeps the origin of the address that failed.
    origin_ = permissionOriginOfURL(url).value_or("");
    host_ = hostOf(url).value_or("");
    ownDownloadUsed_ = false;
    const bool hadBlocked = blockedWindows_ > 0 || !blockedDownloads_.empty();
    blockedWindows_ = 0;
    lastBlockedWindow_.clear();
    blockedDownloads_.clear();
    if (hadBlocked)
        changed_.emit();
}

bool OpeningGuard::originAllowed() const {
    return !origin_.empty() && allowedOrigins().contains(origin_);
}

bool OpeningGuard::mayOpenWindow(const std::string& uri, bool userGesture) {
    if (originAllowed() || (userGesture && std::exchange(mayOpen_, false)))
        return true;
    ++blockedWindows_;
    lastBlockedWindow_ = uri;
    changed_.emit();
    return false;
}

bool OpeningGuard::mayDownload(WebKitDownload* download) {
    if (originAllowed() || std::exchange(mayDownload_, false) ||
        !std::exchange(ownDownloadUsed_, true))
        return true;
    WebKitURIRequest* request = webkit_download_get_request(download);
    const char* uri = request ? webkit_uri_request_get_uri(request) : nullptr;
    webkit_download_cancel(download);
    if (uri && *uri) {
        blockedDownloads_.emplace_back(uri);
        changed_.emit();
    }
    return false;
}

void OpeningGuard::allow() {
    if (!origin_.empty())
        allowedOrigins().insert(origin_);
    const std::string window = std::exchange(lastBlockedWindow_, {});
    const std::vector<std::string> downloads = std::exchange(blockedDownloads_, {});
    blockedWindows_ = 0;
    changed_.emit();
    if (!window.empty() && window != "about:blank")
        openAllowed_.emit(window);
    for (const std::string& uri : downloads)
        if (WebKitDownload* again = webkit_web_view_download_uri(web_.raw(), uri.c_str()))
            g_object_unref(again);
}

void OpeningGuard::dismiss() {
    blockedWindows_ = 0;
    lastBlockedWindow_.clear();
    blockedDownloads_.clear();
    changed_.emit();
}

} // namespace vesk
