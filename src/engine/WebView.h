#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtkmm/label.h>
#include <gtkmm/overlay.h>
#include <gtkmm/window.h>
#include <sigc++/signal.h>

#include "base/GObjectPtr.h"
#include "navigation/ConnectionSecurity.h"
#include "navigation/UrlNormalization.h"

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitUserContentManager WebKitUserContentManager;
typedef struct _JSCValue JSCValue;
typedef struct _GTlsCertificate GTlsCertificate;
typedef struct _WebKitHitTestResult WebKitHitTestResult;
typedef struct _WebKitContextMenu WebKitContextMenu;
typedef struct _WebKitContextMenuItem WebKitContextMenuItem;

namespace vesk {

class WebSession;

// Why a load failed: the user or the program cancelled it (a new load, a
// stop), or anything else.
enum class LoadError { Cancelled, Failed };

// Whether a load over https may try the same address over plain http when it
// cannot connect or its TLS handshake fails: only for an address whose https
// the address rules guessed, never for one the user typed with its scheme.
enum class HttpFallback { No, Allowed };

// The fallback a typed address's load carries.
inline HttpFallback httpFallbackFor(SchemeOrigin origin) {
    return origin == SchemeOrigin::Guessed ? HttpFallback::Allowed : HttpFallback::No;
}

// The certificate a page came with, in the words a person can check.
struct CertificateSummary {
    std::string subject;
    std::string issuer;
    // Dates in UTC, "YYYY-MM-DD HH:MM UTC".
    std::string notBefore;
    std::string notAfter;
    // The SHA-256 of the certificate's DER bytes, as colon-separated hex pairs.
    std::string sha256;
};

// One WebKit web view with RAII ownership and typed page events. Every
// handler is disconnected when the object goes, so no event reaches a closed tab.
//
// The engine's own events are turned into the four page events the browser
// knows. A load that fails is never also a finished one: the FINISHED the
// engine sends after every failure, cancelled ones included, does not count,
// and neither does the error page shown after a failure before commit. A
// finished navigation is delivered once the page's title is known: at once
// when the engine has it, else when it arrives or has been read back from the
// page, because the engine's title can trail its FINISHED event.
// What a page does that a tab put to sleep would lose.
struct PageActivity {
    // It asks before it is left (beforeunload).
    bool asksBeforeLeaving = false;
    // The user typed into it and has not submitted what was typed.
    bool hasTypedText = false;
};

// A page that finished loading, as it was when it finished.
struct FinishedPage {
    // Its address; empty when the engine gave none.
    std::string url;
    // Its title; nothing when the page has none.
    std::optional<std::string> title;
};

// Whether web views may draw with the graphics device's GL.
enum class HardwareAcceleration { EngineDefault, Never };

class WebView {
public:
    // How every view made from now on draws its page.
    static void setHardwareAcceleration(HardwareAcceleration policy);

    // A view keeping its website data in `session` (the engine's default, held
    // in memory, for none); with `related`, one sharing that view's web process
    // and session, so that a page opened from the other can talk to its opener.
    explicit WebView(WebSession* session = nullptr, WebView* related = nullptr);
    ~WebView();
    WebView(const WebView&) = delete;
    WebView& operator=(const WebView&) = delete;

    // --- Page events; any number of listeners may connect ---
    // A navigation finished and its title is known.
    sigc::signal<void(const FinishedPage&)>& signalFinished() { return finished_; }
    // A navigation failed after the page began to arrive.
    sigc::signal<void(LoadError)>& signalFailed() { return failed_; }
    // A navigation failed before any of the page arrived.
    sigc::signal<void(LoadError)>& signalFailedBeforeCommit() { return failedBeforeCommit_; }
    // A new document is shown: its address (empty when the engine has none).
    sigc::signal<void(const std::string&)>& signalCommitted() { return committed_; }
    // The web process behind the view ended (crash or the system ending it).
    sigc::signal<void()>& signalProcessEnded() { return processEnded_; }
    // The page closed its view (window.close()), or agreed to close when asked.
    sigc::signal<void()>& signalCloseRequested() { return closeRequested_; }
    // A link is to open in a tab of its own, behind this one (a middle or
    // Ctrl+click, the page menu's "Open Link in New Tab").
    sigc::signal<void(const std::string&)>& signalOpenInNewTab() { return openInNewTab_; }
    // The load progress or the loading state changed.
    sigc::signal<void()>& signalProgressChanged() { return progressChanged_; }
    // An element of the page asks to fill the screen (true) or leaves it (false).
    sigc::signal<void(bool)>& signalFullscreenRequested() { return fullscreenRequested_; }
    // How safely the page on show arrived changed (a commit, insecure content).
    sigc::signal<void()>& signalSecurityChanged() { return securityChanged_; }
    // The user asked for a search for text selected in the page (the page menu's
    // "Search for").
    sigc::signal<void(const std::string&)>& signalSearchRequested() { return searchRequested_; }
    // The page began or stopped playing sound, or was muted or unmuted.
    sigc::signal<void()>& signalAudioChanged() { return audioChanged_; }
    // The page asks for a view of its own (a link with a target, window.open()):
    // `make` returns a new view made with `WebView(session, this)`, or null to
    // refuse. One maker at a time, since its answer is the engine's.
    void setRelatedViewMaker(std::function<WebView*()> make) { makeRelatedView_ = std::move(make); }
    // Drops every listener; later engine events reach nobody.
    void disconnectAll();

