// The web view's events that reach the browser's chrome rather than its page
// model: new views, the page menu, load progress, the link under the pointer,
// full screen, printing and spelling.
#include "engine/WebView.h"

#include "engine/OpeningGuard.h"

#include <cstring>
#include <utility>
#include <vector>

#include <gio/gio.h>
#include <gtkmm/eventcontrollerlegacy.h>
#include <webkit/webkit.h>

namespace vesk {

namespace {

// Spelling follows the user's languages, where a dictionary for them is
// installed; the engine passes over a language it has no dictionary for.
void enableSpellChecking() {
    static const bool once = [] {
        WebKitWebContext* context = webkit_web_context_get_default();
        std::vector<const char*> languages;
        for (const char* const* name = g_get_language_names(); *name; ++name)
            if (std::strcmp(*name, "C") != 0 && std::strcmp(*name, "POSIX") != 0 &&
                !std::strchr(*name, '.') && !std::strchr(*name, '@'))
                languages.push_back(*name);
        languages.push_back(nullptr);
        webkit_web_context_set_spell_checking_languages(context, languages.data());
        webkit_web_context_set_spell_checking_enabled(context, TRUE);
        return true;
    }();
    (void)once;
}

// The menu entries that would open a window, which the browser does not have,
// or save media, which it does not offer: they would lead nowhere.
bool leadsNowhere(WebKitContextMenuAction action) {
    switch (action) {
    case WEBKIT_CONTEXT_MENU_ACTION_OPEN_LINK_IN_NEW_WINDOW:
    case WEBKIT_CONTEXT_MENU_ACTION_OPEN_IMAGE_IN_NEW_WINDOW:
    case WEBKIT_CONTEXT_MENU_ACTION_OPEN_FRAME_IN_NEW_WINDOW:
    case WEBKIT_CONTEXT_MENU_ACTION_OPEN_VIDEO_IN_NEW_WINDOW:
    case WEBKIT_CONTEXT_MENU_ACTION_OPEN_AUDIO_IN_NEW_WINDOW:
    case WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_VIDEO_TO_DISK:
    case WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_AUDIO_TO_DISK:
        return true;
    default:
        return false;
    }
}

// How long a page may take to answer a close before it is closed anyway.
std::chrono::milliseconds closeAnswerTimeout = WebView::kDefaultCloseAnswerTimeout;

// A click that asks for a link in a tab of its own: the middle button, or Ctrl.
bool wantsNewTab(WebKitNavigationAction* action) {
    return webkit_navigation_action_get_navigation_type(action) ==
               WEBKIT_NAVIGATION_TYPE_LINK_CLICKED &&
           (webkit_navigation_action_get_mouse_button(action) == GDK_BUTTON_MIDDLE ||
            (webkit_navigation_action_get_modifiers(action) & GDK_CONTROL_MASK));
}

} // namespace

void WebView::connectChromeEvents() {
    // The dictionaries take long to read and much memory to hold, so they are
    // read when the user first presses a key or a button in a page, before the
    // page has the press, rather than at start-up.
    auto firstInput = Gtk::EventControllerLegacy::create();
    firstInput->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    firstInput->signal_event().connect(
        [](const Glib::RefPtr<const Gdk::Event>& event) {
            const Gdk::Event::Type type = event->get_event_type();
            if (type == Gdk::Event::Type::KEY_PRESS || type == Gdk::Event::Type::BUTTON_PRESS ||
                type == Gdk::Event::Type::TOUCH_BEGIN)
                enableSpellChecking();
            return false;
        },
        false);
    page_->add_controller(firstInput);

    auto* target = Gtk::make_managed<Gtk::Label>();
    target->add_css_class("vesk-link-target");
    target->set_halign(Gtk::Align::START);
    target->set_valign(Gtk::Align::END);
    target->set_ellipsize(Pango::EllipsizeMode::MIDDLE);
    target->set_max_width_chars(80);
    target->set_can_target(false);
    target->set_visible(false);
    frame_->add_overlay(*target);
    linkTarget_ = target;

    g_signal_connect(
        view_, "create",
        G_CALLBACK(+[](WebKitWebView* view, WebKitNavigationAction* action, gpointer data) {
            auto* self = static_cast<WebView*>(data);
            // One window for each thing the user does in the page, not a flood.
            if (OpeningGuard* guard = OpeningGuard::of(view)) {
                const char* uri =
                    webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
                if (!guard->mayOpenWindow(uri ? uri : "",
                                          webkit_navigation_action_is_user_gesture(action)))
                    return static_cast<GtkWidget*>(nullptr);
            }
            WebView* created = self->makeRelatedView_ ? self->makeRelatedView_() : nullptr;
            // The new view stays the browser's: the engine takes no reference.
            return created ? GTK_WIDGET(created->view_) : nullptr;
        }),
        this);
    g_signal_connect(view_, "close", G_CALLBACK(+[](WebKitWebView*, gpointer data) {
                         static_cast<WebView*>(data)->deliverClose();
                     }),
                     this);
    g_signal_connect(view_, "script-dialog",
                     G_CALLBACK(+[](WebKitWebView*, WebKitScriptDialog* dialog, gpointer data) {
                         if (webkit_script_dialog_get_dialog_type(dialog) ==
                             WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM)
                             static_cast<WebView*>(data)->closeQuestionShown_ = true;
                         // The engine's own dialog asks the user.
                         return FALSE;
                     }),
                     this);
    g_signal_connect(view_, "decide-policy",
                     G_CALLBACK(+[](WebKitWebView*, WebKitPolicyDecision* decision,
                                    WebKitPolicyDecisionType type, gpointer data) -> gboolean {
                         auto* self = static_cast<WebView*>(data);
                         if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION &&
                             type != WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION)
                             return FALSE;
                         WebKitNavigationAction* action =
                             webkit_navigation_policy_decision_get_navigation_action(
                                 WEBKIT_NAVIGATION_POLICY_DECISION(decision));
                         if (!wantsNewTab(action) || self->openInNewTab_.empty())
                             return FALSE;
                         const char* uri = webkit_uri_request_get_uri(
                             webkit_navigation_action_get_request(action));
                         webkit_policy_decision_ignore(decision);
                         if (uri && *uri)
                             self->openInNewTab_.emit(uri);
                         return TRUE;
                     }),
                     this);
    g_signal_connect(view_, "context-menu", G_CALLBACK(onContextMenu), this);
    auto progress = +[](WebKitWebView*, GParamSpec*, gpointer data) {
        auto* self = static_cast<WebView*>(data);
        self->progressChanged_.emit();
    };
    g_signal_connect(view_, "notify::estimated-load-progress", G_CALLBACK(progress), this);
    g_signal_connect(view_, "notify::is-loading", G_CALLBACK(progress), this);
    g_signal_connect(view_, "mouse-target-changed", G_CALLBACK(onMouseTargetChanged), this);
    g_signal_connect(view_, "enter-fullscreen", G_CALLBACK(onEnterFullscreen), this);
    g_signal_connect(view_, "leave-fullscreen", G_CALLBACK(onLeaveFullscreen), this);
}

