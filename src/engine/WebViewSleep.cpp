// The parts of the web view that sleeping tabs and the sound indicator use.
#include "engine/WebView.h"

#include <webkit/webkit.h>

namespace vesk {

namespace {

// Marks a content manager that already carries the activity script: related
// views share their opener's.
constexpr const char* kActivityMark = "vesk-activity-script";

// Runs in the page's own world, since only there can it see the page add a
// beforeunload listener. What it keeps can only make a tab stay awake, so a
// page that rewrites it gains nothing.
constexpr const char* kActivityScript = R"JS((() => {
  if (window.__veskActivity) return;
  const state = { asks: false, typed: false };
  Object.defineProperty(window, '__veskActivity', { value: state });
  const add = EventTarget.prototype.addEventListener;
  EventTarget.prototype.addEventListener = function (type, listener, options) {
    if (type === 'beforeunload' && this === window) state.asks = true;
    return add.call(this, type, listener, options);
  };
  add.call(document, 'input', (e) => { if (e.isTrusted) state.typed = true; }, true);
  add.call(document, 'submit', () => { state.typed = false; }, true);
})();)JS";

constexpr const char* kActivityQuery = R"JS((() => {
  const s = window.__veskActivity || {};
  return { asks: !!s.asks || typeof window.onbeforeunload === 'function', typed: !!s.typed };
})())JS";

bool booleanProperty(JSCValue* object, const char* name) {
    JSCValue* value = jsc_value_object_get_property(object, name);
    const bool result = value && jsc_value_is_boolean(value) && jsc_value_to_boolean(value);
    if (value)
        g_object_unref(value);
    return result;
}

struct ActivityRequest {
    std::weak_ptr<int> alive;
    std::function<void(PageActivity)> answer;
};

} // namespace

void WebView::connectActivityEvents() {
    auto audio = +[](WebKitWebView*, GParamSpec*, gpointer data) {
        static_cast<WebView*>(data)->audioChanged_.emit();
    };
    g_signal_connect(view_, "notify::is-playing-audio", G_CALLBACK(audio), this);
    g_signal_connect(view_, "notify::is-muted", G_CALLBACK(audio), this);
    WebKitUserContentManager* manager = webkit_web_view_get_user_content_manager(view_);
    if (g_object_get_data(G_OBJECT(manager), kActivityMark))
        return;
    g_object_set_data(G_OBJECT(manager), kActivityMark, GINT_TO_POINTER(1));
    WebKitUserScript* script =
        webkit_user_script_new(kActivityScript, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                               WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    webkit_user_content_manager_add_script(manager, script);
    webkit_user_script_unref(script);
}

std::vector<std::uint8_t> WebView::sessionState() const {
    WebKitWebViewSessionState* state = webkit_web_view_get_session_state(view_);
    if (!state)
        return {};
    GBytes* bytes = webkit_web_view_session_state_serialize(state);
    webkit_web_view_session_state_unref(state);
    if (!bytes)
        return {};
    gsize size = 0;
    const auto* data = static_cast<const std::uint8_t*>(g_bytes_get_data(bytes, &size));
    std::vector<std::uint8_t> result(data, data + size);
    g_bytes_unref(bytes);
    return result;
}

bool WebView::restoreSessionState(const std::vector<std::uint8_t>& saved) {
    if (saved.empty())
        return false;
    GBytes* bytes = g_bytes_new(saved.data(), saved.size());
    WebKitWebViewSessionState* state = webkit_web_view_session_state_new(bytes);
    g_bytes_unref(bytes);
    if (!state)
        return false;
    webkit_web_view_restore_session_state(view_, state);
    webkit_web_view_session_state_unref(state);
    // The restored list names its current page; loading that item keeps the
    // list and brings back the page's scroll position and form contents.
    WebKitBackForwardListItem* current =
        webkit_back_forward_list_get_current_item(webkit_web_view_get_back_forward_list(view_));
    if (!current)
        return false;
    beginOwnLoad();
    webkit_web_view_go_to_back_forward_list_item(view_, current);
    return true;
}

void WebView::endProcessBeforeRelease() {
    g_signal_handlers_disconnect_by_func(view_, reinterpret_cast<gpointer>(&onProcessTerminated),
                                         this);
    webkit_web_view_terminate_web_process(view_);
}

bool WebView::isPlayingAudio() const {
    return webkit_web_view_is_playing_audio(view_);
}

bool WebView::isMuted() const {
    return webkit_web_view_get_is_muted(view_);
}

void WebView::setMuted(bool muted) {
    webkit_web_view_set_is_muted(view_, muted);
}

bool WebView::isCapturing() const {
    return webkit_web_view_get_camera_capture_state(view_) != WEBKIT_MEDIA_CAPTURE_STATE_NONE ||
           webkit_web_view_get_microphone_capture_state(view_) != WEBKIT_MEDIA_CAPTURE_STATE_NONE ||
           webkit_web_view_get_display_capture_state(view_) != WEBKIT_MEDIA_CAPTURE_STATE_NONE;
}

void WebView::askActivity(std::function<void(PageActivity)> answer) {
    auto* request = new ActivityRequest{lifetime_, std::move(answer)};
    webkit_web_view_evaluate_javascript(view_, kActivityQuery, -1, nullptr, nullptr, nullptr,
                                        &WebView::onActivityAnswer, request);
}

void WebView::onActivityAnswer(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<ActivityRequest> request(static_cast<ActivityRequest*>(data));
    GError* error = nullptr;
    JSCValue* value =
        webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &error);
    if (error)
        g_error_free(error);
    if (request->alive.expired()) {
        if (value)
            g_object_unref(value);
        return;
    }
    // A page that cannot answer may have anything to lose: it counts as asking.
    PageActivity activity{.asksBeforeLeaving = true};
    if (value && jsc_value_is_object(value)) {
        activity.asksBeforeLeaving = booleanProperty(value, "asks");
        activity.hasTypedText = booleanProperty(value, "typed");
    }
    if (value)
        g_object_unref(value);
    request->answer(activity);
}

} // namespace vesk