    // The widget to place in the web area: the page, or the notice that
    // replaces it when its web process has ended.
    Gtk::Widget& widget() { return *frame_; }
    // Lays `child` over the page (a find bar, a status label); it goes with the view.
    void addOverlay(Gtk::Widget& child) { frame_->add_overlay(child); }
    WebKitWebView* raw() const { return view_; }

    // Loads `url`; with the fallback allowed, a failure to connect, a failed
    // TLS handshake or no answer in time loads the same address over http
    // instead, without an error page or a history entry for the https attempt.
    void loadURL(const std::string& url, HttpFallback fallback = HttpFallback::No);
    void loadHTML(const std::string& html, const std::string& baseURL);
    void stopLoading();
    // Covers a page whose web process ended with a short notice. The view
    // keeps the page's address, so a reload loads the page again; the notice
    // goes as soon as a page commits.
    void showProcessEndedPage();
    bool isShowingProcessEndedPage() const;
    // The current address, or nothing when the view has none; after the web
    // process ended, the address the page had.
    std::optional<std::string> url() const;
    // The page title as the engine reports it: nothing when absent.
    std::optional<std::string> title() const;
    // The address of the page on show when the user reached it: nothing while
    // an error page stands in for a page that never loaded, or when there is none.
    std::optional<std::string> reachedURL() const;
    // The address of the page on show, which a reload loads again: unlike
    // url(), never that of a load that has not yet committed.
    std::optional<std::string> shownURL() const;
    // Back and forward move between pages the user reached, passing over the
    // error pages of loads that failed before any of their page arrived.
    bool canGoBack() const;
    bool canGoForward() const;
    void goBack();
    void goForward();
    // Reloads the page; after the web process ended, loads the address the
    // page had again.
    void reload();
    // The engine keeps the factor exactly as set, without clamping.
    double magnification() const;
    void setMagnification(double factor);
    // Opens the web inspector for the page, docked in its view.
    void showInspector();
    // Downloads `uri` through the session's downloads, as a link saved from the page menu.
    void download(const std::string& uri);
    // Reads the page's own source, as the server sent it; nothing when there is no
    // page or it cannot be read as text. `done` is not called once the view has gone.
    void readSource(std::function<void(std::optional<std::string>)> done);
    // Shows `source` as plain, read-only text in monospace, under the address
    // sourceAddressFor(`address`).
    void showSource(const std::string& source, const std::string& address);
    // Ends the web process on request (tests and memory pressure use it).
    void terminateWebProcess();
    bool isLoading() const;
    // How far the current load has come, 0 to 1.
    double loadProgress() const;
    // Reloads without the cache.
    void reloadBypassingCache();
    // Shows the print dialog for the page over `parent`.
    void print(Gtk::Window& parent);
    // Leaves an element's full screen, if one is shown.
    void leaveFullscreen();
    // Asks the page whether it may close (its beforeunload handler may ask the
    // user); `closeRequested` follows once it agrees. A page with nothing
    // loaded, or whose web process ended, agrees at once; so does one that has
    // given no answer and shown no question after a while.
    void tryClose();
    // How long tryClose waits for an answer, for every view; tests shorten it.
    static constexpr std::chrono::milliseconds kDefaultCloseAnswerTimeout{2000};
    static void setCloseAnswerTimeout(std::chrono::milliseconds timeout);
    // An error page stands in for a page that failed before any of it arrived.
    bool isShowingErrorPage() const;

