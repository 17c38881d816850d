#include "engine/WebView.h"

#include "engine/OpeningGuard.h"
#include "engine/WebSession.h"
#include "navigation/HttpsFirst.h"

#include <utility>

#include <gtkmm/box.h>
#include <gtkmm/label.h>
#include <gtkmm/overlay.h>
#include <webkit/webkit.h>

namespace vesk {

namespace {

// How long a finished navigation waits for the page to report its title
// before it is delivered with the title the engine knows by then. The answer
// normally takes a few milliseconds; this only matters for a hung page.
constexpr unsigned kTitleWaitMs = 2000;
// The page's scripts cannot reach this world, so they cannot answer for it.
constexpr const char* kTitleWorld = "vesk";
// How long the https attempt at an address whose https was guessed may go
// without an answer before the same address is tried over http: a plain http
// server may read the TLS greeting as the start of a request and wait for the
// rest of it forever.
constexpr unsigned kHttpsAttemptMs = 3000;
// The scheme of the error pages' own documents, which nothing serves.
constexpr const char* kErrorPageScheme = "vesk-error";
// Marks the back-forward items of our error pages, which back and forward pass over.
constexpr const char* kErrorPageMark = "vesk-error-page";

HardwareAcceleration hardwareAcceleration = HardwareAcceleration::EngineDefault;

bool isErrorPageItem(WebKitBackForwardListItem* item) {
    return item && g_object_get_data(G_OBJECT(item), kErrorPageMark);
}

// The nearest item `step` (-1 back, +1 forward) away that is not an error page.
WebKitBackForwardListItem* nearestReachedItem(WebKitWebView* view, int step) {
    WebKitBackForwardList* list = webkit_web_view_get_back_forward_list(view);
    for (int n = step;; n += step) {
        WebKitBackForwardListItem* item = webkit_back_forward_list_get_nth_item(list, n);
        if (!item || !isErrorPageItem(item))
            return item;
    }
}

std::optional<std::string> nonEmpty(const char* text) {
    if (!text || !*text)
        return std::nullopt;
    return std::string(text);
}

// The same failures WebKit itself shows no error page for: a cancelled load,
// a load that became a download or other non-page, and a media load that starts anew.
bool failureShowsErrorPage(const GError* error) {
    return !g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED) &&
           !g_error_matches(error, WEBKIT_POLICY_ERROR,
                            WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE) &&
           !g_error_matches(error, WEBKIT_MEDIA_ERROR, WEBKIT_MEDIA_ERROR_WILL_HANDLE_LOAD);
}

} // namespace

// A finished navigation whose title request is still out. The request's
// callback owns it; the view drops its claim by clearing `owner`.
struct WebView::PendingFinish {
    WebView* owner = nullptr;
    std::optional<std::string> url;
    GObjectPtr<GCancellable> cancellable = GObjectPtr<GCancellable>::adopt(g_cancellable_new());
};

void WebView::setHardwareAcceleration(HardwareAcceleration policy) {
    hardwareAcceleration = policy;
}

