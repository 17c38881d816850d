// The developer and power tools of a page: the inspector, its source, saving
// what it links to and searching for what is selected in it.
#include "engine/WebView.h"

#include "engine/OpeningGuard.h"

#include <memory>
#include <utility>

#include <gdkmm/clipboard.h>
#include <glibmm/markup.h>
#include <webkit/webkit.h>

#include "navigation/NavigationRules.h"

namespace vesk {

namespace {

// The world our script sees the page from, apart from the page's own scripts,
// and the channel it reports the selection on.
constexpr const char* kToolsWorld = "vesk-tools";
constexpr const char* kSelectionChannel = "vesk_selection";
// Before the engine builds the page menu, the script reports the selection.
constexpr const char* kSelectionScript =
    "document.addEventListener('contextmenu', () => {"
    "  window.webkit.messageHandlers.vesk_selection.postMessage(String(window.getSelection()));"
    "}, true);";
// How much of the selection the menu entry shows, and how much is searched for.
constexpr long kShownSelectionChars = 24;
constexpr long kSearchedSelectionChars = 1000;

// The page source shown as plain text; nothing in it is markup.
std::string sourcePage(const std::string& source, const std::string& address) {
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" +
           Glib::Markup::escape_text(address).raw() +
           "</title><style>:root{color-scheme:light dark}body{margin:0}"
           "pre{margin:0;padding:8px;font-family:monospace;white-space:pre-wrap;"
           "overflow-wrap:anywhere}</style></head><body><pre>" +
           Glib::Markup::escape_text(source).raw() + "</pre></body></html>";
}

// A menu entry's action: runs its function while the view lives.
struct MenuRun {
    std::weak_ptr<int> alive;
    std::function<void()> run;
};

// Text cut to `chars` characters at most.
std::string cut(const std::string& text, long chars) {
    if (g_utf8_strlen(text.c_str(), -1) <= chars)
        return text;
    const char* end = g_utf8_offset_to_pointer(text.c_str(), chars);
    return text.substr(0, std::size_t(end - text.c_str()));
}

// Text cut to `chars` characters at most, with an ellipsis when cut.
std::string shortened(const std::string& text, long chars) {
    const std::string kept = cut(text, chars);
    return kept.size() == text.size() ? text : kept + "…";
}

} // namespace

void WebView::connectToolEvents() {
    webkit_settings_set_enable_developer_extras(webkit_web_view_get_settings(view_), TRUE);
    WebKitUserContentManager* manager = webkit_web_view_get_user_content_manager(view_);
    WebKitUserScript* script = webkit_user_script_new_for_world(
        kSelectionScript, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
        WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, kToolsWorld, nullptr, nullptr);
    webkit_user_content_manager_add_script(manager, script);
    webkit_user_script_unref(script);
    webkit_user_content_manager_register_script_message_handler(manager, kSelectionChannel,
                                                                kToolsWorld);
    g_signal_connect(manager,
                     (std::string("script-message-received::") + kSelectionChannel).c_str(),
                     G_CALLBACK(+[](WebKitUserContentManager*, JSCValue* message, gpointer data) {
                         char* text = jsc_value_to_string(message);
                         static_cast<WebView*>(data)->menuSelection_ = text ? text : "";
                         g_free(text);
                     }),
                     this);
}

void WebView::showInspector() {
    webkit_web_inspector_show(webkit_web_view_get_inspector(view_));
}

void WebView::download(const std::string& uri) {
    // The user asked for it: the page's own allowance does not count it.
    if (OpeningGuard* guard = OpeningGuard::of(view_))
        guard->ownLoadBegins();
    // The download reaches the session's downloads like any other.
    GObjectPtr<WebKitDownload>::adopt(webkit_web_view_download_uri(view_, uri.c_str()));
}

void WebView::readSource(std::function<void(std::optional<std::string>)> done) {
    WebKitWebResource* resource = webkit_web_view_get_main_resource(view_);
    if (!resource || !url()) {
        done(std::nullopt);
        return;
    }
    struct Read {
        std::weak_ptr<int> alive;
        std::function<void(std::optional<std::string>)> done;
    };
    webkit_web_resource_get_data(
        resource, nullptr,
        +[](GObject* source, GAsyncResult* result, gpointer data) {
            std::unique_ptr<Read> read(static_cast<Read*>(data));
            gsize length = 0;
            guchar* bytes = webkit_web_resource_get_data_finish(WEBKIT_WEB_RESOURCE(source), result,
                                                                &length, nullptr);
            std::optional<std::string> text;
            if (bytes && g_utf8_validate(reinterpret_cast<char*>(bytes), gssize(length), nullptr))
                text = std::string(reinterpret_cast<char*>(bytes), length);
            g_free(bytes);
            if (!read->alive.expired())
                read->done(std::move(text));
        },
        new Read{lifetime_, std::move(done)});
}

void WebView::showSource(const std::string& source, const std::string& address) {
    beginOwnLoad();
    // A document of its own origin, as the error pages have, so that the page
    // whose source it shows can neither read nor change it.
    char* unique = g_uuid_string_random();
    const std::string documentURI = std::string("vesk-source://") + unique + "/";
    g_free(unique);
    webkit_web_view_load_alternate_html(view_, sourcePage(source, address).c_str(),
                                        sourceAddressFor(address).c_str(), documentURI.c_str());
}

void WebView::replaceMenuEntry(WebKitContextMenu* menu, WebKitContextMenuItem* entry, int position,
                               const char* label, std::function<void()> run) {
    auto action = GObjectPtr<GSimpleAction>::adopt(g_simple_action_new("vesk-tool", nullptr));
    g_signal_connect_data(
        action.get(), "activate", G_CALLBACK(+[](GSimpleAction*, GVariant*, gpointer data) {
            auto* entryRun = static_cast<MenuRun*>(data);
            if (!entryRun->alive.expired())
                entryRun->run();
        }),
        new MenuRun{lifetime_, std::move(run)},
        +[](gpointer data, GClosure*) { delete static_cast<MenuRun*>(data); }, GConnectFlags(0));
    webkit_context_menu_insert(
        menu, webkit_context_menu_item_new_from_gaction(G_ACTION(action.get()), label, nullptr),
        position);
    if (entry)
        webkit_context_menu_remove(menu, entry);
}

void WebView::addToolEntries(WebKitContextMenu* menu, WebKitHitTestResult* hit) {
    const std::string link =
        webkit_hit_test_result_context_is_link(hit) ? webkit_hit_test_result_get_link_uri(hit) : "";
    const std::string image = webkit_hit_test_result_context_is_image(hit)
                                  ? webkit_hit_test_result_get_image_uri(hit)
                                  : "";
    GList* items = g_list_copy(webkit_context_menu_get_items(menu));
    int position = 0;
    for (GList* item = items; item; item = item->next, ++position) {
        auto* entry = static_cast<WebKitContextMenuItem*>(item->data);
        switch (webkit_context_menu_item_get_stock_action(entry)) {
        case WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_LINK_TO_DISK:
            if (!link.empty())
                replaceMenuEntry(menu, entry, position, "Save Link As…",
                                 [this, link] { download(link); });
            break;
        case WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_IMAGE_TO_DISK:
            if (!image.empty())
                replaceMenuEntry(menu, entry, position, "Save Image As…",
                                 [this, image] { download(image); });
            break;
        case WEBKIT_CONTEXT_MENU_ACTION_COPY_LINK_TO_CLIPBOARD:
            if (!link.empty())
                replaceMenuEntry(menu, entry, position, "Copy Link",
                                 [this, link] { page_->get_clipboard()->set_text(link); });
            break;
        default:
            break;
        }
    }
    g_list_free(items);

    const std::string selected = std::exchange(menuSelection_, {});
    gchar* stripped = g_strstrip(g_strdup(selected.c_str()));
    const std::string wanted = cut(stripped, kSearchedSelectionChars);
    g_free(stripped);
    if (webkit_hit_test_result_context_is_selection(hit) && !wanted.empty() &&
        !searchRequested_.empty()) {
        const std::string label = "Search for “" + shortened(wanted, kShownSelectionChars) + "”";
        webkit_context_menu_append(menu, webkit_context_menu_item_new_separator());
        replaceMenuEntry(menu, nullptr, int(g_list_length(webkit_context_menu_get_items(menu))),
                         label.c_str(), [this, wanted] { searchRequested_.emit(wanted); });
    }
}

} // namespace vesk