    // --- Sleep and sound ---
    // The engine's saved state of the page: its back/forward list, scroll
    // positions and form contents; a few hundred bytes.
    std::vector<std::uint8_t> sessionState() const;
    // Takes on a saved state and loads its current page from it; false, loading
    // nothing, when the engine cannot read the state or it holds no page.
    bool restoreSessionState(const std::vector<std::uint8_t>& state);
    // Ends the web process of a view about to be released, quietly: the engine
    // would otherwise keep the process for reuse, with its memory, for up to half an hour.
    void endProcessBeforeRelease();
    bool isPlayingAudio() const;
    bool isMuted() const;
    void setMuted(bool muted);
    // The page uses the camera, the microphone or the screen.
    bool isCapturing() const;
    // An element of the page fills the screen.
    bool isFullscreen() const { return fullscreen_; }
    // Asks the page what it does that sleep would lose; `answer` follows,
    // unless the view goes first. A page that cannot answer counts as asking
    // before it is left.
    void askActivity(std::function<void(PageActivity)> answer);
    // How safely the page on show arrived, for the address field's sign.
    ConnectionSecurity security() const { return security_; }
    // The certificate of the page on show when it came over TLS; nothing otherwise.
    std::optional<CertificateSummary> certificate() const;

private:
    struct PendingFinish;

    static void onLoadChanged(WebKitWebView*, int event, gpointer self);
    static gboolean onLoadFailed(WebKitWebView*, int event, char* uri, GError* error,
                                 gpointer self);
    static void onProcessTerminated(WebKitWebView*, int reason, gpointer self);
    // The chrome-facing events: new views, the page menu, progress, the link
    // under the pointer and full screen.
    void connectChromeEvents();
    // Sound, and the page script that tells what sleep would lose.
    void connectActivityEvents();
    static void onActivityAnswer(GObject* source, GAsyncResult* result, gpointer request);
    bool fullscreen_ = false;
    static void onMouseTargetChanged(WebKitWebView*, WebKitHitTestResult* hit, unsigned,
                                     gpointer self);
    struct MenuLink;
    struct MenuStep;
    static void onMenuStep(GSimpleAction*, GVariant*, gpointer step);
    // Puts our own Back (-1) or Forward (+1) in place of the engine's entry,
    // or drops it; true when the entry was replaced.
    bool replaceMenuStep(WebKitContextMenu* menu, WebKitContextMenuItem* entry, int position,
                         int direction);
    static gboolean onContextMenu(WebKitWebView*, WebKitContextMenu* menu, WebKitHitTestResult* hit,
                                  gpointer self);
    static void onOpenMenuLink(GSimpleAction*, GVariant*, gpointer link);
    // The tools' entries of the page menu: saving and copying a link or an image,
    // and searching for the selected text.
    void addToolEntries(WebKitContextMenu* menu, WebKitHitTestResult* hit);
    // Replaces `entry` at `position` by one that runs `run` under `label`.
    void replaceMenuEntry(WebKitContextMenu* menu, WebKitContextMenuItem* entry, int position,
                          const char* label, std::function<void()> run);
    // Lets the page report its selected text before its menu opens.
    void connectToolEvents();
    static void forgetMenuLink(gpointer link, GClosure*);
    static gboolean onEnterFullscreen(WebKitWebView*, gpointer self);
    static gboolean onLeaveFullscreen(WebKitWebView*, gpointer self);
    void deliverClose();
    void showLinkTarget(const char* uri);
    static void onTitleRead(GObject* source, GAsyncResult* result, gpointer pending);
    static gboolean onTitleTimeout(gpointer self);
    static void onTitleChanged(WebKitWebView*, GParamSpec*, gpointer self);

    void loadStarted();
    void loadCommitted();
    void loadFinished();
    void loadErrorPage(const std::string& failingURI, const std::string& message);
    void showErrorPage(const std::string& failingURI, const std::string& html);
    // The https attempt of a load that may fall back has failed: the same
    // address loads over http once the engine has ended the failing load.
    void fallBackToHttp();
    // The current load will not fall back (any more).
    void dropHttpFallback();
    static gboolean onHttpsAttemptTimeout(gpointer self);