// A link the page menu opens in a new tab, kept by the menu entry's action.
struct WebView::MenuLink {
    WebView* view;
    std::string uri;
};

gboolean WebView::onContextMenu(WebKitWebView*, WebKitContextMenu* menu, WebKitHitTestResult* hit,
                                gpointer data) {
    auto* self = static_cast<WebView*>(data);
    const char* link = webkit_hit_test_result_get_link_uri(hit);
    GList* items = g_list_copy(webkit_context_menu_get_items(menu));
    int position = 0;
    for (GList* item = items; item; item = item->next, ++position) {
        auto* entry = static_cast<WebKitContextMenuItem*>(item->data);
        const auto action = webkit_context_menu_item_get_stock_action(entry);
        if (action == WEBKIT_CONTEXT_MENU_ACTION_GO_BACK ||
            action == WEBKIT_CONTEXT_MENU_ACTION_GO_FORWARD) {
            if (!self->replaceMenuStep(menu, entry, position,
                                       action == WEBKIT_CONTEXT_MENU_ACTION_GO_BACK ? -1 : +1))
                --position;
            continue;
        }
        if (!leadsNowhere(action))
            continue;
        if (action == WEBKIT_CONTEXT_MENU_ACTION_OPEN_LINK_IN_NEW_WINDOW && link &&
            !self->openInNewTab_.empty()) {
            // The link opens behind the page, as a middle-click would.
            auto newTab = GObjectPtr<GSimpleAction>::adopt(
                g_simple_action_new("open-link-in-new-tab", nullptr));
            g_signal_connect_data(newTab.get(), "activate", G_CALLBACK(onOpenMenuLink),
                                  new MenuLink{self, link}, &WebView::forgetMenuLink,
                                  GConnectFlags(0));
            webkit_context_menu_insert(menu,
                                       webkit_context_menu_item_new_from_gaction(
                                           G_ACTION(newTab.get()), "Open Link in New Tab", nullptr),
                                       position);
        } else {
            // Later entries move up into the place of this one.
            --position;
        }
        webkit_context_menu_remove(menu, entry);
    }
    g_list_free(items);
    self->addToolEntries(menu, hit);
    return FALSE;
}

// A Back or Forward entry of the page menu, which moves as the toolbar does.
struct WebView::MenuStep {
    std::weak_ptr<int> alive;
    WebView* view;
    int direction;
};