WebView::WebView(WebSession* session, WebView* related) {
    GtkWidget* view = nullptr;
    if (related) {
        // A view opened by a page runs in its opener's web process, whose pages take
        // their scripts and message handlers from the opener's content manager: the
        // new view must be given that manager, or what it registers never reaches
        // its pages and what its pages post goes to the opener.
        view = GTK_WIDGET(g_object_new(
            WEBKIT_TYPE_WEB_VIEW, "related-view", related->view_, "user-content-manager",
            webkit_web_view_get_user_content_manager(related->view_), nullptr));
    } else if (session) {
        view = GTK_WIDGET(
            g_object_new(WEBKIT_TYPE_WEB_VIEW, "network-session", session->raw(), nullptr));
    } else {
        view = webkit_web_view_new();
    }
    viewRef_ = GObjectPtr<WebKitWebView>::retain(WEBKIT_WEB_VIEW(view));
    view_ = viewRef_.get();
    page_ = Glib::wrap(GTK_WIDGET(view_));
    if (hardwareAcceleration == HardwareAcceleration::Never)
        webkit_settings_set_hardware_acceleration_policy(webkit_web_view_get_settings(view_),
                                                         WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);

    auto* notice = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 6);
    notice->add_css_class("vesk-page-stopped");
    notice->set_valign(Gtk::Align::CENTER);
    notice->set_halign(Gtk::Align::CENTER);
    auto* heading = Gtk::make_managed<Gtk::Label>("This page stopped working.");
    heading->add_css_class("title-3");
    auto* hint = Gtk::make_managed<Gtk::Label>("Reload to load it again.");
    hint->add_css_class("dim-label");
    notice->append(*heading);
    notice->append(*hint);
    notice->set_visible(false);
    notice_ = notice;

    // Only the page asks for room: the web area's layout must not depend on
    // the notice's text.
    frameRef_ = GObjectPtr<GtkOverlay>::retain(GTK_OVERLAY(gtk_overlay_new()));
    frame_ = Glib::wrap(frameRef_.get());
    frame_->add_css_class("vesk-web-view");
    frame_->set_overflow(Gtk::Overflow::HIDDEN);
    frame_->set_child(*page_);
    frame_->add_overlay(*notice_);

    g_signal_connect(view_, "load-changed", G_CALLBACK(onLoadChanged), this);
    g_signal_connect(view_, "load-failed", G_CALLBACK(onLoadFailed), this);
    g_signal_connect(view_, "web-process-terminated", G_CALLBACK(onProcessTerminated), this);
    g_signal_connect(view_, "notify::title", G_CALLBACK(onTitleChanged), this);
    connectChromeEvents();
    connectSecurityEvents();
    connectToolEvents();
    connectActivityEvents();
}

WebView::~WebView() {
    disconnectAll();
    dropHttpFallback();
    if (closeGuard_)
        g_source_remove(closeGuard_);
    forgetPendingFinish();
    disconnectSecurityEvents();
    g_signal_handlers_disconnect_by_data(webkit_web_view_get_user_content_manager(view_), this);
    g_signal_handlers_disconnect_by_data(view_, this);
    webkit_web_view_stop_loading(view_);
    if (frame_->get_parent())
        frame_->unparent();
}

void WebView::beginOwnLoad() {
    ++ownLoads_;
    if (OpeningGuard* guard = OpeningGuard::of(view_))
        guard->ownLoadBegins();
    dropHttpFallback();
    errorPageURI_.reset();
    loadBegun_ = false;
    stopPending_ = false;
}

void WebView::loadURL(const std::string& url, HttpFallback fallback) {
    beginOwnLoad();
    if (fallback == HttpFallback::Allowed) {
        httpFallback_ = httpFallbackURL(url);
        if (httpFallback_)
            httpsAttemptTimer_ =
                g_timeout_add(kHttpsAttemptMs, &WebView::onHttpsAttemptTimeout, this);
    }
    webkit_web_view_load_uri(view_, url.c_str());
}

void WebView::loadHTML(const std::string& html, const std::string& baseURL) {
    beginOwnLoad();
    webkit_web_view_load_alternate_html(view_, html.c_str(), baseURL.c_str(), baseURL.c_str());
}

void WebView::stopLoading() {
    // A stopped https attempt tries nothing else.
    dropHttpFallback();
    // A stop that reaches the engine before the load has started is lost, and
    // the view then stays loading for good; such a stop waits for the start.
    if (loadBegun_ || !webkit_web_view_is_loading(view_))
        webkit_web_view_stop_loading(view_);
    else
        stopPending_ = true;
}

void WebView::showProcessEndedPage() {
    page_->set_visible(false);
    notice_->set_visible(true);
}

bool WebView::isShowingProcessEndedPage() const {
    return notice_->get_visible();
}

std::optional<std::string> WebView::engineURL() const {
    return nonEmpty(webkit_web_view_get_uri(view_));
}

std::optional<std::string> WebView::engineTitle() const {
    const char* t = webkit_web_view_get_title(view_);
    if (!t)
        return std::nullopt;
    return std::string(t);
}

void WebView::disconnectAll() {
    for (auto* signal :
         {&progressChanged_, &processEnded_, &closeRequested_, &securityChanged_, &audioChanged_})
        signal->clear();
    finished_.clear();
    failed_.clear();
    failedBeforeCommit_.clear();
    committed_.clear();
    openInNewTab_.clear();
    fullscreenRequested_.clear();
    searchRequested_.clear();
    makeRelatedView_ = nullptr;
}

