#pragma once

#include <functional>
#include <string>

#include <gdkmm/paintable.h>
#include <sigc++/signal.h>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _GObject GObject;
typedef struct _GParamSpec GParamSpec;

namespace vesk {

class WebSession;
class WebView;

// The site icons the web session keeps (the engine's favicon database, in the website
// data folder), looked up by page address for lists of pages.
class SiteIcons {
public:
    using Found = std::function<void(const Glib::RefPtr<Gdk::Paintable>&)>;

    explicit SiteIcons(WebSession& session);
    SiteIcons(const SiteIcons&) = delete;
    SiteIcons& operator=(const SiteIcons&) = delete;

    // Calls `found` on the main loop with the icon stored for the page at `url`; not at
    // all when there is none.
    void lookUp(const std::string& url, Found found);

private:
    WebSession& session_;
};

// The icon of the page on show in one web view, reported as it changes.
class PageIcon {
public:
    explicit PageIcon(WebView& web);
    ~PageIcon();
    PageIcon(const PageIcon&) = delete;
    PageIcon& operator=(const PageIcon&) = delete;

    // The page's icon; empty when it has none (yet).
    Glib::RefPtr<Gdk::Paintable> icon() const;

    // The page's icon changed, or went (empty).
    sigc::signal<void(const Glib::RefPtr<Gdk::Paintable>&)>& signalChanged() { return changed_; }

private:
    static void onFaviconChanged(GObject*, GParamSpec*, void* self);

    WebKitWebView* view_;
    sigc::signal<void(const Glib::RefPtr<Gdk::Paintable>&)> changed_;
};

} // namespace vesk
