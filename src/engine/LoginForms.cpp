#include "engine/LoginForms.h"

#include <string_view>

#include <webkit/webkit.h>

#include "engine/WebView.h"
#include "permissions/PermissionDecisions.h"

namespace vesk {

namespace {

// Finds the login in a form, or among the fields outside any form when given the
// document: one password field (or a new password typed twice) and, as the user
// name, the last text, e-mail or phone field before the first password.
constexpr std::string_view kLoginOf = R"js(
const veskLoginOf = (scope) => {
    const fields = scope instanceof HTMLFormElement
        ? Array.from(scope.elements).filter((e) => e instanceof HTMLInputElement)
        : Array.from(document.querySelectorAll('input')).filter((e) => !e.form);
    const passwords = fields.filter((f) => f.type === 'password');
    if (passwords.length === 0 || passwords.length > 2)
        return null;
    const names = fields.slice(0, fields.indexOf(passwords[0]))
        .filter((f) => ['text', 'email', 'tel'].includes(f.type));
    return {user: names.length ? names[names.length - 1] : null, passwords};
};
// Whether the user can see a field: of some size, not transparent, hidden or undrawn
// along its ancestors, and inside the window's view of the page. Pages hide fields to
// have them filled behind the user's back.
const veskIsShown = (field) => {
    const minSide = 4;
    const minOpacity = 0.1;
    if (!field || !field.isConnected)
        return false;
    const rect = field.getBoundingClientRect();
    if (rect.right <= 0 || rect.bottom <= 0 || rect.left >= innerWidth || rect.top >= innerHeight)
        return false;
    // The box where the text shows, without the border and padding that a page can
    // put around a field of a single pixel.
    const style = getComputedStyle(field);
    const px = (name) => parseFloat(style[name]) || 0;
    const textWidth = rect.width - px('borderLeftWidth') - px('borderRightWidth') -
        px('paddingLeft') - px('paddingRight');
    const textHeight = rect.height - px('borderTopWidth') - px('borderBottomWidth') -
        px('paddingTop') - px('paddingBottom');
    if (textWidth < minSide || textHeight < minSide)
        return false;
    if (style.visibility !== 'visible')
        return false;
    let opacity = 1;
    for (let node = field; node instanceof Element; node = node.parentElement) {
        const own = getComputedStyle(node);
        if (own.display === 'none' || own.contentVisibility === 'hidden')
            return false;
        opacity *= parseFloat(own.opacity);
        if (!(opacity >= minOpacity))
            return false;
    }
    return true;
};
)js";

// Runs once per top-frame document, at its end. The page's scripts cannot reach
// this world's globals nor its message channel, so they can neither read what it
// sends nor post in its name.
constexpr std::string_view kWatcher = R"js(
(() => {
    'use strict';
    const channel = window.webkit.messageHandlers.veskLogin;
    // The views a page opens share its channel; each message carries the token its
    // own view gave this document, and waits for it when it is not there yet.
    const waiting = [];
    const send = (message) => {
        if (globalThis.veskLoginToken)
            channel.postMessage(Object.assign({token: globalThis.veskLoginToken}, message));
        else
            waiting.push(message);
    };
    globalThis.veskLoginFlush = () => {
        while (globalThis.veskLoginToken && waiting.length)
            send(waiting.shift());
    };
    let last = null;
    const report = (scope) => {
        const login = veskLoginOf(scope);
        if (!login)
            return;
        const values = login.passwords.map((p) => p.value);
        // Two different passwords are a change of password, not a login.
        if (!values[0] || (values.length === 2 && values[0] !== values[1]))
            return;
        const user = login.user ? login.user.value : '';
        const password = values[0];
        // A click on the submit button, the Enter before it and the submit event
        // after it are one submission.
        const now = Date.now();
        if (last && last.user === user && last.password === password && now - last.at < 2000)
            return;
        last = {user, password, at: now};
        send({kind: 'submitted', user, password});
    };
    const scopeOf = (element) => element.form || element.closest('form') || document;
    // On the window, ahead of the document's own listeners, which may stop the event.
    window.addEventListener('submit', (event) => {
        if (event.target instanceof HTMLFormElement)
            report(event.target);
    }, true);
    // Pages that sign in by script never submit their form.
    window.addEventListener('click', (event) => {
        if (!event.isTrusted || !(event.target instanceof Element))
            return;
        const button = event.target.closest('button, input[type=submit], input[type=image]');
        if (button && (button.type === 'submit' || button.type === 'image'))
            report(scopeOf(button));
    }, true);
    window.addEventListener('keydown', (event) => {
        const field = event.target;
        if (event.isTrusted && event.key === 'Enter' && field instanceof HTMLInputElement)
            report(scopeOf(field));
    }, true);

    // Only a password field the user can see is reported, once: a form kept out of
    // sight never brings up the offer of a saved login.
    const seen = new WeakSet();
    const lookForForms = () => {
        let fresh = false;
        for (const field of document.querySelectorAll('input[type=password]')) {
            if (!seen.has(field) && veskIsShown(field)) {
                seen.add(field);
                fresh = true;
            }
        }
        if (fresh)
            send({kind: 'form'});
    };
    let timer = 0;
    const later = () => {
        if (!timer)
            timer = setTimeout(() => { timer = 0; lookForForms(); }, 100);
    };
    new MutationObserver(later).observe(document.documentElement,
        {childList: true, subtree: true, attributes: true});
    window.addEventListener('scroll', later, {passive: true});
    window.addEventListener('resize', later, {passive: true});
    lookForForms();
})();
)js";