std::optional<std::string> WebView::url() const {
    if (auto uri = engineURL())
        return uri;
    // The engine forgets the address when the web process ends.
    if (processGone_ && !endedURL_.empty())
        return endedURL_;
    return std::nullopt;
}

std::optional<std::string> WebView::title() const {
    return engineTitle();
}

bool WebView::isShowingErrorPage() const {
    if (errorPageURI_ || isErrorPageLoad_)
        return true;
    return isErrorPageItem(
        webkit_back_forward_list_get_current_item(webkit_web_view_get_back_forward_list(view_)));
}

std::optional<std::string> WebView::shownURL() const {
    if (processGone_ && !endedURL_.empty())
        return endedURL_;
    // The engine's address moves to a new load as soon as it starts, and does
    // not always move back when that load is stopped; the history item on
    // show changes only when a page commits.
    WebKitBackForwardListItem* item =
        webkit_back_forward_list_get_current_item(webkit_web_view_get_back_forward_list(view_));
    return item ? nonEmpty(webkit_back_forward_list_item_get_uri(item)) : std::nullopt;
}

std::optional<std::string> WebView::reachedURL() const {
    if (isShowingErrorPage())
        return std::nullopt;
    return url();
}

bool WebView::canGoBack() const {
    return nearestReachedItem(view_, -1) != nullptr;
}

bool WebView::canGoForward() const {
    return nearestReachedItem(view_, +1) != nullptr;
}

void WebView::goBack() {
    if (WebKitBackForwardListItem* item = nearestReachedItem(view_, -1)) {
        beginOwnLoad();
        webkit_web_view_go_to_back_forward_list_item(view_, item);
    }
}

void WebView::goForward() {
    if (WebKitBackForwardListItem* item = nearestReachedItem(view_, +1)) {
        beginOwnLoad();
        webkit_web_view_go_to_back_forward_list_item(view_, item);
    }
}

void WebView::reload() {
    beginOwnLoad();
    if (processGone_ && !endedURL_.empty()) {
        // The engine's reload brings back its current history item, which is
        // not the page's address when the process ended during a load.
        WebKitBackForwardListItem* item =
            webkit_back_forward_list_get_current_item(webkit_web_view_get_back_forward_list(view_));
        const char* itemURI = item ? webkit_back_forward_list_item_get_uri(item) : nullptr;
        if (!itemURI || endedURL_ != itemURI) {
            webkit_web_view_load_uri(view_, endedURL_.c_str());
            return;
        }
    }
    webkit_web_view_reload(view_);
}

double WebView::magnification() const {
    return webkit_web_view_get_zoom_level(view_);
}

void WebView::setMagnification(double factor) {
    webkit_web_view_set_zoom_level(view_, factor);
}

void WebView::terminateWebProcess() {
    webkit_web_view_terminate_web_process(view_);
}

bool WebView::isLoading() const {
    return webkit_web_view_is_loading(view_);
}

void WebView::onLoadChanged(WebKitWebView*, int event, gpointer data) {
    auto* self = static_cast<WebView*>(data);
    switch (event) {
    case WEBKIT_LOAD_STARTED:
        self->loadStarted();
        break;
    case WEBKIT_LOAD_REDIRECTED:
        // The https attempt reached its server.
        self->dropHttpFallback();
        break;
    case WEBKIT_LOAD_COMMITTED:
        self->loadCommitted();
        break;
    case WEBKIT_LOAD_FINISHED:
        self->loadFinished();
        break;
    default:
        break;
    }
}

void WebView::loadStarted() {
    // A page that finished before this load began is delivered now, while the
    // engine's title is still that page's.
    flushPendingFinish();
    loadFailed_ = false;
    cancelledAfterCommit_ = false;
    isErrorPageLoad_ = errorPageURI_ && engineURL() == errorPageURI_;
    if (isErrorPageLoad_)
        errorPageURI_.reset();
    else
        tlsFailure_.reset();
    loadBegun_ = true;
    if (std::exchange(stopPending_, false))
        webkit_web_view_stop_loading(view_);
}

void WebView::markErrorPageItem() {
    WebKitBackForwardListItem* item =
        webkit_back_forward_list_get_current_item(webkit_web_view_get_back_forward_list(view_));
    if (item)
        g_object_set_data(G_OBJECT(item), kErrorPageMark, GINT_TO_POINTER(1));
}