bool WebView::replaceMenuStep(WebKitContextMenu* menu, WebKitContextMenuItem* entry, int position,
                              int direction) {
    // The engine's own entries would land on the error pages that back and
    // forward pass over; past those there may be nothing to go to.
    const bool back = direction < 0;
    const bool possible = back ? canGoBack() : canGoForward();
    if (possible) {
        auto step = GObjectPtr<GSimpleAction>::adopt(
            g_simple_action_new(back ? "go-back" : "go-forward", nullptr));
        g_signal_connect_data(
            step.get(), "activate", G_CALLBACK(onMenuStep),
            new MenuStep{lifetime_, this, direction},
            +[](gpointer data, GClosure*) { delete static_cast<MenuStep*>(data); },
            GConnectFlags(0));
        webkit_context_menu_insert(menu,
                                   webkit_context_menu_item_new_from_gaction(
                                       G_ACTION(step.get()), back ? "_Back" : "_Forward", nullptr),
                                   position);
    }
    webkit_context_menu_remove(menu, entry);
    return possible;
}

void WebView::onMenuStep(GSimpleAction*, GVariant*, gpointer data) {
    auto* step = static_cast<MenuStep*>(data);
    if (step->alive.expired())
        return;
    if (step->direction < 0)
        step->view->goBack();
    else
        step->view->goForward();
}

void WebView::onOpenMenuLink(GSimpleAction*, GVariant*, gpointer data) {
    auto* link = static_cast<MenuLink*>(data);
    link->view->openInNewTab_.emit(link->uri);
}

void WebView::forgetMenuLink(gpointer data, GClosure*) {
    delete static_cast<MenuLink*>(data);
}

void WebView::onMouseTargetChanged(WebKitWebView*, WebKitHitTestResult* hit, unsigned,
                                   gpointer data) {
    static_cast<WebView*>(data)->showLinkTarget(webkit_hit_test_result_context_is_link(hit)
                                                    ? webkit_hit_test_result_get_link_uri(hit)
                                                    : nullptr);
}

// The engine makes the window fill the screen itself; the chrome steps aside.
gboolean WebView::onEnterFullscreen(WebKitWebView*, gpointer data) {
    auto* self = static_cast<WebView*>(data);
    self->fullscreen_ = true;
    self->fullscreenRequested_.emit(true);
    return FALSE;
}

gboolean WebView::onLeaveFullscreen(WebKitWebView*, gpointer data) {
    auto* self = static_cast<WebView*>(data);
    self->fullscreen_ = false;
    self->fullscreenRequested_.emit(false);
    return FALSE;
}

void WebView::showLinkTarget(const char* uri) {
    if (uri && *uri) {
        linkTarget_->set_text(uri);
        linkTarget_->set_visible(true);
    } else {
        linkTarget_->set_visible(false);
    }
}

double WebView::loadProgress() const {
    return webkit_web_view_get_estimated_load_progress(view_);
}

void WebView::reloadBypassingCache() {
    beginOwnLoad();
    webkit_web_view_reload_bypass_cache(view_);
}

void WebView::print(Gtk::Window& parent) {
    auto operation = GObjectPtr<WebKitPrintOperation>::adopt(webkit_print_operation_new(view_));
    webkit_print_operation_run_dialog(operation.get(), parent.gobj());
}

void WebView::leaveFullscreen() {
    // The page's own exit (as Escape gives it) leaves the element's full screen.
    webkit_web_view_evaluate_javascript(view_,
                                        "document.fullscreenElement && document.exitFullscreen()",
                                        -1, nullptr, nullptr, nullptr, nullptr, nullptr);
}

void WebView::setCloseAnswerTimeout(std::chrono::milliseconds timeout) {
    closeAnswerTimeout = timeout;
}

void WebView::tryClose() {
    if (processGone_ || !webkit_web_view_get_uri(view_)) {
        deliverClose();
        return;
    }
    closeQuestionShown_ = false;
    webkit_web_view_try_close(view_);
    // A page that hangs must not keep its tab open for good; one asking the
    // user waits for the answer.
    if (!closeGuard_)
        closeGuard_ = g_timeout_add(
            static_cast<unsigned>(closeAnswerTimeout.count()),
            +[](gpointer data) -> gboolean {
                auto* self = static_cast<WebView*>(data);
                self->closeGuard_ = 0;
                if (!self->closeQuestionShown_)
                    self->deliverClose();
                return G_SOURCE_REMOVE;
            },
            this);
}

void WebView::deliverClose() {
    if (closeGuard_)
        g_source_remove(std::exchange(closeGuard_, 0));
    closeRequested_.emit();
}

} // namespace vesk