// The body of the fill, called with the arguments user, password and origin when the
// user picked the offered login. The page may have moved on since, so it checks again
// that it is of the record's origin. Only a login whose password field the user can see
// is filled, only its empty fields, the user name only where it is seen too, and not
// when another user name is already typed in.
constexpr std::string_view kFill = R"js(
const defaultPorts = {'http:': '80', 'https:': '443'};
const shownHost = location.hostname.replace(/^\[(.*)\]$/, '$1').toLowerCase();
const shownPort = location.port || defaultPorts[location.protocol] || '';
if (location.protocol.slice(0, -1) + '://' + shownHost + ':' + shownPort !== origin)
    return 0;
const fill = (field, value) => {
    if (!field || field.value || !value || !veskIsShown(field))
        return;
    field.value = value;
    field.dispatchEvent(new Event('input', {bubbles: true}));
    field.dispatchEvent(new Event('change', {bubbles: true}));
};
let filled = 0;
for (const scope of [...document.forms, document]) {
    const login = veskLoginOf(scope);
    if (!login || login.passwords.length !== 1 || !veskIsShown(login.passwords[0]))
        continue;
    // Another user's name typed in: the saved password is not theirs.
    if (login.user && login.user.value && login.user.value !== user)
        continue;
    fill(login.user, user);
    fill(login.passwords[0], password);
    filled++;
}
return filled;
)js";

// A string property of a message, or nothing when it is missing or of another type.
std::optional<std::string> stringProperty(JSCValue* object, const char* name) {
    GObjectPtr<JSCValue> value =
        GObjectPtr<JSCValue>::adopt(jsc_value_object_get_property(object, name));
    if (!value || !jsc_value_is_string(value.get()))
        return std::nullopt;
    char* text = jsc_value_to_string(value.get());
    std::string result = text ? text : "";
    g_free(text);
    return result;
}

// The watcher and its channel, once per content manager however many views share
// it (a page and the windows it opened); the last view to go takes them away.
constexpr const char* kChannelUsers = "vesk-login-channel-users";
constexpr const char* kChannelScript = "vesk-login-channel-script";

void joinChannel(WebKitUserContentManager* manager) {
    const int users = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(manager), kChannelUsers));
    g_object_set_data(G_OBJECT(manager), kChannelUsers, GINT_TO_POINTER(users + 1));
    if (users > 0)
        return;
    const std::string source = std::string(kLoginOf) + std::string(kWatcher);
    WebKitUserScript* script = webkit_user_script_new_for_world(
        source.c_str(), WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
        WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_END, LoginForms::kWorldName, nullptr, nullptr);
    webkit_user_content_manager_add_script(manager, script);
    g_object_set_data_full(G_OBJECT(manager), kChannelScript, script, [](gpointer held) {
        webkit_user_script_unref(static_cast<WebKitUserScript*>(held));
    });
    webkit_user_content_manager_register_script_message_handler(manager, LoginForms::kChannel,
                                                                LoginForms::kWorldName);
}

void leaveChannel(WebKitUserContentManager* manager) {
    const int users = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(manager), kChannelUsers)) - 1;
    g_object_set_data(G_OBJECT(manager), kChannelUsers, GINT_TO_POINTER(users));
    if (users > 0)
        return;
    webkit_user_content_manager_unregister_script_message_handler(manager, LoginForms::kChannel,
                                                                  LoginForms::kWorldName);
    if (auto* script =
            static_cast<WebKitUserScript*>(g_object_get_data(G_OBJECT(manager), kChannelScript)))
        webkit_user_content_manager_remove_script(manager, script);
    g_object_set_data(G_OBJECT(manager), kChannelScript, nullptr);
}