    // Certificate errors: their own error page, whose buttons reach the view
    // through a message handler only our isolated script world can post to.
    struct TlsFailure {
        std::string uri;
        std::string host;
        // Unique to one error page: the page hands it back with each button press.
        std::string nonce;
        GObjectPtr<GTlsCertificate> certificate;
    };
    static gboolean onLoadFailedWithTlsErrors(WebKitWebView*, char* uri, GTlsCertificate* cert,
                                              unsigned errors, gpointer self);
    static void onTlsPageAction(WebKitUserContentManager*, JSCValue* message, gpointer self);
    static void onInsecureContent(WebKitWebView*, int event, gpointer self);
    void connectSecurityEvents();
    void disconnectSecurityEvents();
    void ensureTlsPageBridge();
    void acceptTlsFailure();
    // Works out the sign for the page that has just committed.
    void pageCommitted();
    void setSecurity(ConnectionSecurity security);
    void markErrorPageItem();

    // Delivers a finished navigation still waiting for its title, with the
    // title known now.
    void flushPendingFinish();
    void deliverFinished(const std::optional<std::string>& url, std::optional<std::string> title);
    void forgetPendingFinish();
    // A load of our own replaces whatever error page was still to come.
    void beginOwnLoad();
    std::optional<std::string> engineURL() const;
    std::optional<std::string> engineTitle() const;

    GObjectPtr<WebKitWebView> viewRef_;
    WebKitWebView* view_ = nullptr;
    // The page with the notice over it. Reference-counted like any widget:
    // an animation may hold it a little longer than the view lives.
    GObjectPtr<GtkOverlay> frameRef_;
    Gtk::Overlay* frame_ = nullptr;
    Gtk::Widget* page_ = nullptr;
    Gtk::Widget* notice_ = nullptr;
    // The address of the link under the pointer, at the bottom-left of the page.
    Gtk::Label* linkTarget_ = nullptr;
    sigc::signal<void(const FinishedPage&)> finished_;
    sigc::signal<void(LoadError)> failed_;
    sigc::signal<void(LoadError)> failedBeforeCommit_;
    sigc::signal<void(const std::string&)> committed_;
    sigc::signal<void()> processEnded_;
    sigc::signal<void()> closeRequested_;
    sigc::signal<void(const std::string&)> openInNewTab_;
    sigc::signal<void()> progressChanged_;
    sigc::signal<void(bool)> fullscreenRequested_;
    sigc::signal<void()> securityChanged_;
    sigc::signal<void(const std::string&)> searchRequested_;
    // The text selected in the page when its menu was last asked for.
    std::string menuSelection_;
    sigc::signal<void()> audioChanged_;
    std::function<WebView*()> makeRelatedView_;

    // The current load failed; the FINISHED that follows it does not count.
    bool loadFailed_ = false;
    // That failure was a cancel after the page had begun to arrive.
    bool cancelledAfterCommit_ = false;
    // An error page was asked for this failing address and has not started yet.
    std::optional<std::string> errorPageURI_;
    // The current load is that error page.
    bool isErrorPageLoad_ = false;
    // The http address the current load tries when its https attempt fails;
    // gone once it has connected, or another load began.
    std::optional<std::string> httpFallback_;
    // Ends an https attempt that has had no answer in time.
    unsigned httpsAttemptTimer_ = 0;
    // Counts the loads of our own, so that a deferred load knows whether
    // another one has come first.
    unsigned ownLoads_ = 0;
    // The current load has started in the engine; a stop asked for before that
    // waits for it.
    bool loadBegun_ = false;
    bool stopPending_ = false;
    // A close was asked for; the page has shown its "leave this page?" question.
    unsigned closeGuard_ = 0;
    bool closeQuestionShown_ = false;

    // A finished navigation waiting for its title; owned by the title request.
    PendingFinish* pending_ = nullptr;
    unsigned titleTimeout_ = 0;

    // The web process ended and no page has committed since.
    bool processGone_ = false;
    // The address the page had when its web process ended.
    std::string endedURL_;

    ConnectionSecurity security_ = ConnectionSecurity::None;
    // The certificate failure the error page on show (or about to show) is about.
    std::optional<TlsFailure> tlsFailure_;
    // This view listens to its content manager's error page messages.
    bool tlsBridge_ = false;

    // Expires with the view, so a handler that outlives a callback knows.
    std::shared_ptr<int> lifetime_ = std::make_shared<int>(0);
};

} // namespace vesk
