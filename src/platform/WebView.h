#pragma once

#include <functional>
#include <optional>
#include <string>

#include <gtkmm/widget.h>

typedef struct _WebKitWebView WebKitWebView;

namespace vesk {

// The cancelled-load error code, which page-event handlers pass over.
inline constexpr int kCancelledErrorCode = -999;

// One WebKit web view with RAII ownership and typed page events. Every
// handler is disconnected when the object goes, so no event reaches a closed tab.
class WebView {
public:
    struct Callbacks {
        // A navigation finished and its title is known.
        std::function<void(WebView&)> didFinishNavigation;
        // A navigation failed after the page began to arrive.
        std::function<void(WebView&, int errorCode)> didFailNavigation;
        // A navigation failed before any of the page arrived.
        std::function<void(WebView&, int errorCode)> didFailProvisionalNavigation;
        // The web process behind the view ended (crash or the system ending it).
        std::function<void(WebView&)> webProcessTerminated;
    };

    WebView();
    ~WebView();
    WebView(const WebView&) = delete;
    WebView& operator=(const WebView&) = delete;

    void setCallbacks(Callbacks callbacks) { callbacks_ = std::move(callbacks); }
    // Drops every handler; later engine events reach nobody.
    void clearCallbacks() { callbacks_ = {}; }

    Gtk::Widget& widget() { return *widget_; }
    WebKitWebView* raw() const { return view_; }

    void loadURL(const std::string& url);
    void loadHTML(const std::string& html, const std::string& baseURL);
    void stopLoading();
    // Replaces a page whose web process ended with a short notice; the view's
    // address stays, so a reload loads the page again.
    void showProcessEndedPage();
    // The current address, or nothing when the view has none yet.
    std::optional<std::string> url() const;
    // The page title as the engine reports it: nothing when absent.
    std::optional<std::string> title() const;
    bool canGoBack() const;
    bool canGoForward() const;
    void goBack();
    void goForward();
    void reload();
    double magnification() const;
    void setMagnification(double factor);
    // Ends the web process on request (tests and memory pressure use it).
    void terminateWebProcess();
    bool isLoading() const;

private:
    static void onLoadChanged(WebKitWebView*, int event, gpointer self);
    static gboolean onLoadFailed(WebKitWebView*, int event, char* uri, GError* error,
                                 gpointer self);
    static void onProcessTerminated(WebKitWebView*, int reason, gpointer self);
    void deliverFinished();

    WebKitWebView* view_ = nullptr;
    Gtk::Widget* widget_ = nullptr;
    Callbacks callbacks_;
    // After a failure, WebKit's own error page finishes loading too; that is
    // not a finished navigation of ours.
    bool suppressFinish_ = false;
    unsigned finishIdle_ = 0;
    bool processCrashed_ = false;
};

} // namespace vesk