std::string randomToken() {
    char* text = g_uuid_string_random();
    std::string token = text;
    g_free(text);
    return token;
}

} // namespace

LoginForms::LoginForms(WebView& view) : view_(view), token_(randomToken()) {
    manager_ = GObjectPtr<WebKitUserContentManager>::retain(
        webkit_web_view_get_user_content_manager(view.raw()));
    joinChannel(manager_.get());
    const std::string signal = std::string("script-message-received::") + kChannel;
    g_signal_connect(manager_.get(), signal.c_str(), G_CALLBACK(onMessage), this);
    committed_ = view.signalCommitted().connect([this](const std::string& url) {
        pageURL_ = url.empty() ? std::nullopt : std::optional<std::string>(url);
        hasShownForm_ = false;
        pageChanged_.emit();
        giveToken();
    });
    // Should the token have reached the last document rather than the new one.
    finished_ = view.signalFinished().connect([this](const FinishedPage&) { giveToken(); });
}

LoginForms::~LoginForms() {
    committed_.disconnect();
    finished_.disconnect();
    g_signal_handlers_disconnect_by_data(manager_.get(), this);
    leaveChannel(manager_.get());
}

void LoginForms::giveToken() {
    GVariantDict args;
    g_variant_dict_init(&args, nullptr);
    g_variant_dict_insert(&args, "token", "s", token_.c_str());
    GVariant* arguments = g_variant_ref_sink(g_variant_dict_end(&args));
    webkit_web_view_call_async_javascript_function(
        view_.raw(),
        "globalThis.veskLoginToken = token;"
        "if (globalThis.veskLoginFlush) globalThis.veskLoginFlush();",
        -1, arguments, kWorldName, nullptr, nullptr, nullptr, nullptr);
    g_variant_unref(arguments);
}

PageSecurity LoginForms::pageSecurity() const {
    // A certificate the user let through despite its errors, or parts of the page
    // that came unencrypted, do not make a page secure.
    return view_.security() == ConnectionSecurity::Secure ? PageSecurity::Secure
                                                          : PageSecurity::Insecure;
}

void LoginForms::onMessage(WebKitUserContentManager*, JSCValue* value, void* self) {
    auto* forms = static_cast<LoginForms*>(self);
    // Another view's page, on the manager this view shares with it.
    if (!jsc_value_is_object(value) || stringProperty(value, "token") != forms->token_)
        return;
    const std::optional<std::string> kind = stringProperty(value, "kind");
    if (kind == "form") {
        forms->hasShownForm_ = true;
        forms->formShown_.emit();
    } else if (kind == "submitted") {
        const std::optional<std::string> user = stringProperty(value, "user");
        const std::optional<std::string> password = stringProperty(value, "password");
        if (user && password && !password->empty())
            forms->submitted_.emit(*user, *password);
    }
}

void LoginForms::fill(const SavedPassword& saved) {
    // A pair typed over http never goes to an https page, even one whose certificate
    // the user let through, and one typed over https never leaves https; nor does any
    // pair go to another origin than its own.
    if (!pageURL_ || saved.origin.empty() || saved.security != pageSecurity() ||
        permissionOriginOfURL(*pageURL_) != saved.origin)
        return;
    // A text GVariant cannot hold anything but UTF-8.
    for (const std::string* text : {&saved.user, &saved.password, &saved.origin})
        if (!g_utf8_validate(text->data(), static_cast<gssize>(text->size()), nullptr))
            return;
    GVariantDict args;
    g_variant_dict_init(&args, nullptr);
    // The values travel as typed data, never spliced into the script's text.
    g_variant_dict_insert(&args, "user", "s", saved.user.c_str());
    g_variant_dict_insert(&args, "password", "s", saved.password.c_str());
    g_variant_dict_insert(&args, "origin", "s", saved.origin.c_str());
    GVariant* arguments = g_variant_ref_sink(g_variant_dict_end(&args));
    const std::string body = std::string(kLoginOf) + std::string(kFill);
    // Nobody waits for the answer, so the call cannot outlive anything it needs.
    webkit_web_view_call_async_javascript_function(view_.raw(), body.c_str(), -1, arguments,
                                                   kWorldName, nullptr, nullptr, nullptr, nullptr);
    g_variant_unref(arguments);
}

} // namespace vesk