void WebView::loadCommitted() {
    dropHttpFallback();
    if (isErrorPageLoad_)
        markErrorPageItem();
    pageCommitted();
    committed_.emit(engineURL().value_or(""));
    if (processGone_) {
        processGone_ = false;
        endedURL_.clear();
        notice_->set_visible(false);
        page_->set_visible(true);
    }
}

void WebView::loadFinished() {
    loadBegun_ = false;
    if (isErrorPageLoad_)
        markErrorPageItem();
    // The engine now and then calls off a page it brought back from its back-forward
    // cache once it is on show (more often with the site icons kept); with no newer
    // load on its way, the page the user sees is finished.
    if (loadFailed_ && cancelledAfterCommit_ && !webkit_web_view_is_loading(view_))
        loadFailed_ = false;
    if (loadFailed_ || isErrorPageLoad_)
        return;
    flushPendingFinish();
    // The engine forgets the title when a page commits, so a title it knows
    // now is this page's. Delivering with it spares the UI process a script
    // engine of its own, which reading the title back would bring up.
    if (std::optional<std::string> known = nonEmpty(webkit_web_view_get_title(view_))) {
        deliverFinished(engineURL(), std::move(known));
        return;
    }
    // Otherwise the title may still be on its way: it can arrive after the
    // event, sometimes after the next idle, and its arrival delivers the page.
    // A page without one never sends it; reading the title back from the page
    // orders the answer after everything the page has sent so far.
    auto* pending = new PendingFinish{this, engineURL()};
    pending_ = pending;
    webkit_web_view_evaluate_javascript(view_, "document.title", -1, kTitleWorld, nullptr,
                                        pending->cancellable.get(), &WebView::onTitleRead, pending);
    titleTimeout_ = g_timeout_add(kTitleWaitMs, &WebView::onTitleTimeout, this);
}

void WebView::onTitleRead(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<PendingFinish> pending(static_cast<PendingFinish*>(data));
    GError* error = nullptr;
    auto value = GObjectPtr<JSCValue>::adopt(
        webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error));
    std::optional<std::string> documentTitle;
    if (value && jsc_value_is_string(value.get())) {
        char* text = jsc_value_to_string(value.get());
        documentTitle = text ? std::string(text) : std::string();
        g_free(text);
    }
    g_clear_error(&error);

    WebView* self = pending->owner;
    if (!self)
        return;
    self->pending_ = nullptr;
    if (self->titleTimeout_) {
        g_source_remove(self->titleTimeout_);
        self->titleTimeout_ = 0;
    }
    self->deliverFinished(pending->url, documentTitle ? documentTitle : self->engineTitle());
}

void WebView::onTitleChanged(WebKitWebView* view, GParamSpec*, gpointer data) {
    auto* self = static_cast<WebView*>(data);
    if (self->pending_ && nonEmpty(webkit_web_view_get_title(view)))
        self->flushPendingFinish();
}

gboolean WebView::onTitleTimeout(gpointer data) {
    auto* self = static_cast<WebView*>(data);
    self->titleTimeout_ = 0;
    self->flushPendingFinish();
    return G_SOURCE_REMOVE;
}

void WebView::forgetPendingFinish() {
    if (titleTimeout_) {
        g_source_remove(titleTimeout_);
        titleTimeout_ = 0;
    }
    if (!pending_)
        return;
    // The request's callback still runs once and frees the record.
    pending_->owner = nullptr;
    g_cancellable_cancel(pending_->cancellable.get());
    pending_ = nullptr;
}

void WebView::flushPendingFinish() {
    if (!pending_)
        return;
    std::optional<std::string> finishedURL = pending_->url;
    forgetPendingFinish();
    deliverFinished(finishedURL, engineTitle());
}

void WebView::deliverFinished(const std::optional<std::string>& url,
                              std::optional<std::string> title) {
    finished_.emit(FinishedPage{url.value_or(""), std::move(title)});
}

gboolean WebView::onLoadFailed(WebKitWebView*, int event, char* uri, GError* error, gpointer data) {
    auto* self = static_cast<WebView*>(data);
    // The engine sends FINISHED right after every failure; it ends a failed
    // load, not a finished one.
    self->loadFailed_ = true;
    const LoadError kind =
        g_error_matches(error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED)
            ? LoadError::Cancelled
            : LoadError::Failed;

    if (event != WEBKIT_LOAD_COMMITTED && self->httpFallback_ && error &&
        failureAllowsHttpFallback(error->domain, error->code)) {
        self->fallBackToHttp();
        return TRUE;
    }
    self->dropHttpFallback();
    self->cancelledAfterCommit_ = event == WEBKIT_LOAD_COMMITTED && kind == LoadError::Cancelled;
    if (event == WEBKIT_LOAD_COMMITTED) {
        // What arrived of the page stays; no error page replaces it.
        self->failed_.emit(kind);
        return TRUE;
    }
    // Nothing of the page arrived: the engine's plain error page shows in its
    // place, loaded here so that its load can be told apart from a page's.
    if (uri && error && failureShowsErrorPage(error))
        self->loadErrorPage(uri, error->message ? error->message : "");
    self->failedBeforeCommit_.emit(kind);
    return TRUE;
}

void WebView::loadErrorPage(const std::string& failingURI, const std::string& message) {
    char* escaped = g_markup_escape_text(message.c_str(), -1);
    const std::string html =
        std::string("<!DOCTYPE html><html><head><meta charset='utf-8'></head><body>") + escaped +
        "</body></html>";
    g_free(escaped);
    showErrorPage(failingURI, html);
}

void WebView::showErrorPage(const std::string& failingURI, const std::string& html) {
    errorPageURI_ = failingURI;
    // The failing address stays the page's address, so a reload tries it again.
    // The document itself lives at an address of a scheme no web page can load,
    // made for this one page: without it the engine would make it an about:blank
    // document, which takes the origin of the page that opened its view, and that
    // page could then read and rewrite it.
    char* unique = g_uuid_string_random();
    const std::string documentURI = std::string(kErrorPageScheme) + "://" + unique + "/";
    g_free(unique);
    webkit_web_view_load_alternate_html(view_, html.c_str(), failingURI.c_str(),
                                        documentURI.c_str());
}

void WebView::dropHttpFallback() {
    httpFallback_.reset();
    if (httpsAttemptTimer_)
        g_source_remove(std::exchange(httpsAttemptTimer_, 0));
}

gboolean WebView::onHttpsAttemptTimeout(gpointer data) {
    auto* self = static_cast<WebView*>(data);
    self->httpsAttemptTimer_ = 0;
    // The new load cancels the attempt, whose cancelled failure then counts for nothing.
    if (const std::optional<std::string> http = std::exchange(self->httpFallback_, std::nullopt))
        self->loadURL(*http);
    return G_SOURCE_REMOVE;
}

void WebView::fallBackToHttp() {
    const std::string http = *httpFallback_;
    dropHttpFallback();
    struct Deferred {
        std::weak_ptr<int> alive;
        WebView* view;
        unsigned load;
        std::string http;
    };
    // Like the certificate page, the http load waits until the engine has
    // ended the failing one; a load of the user's that came first wins.
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        +[](gpointer deferred) -> gboolean {
            auto* fallback = static_cast<Deferred*>(deferred);
            if (!fallback->alive.expired() && fallback->view->ownLoads_ == fallback->load)
                fallback->view->loadURL(fallback->http);
            return G_SOURCE_REMOVE;
        },
        new Deferred{lifetime_, this, ownLoads_, http},
        +[](gpointer deferred) { delete static_cast<Deferred*>(deferred); });
}

void WebView::onProcessTerminated(WebKitWebView*, int, gpointer data) {
    auto* self = static_cast<WebView*>(data);
    std::weak_ptr<int> alive = self->lifetime_;
    self->flushPendingFinish();
    if (alive.expired())
        return;
    // The engine clears its address just after this signal; keep it.
    if (auto uri = self->engineURL())
        self->endedURL_ = *uri;
    self->processGone_ = true;
    self->loadFailed_ = false;
    self->isErrorPageLoad_ = false;
    self->errorPageURI_.reset();
    self->tlsFailure_.reset();
    self->setSecurity(ConnectionSecurity::None);
    if (alive.expired())
        return;
    self->processEnded_.emit();
}

} // namespace vesk
