// The web view's side of connection security: the certificate error page and
// its two buttons, and the sign the address field shows for the page on show.
//
// The error page's buttons must reach the browser in a way no web page can
// imitate. A script in an isolated world, which the page's own scripts cannot
// see or reach, listens for real clicks (never a script's synthetic ones) on
// the page's buttons and posts the action, with a nonce made for that one
// error page, to a message handler registered only in that world. The view
// honours a message only while it shows the error page that nonce belongs to.
#include "engine/WebView.h"

#include <cstring>

#include <gio/gio.h>
#include <webkit/webkit.h>

#include "navigation/NavigationRules.h"
#include "navigation/TlsErrorText.h"

namespace vesk {

namespace {

constexpr const char* kTlsWorld = "vesk-certificate-error";
constexpr const char* kTlsHandler = "veskCertificateError";
// Set on a content manager once it carries the script and the handler; views
// opened from a page share their opener's manager.
constexpr const char* kTlsBridgeMark = "vesk-certificate-error-bridge";

constexpr bool sameBit(TlsProblem ours, GTlsCertificateFlags glib) {
    return static_cast<unsigned>(ours) == static_cast<unsigned>(glib);
}
static_assert(sameBit(kTlsUnknownIssuer, G_TLS_CERTIFICATE_UNKNOWN_CA) &&
              sameBit(kTlsWrongHost, G_TLS_CERTIFICATE_BAD_IDENTITY) &&
              sameBit(kTlsNotYetValid, G_TLS_CERTIFICATE_NOT_ACTIVATED) &&
              sameBit(kTlsExpired, G_TLS_CERTIFICATE_EXPIRED) &&
              sameBit(kTlsRevoked, G_TLS_CERTIFICATE_REVOKED) &&
              sameBit(kTlsInsecureAlgorithm, G_TLS_CERTIFICATE_INSECURE) &&
              sameBit(kTlsGenericError, G_TLS_CERTIFICATE_GENERIC_ERROR));

// Runs in the isolated world of every top frame. It posts "action nonce" for
// a trusted click on a button that names an action; the nonce sits on the
// page's body.
std::string bridgeScript() {
    return std::string("document.addEventListener('click', (event) => {\n"
                       "  if (!event.isTrusted || !(event.target instanceof Element)) return;\n"
                       "  const button = event.target.closest('[") +
           kTlsActionAttribute +
           "]');\n"
           "  const nonce = document.body && document.body.dataset.veskNonce;\n"
           "  if (!button || !nonce) return;\n"
           "  window.webkit.messageHandlers." +
           kTlsHandler + ".postMessage(button.getAttribute('" + kTlsActionAttribute +
           "') + ' ' + nonce);\n"
           "}, true);\n";
}

std::string utcDate(GDateTime* date) {
    if (!date)
        return "";
    GDateTime* utc = g_date_time_to_utc(date);
    char* text = g_date_time_format(utc, "%Y-%m-%d %H:%M UTC");
    std::string result = text ? text : "";
    g_free(text);
    g_date_time_unref(utc);
    g_date_time_unref(date);
    return result;
}

std::string owned(char* text) {
    std::string result = text ? text : "";
    g_free(text);
    return result;
}

std::string sha256Fingerprint(GTlsCertificate* certificate) {
    GByteArray* der = nullptr;
    g_object_get(certificate, "certificate", &der, nullptr);
    if (!der)
        return "";
    const std::string hex =
        owned(g_compute_checksum_for_data(G_CHECKSUM_SHA256, der->data, der->len));
    g_byte_array_unref(der);
    std::string pairs;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        if (i)
            pairs += ':';
        pairs += static_cast<char>(g_ascii_toupper(hex[i]));
        pairs += static_cast<char>(g_ascii_toupper(hex[i + 1]));
    }
    return pairs;
}

} // namespace

void WebView::connectSecurityEvents() {
    g_signal_connect(view_, "load-failed-with-tls-errors", G_CALLBACK(onLoadFailedWithTlsErrors),
                     this);
    g_signal_connect(view_, "insecure-content-detected", G_CALLBACK(onInsecureContent), this);
}

void WebView::disconnectSecurityEvents() {
    if (tlsBridge_)
        g_signal_handlers_disconnect_by_data(webkit_web_view_get_user_content_manager(view_), this);
}

void WebView::ensureTlsPageBridge() {
    if (tlsBridge_)
        return;
    tlsBridge_ = true;
    WebKitUserContentManager* manager = webkit_web_view_get_user_content_manager(view_);
    if (!g_object_get_data(G_OBJECT(manager), kTlsBridgeMark)) {
        g_object_set_data(G_OBJECT(manager), kTlsBridgeMark, GINT_TO_POINTER(1));
        const std::string source = bridgeScript();
        WebKitUserScript* script = webkit_user_script_new_for_world(
            source.c_str(), WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
            WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, kTlsWorld, nullptr, nullptr);
        webkit_user_content_manager_add_script(manager, script);
        webkit_user_script_unref(script);
        webkit_user_content_manager_register_script_message_handler(manager, kTlsHandler,
                                                                    kTlsWorld);
    }
    const std::string signal = std::string("script-message-received::") + kTlsHandler;
    g_signal_connect(manager, signal.c_str(), G_CALLBACK(onTlsPageAction), this);
}

gboolean WebView::onLoadFailedWithTlsErrors(WebKitWebView*, char* uri, GTlsCertificate* cert,
                                            unsigned errors, gpointer data) {
    auto* self = static_cast<WebView*>(data);
    const std::optional<std::string> host = uri ? hostOf(std::string(uri)) : std::nullopt;
    // Without a host or a certificate there is nothing to accept: the
    // engine's plain failure follows.
    if (!host || !cert)
        return FALSE;
    // The engine sends FINISHED after this failure too; it ends a failed load.
    self->loadFailed_ = true;
    // A guessed https address whose certificate fails is tried over http
    // before the user is asked about the certificate.
    if (self->httpFallback_) {
        self->fallBackToHttp();
        return TRUE;
    }
    self->ensureTlsPageBridge();
    self->tlsFailure_ = TlsFailure{uri, *host, owned(g_uuid_string_random()),
                                   GObjectPtr<GTlsCertificate>::retain(cert)};
    std::string html = tlsErrorPageHtml(*host, errors);
    // The nonce goes on the body, where the isolated script reads it.
    const std::string body = "<body";
    html.replace(html.find(body), body.size(),
                 body + " data-vesk-nonce='" + self->tlsFailure_->nonce + "'");
    // The engine ends the failing load only after this signal (its FINISHED
    // follows); the page loads once it has, unless another load came first.
    self->errorPageURI_ = uri;
    struct Deferred {
        std::weak_ptr<int> alive;
        WebView* view;
        std::string nonce;
        std::string uri;
        std::string html;
    };
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        +[](gpointer deferred) -> gboolean {
            auto* page = static_cast<Deferred*>(deferred);
            WebView* view = page->alive.expired() ? nullptr : page->view;
            if (view && view->errorPageURI_ == page->uri && view->tlsFailure_ &&
                view->tlsFailure_->nonce == page->nonce)
                view->showErrorPage(page->uri, page->html);
            return G_SOURCE_REMOVE;
        },
        new Deferred{self->lifetime_, self, self->tlsFailure_->nonce, uri, std::move(html)},
        +[](gpointer deferred) { delete static_cast<Deferred*>(deferred); });
    self->failedBeforeCommit_.emit(LoadError::Failed);
    return TRUE;
}

void WebView::onTlsPageAction(WebKitUserContentManager*, JSCValue* message, gpointer data) {
    auto* self = static_cast<WebView*>(data);
    if (!self->tlsFailure_ || !jsc_value_is_string(message))
        return;
    const std::string text = owned(jsc_value_to_string(message));
    const std::size_t space = text.find(' ');
    if (space == std::string::npos || text.substr(space + 1) != self->tlsFailure_->nonce)
        return;
    // Only the error page itself, still on show, speaks for the failure.
    if (!self->isShowingErrorPage() || self->engineURL() != self->tlsFailure_->uri)
        return;
    const std::string action = text.substr(0, space);
    if (action == kTlsActionAccept) {
        self->acceptTlsFailure();
    } else if (action == kTlsActionBack) {
        if (self->canGoBack())
            self->goBack();
    }
}

void WebView::acceptTlsFailure() {
    const TlsFailure failure = std::move(*tlsFailure_);
    tlsFailure_.reset();
    // The session keeps the exception in memory, for as long as Vesk runs.
    webkit_network_session_allow_tls_certificate_for_host(
        webkit_web_view_get_network_session(view_), failure.certificate.get(),
        failure.host.c_str());
    loadURL(failure.uri);
}

void WebView::onInsecureContent(WebKitWebView*, int, gpointer data) {
    auto* self = static_cast<WebView*>(data);
    self->setSecurity(withInsecureContent(self->security_));
}

void WebView::pageCommitted() {
    if (isErrorPageLoad_) {
        setSecurity(ConnectionSecurity::None);
        return;
    }
    const std::string address = engineURL().value_or("");
    GTlsCertificate* cert = nullptr;
    GTlsCertificateFlags errors{};
    std::optional<unsigned> problems;
    if (webkit_web_view_get_tls_info(view_, &cert, &errors))
        problems = static_cast<unsigned>(errors);
    setSecurity(securityOfCommittedPage(address, problems));
}

void WebView::setSecurity(ConnectionSecurity security) {
    security_ = security;
    securityChanged_.emit();
}

std::optional<CertificateSummary> WebView::certificate() const {
    if (security_ == ConnectionSecurity::None || security_ == ConnectionSecurity::NotSecure)
        return std::nullopt;
    GTlsCertificate* cert = nullptr;
    GTlsCertificateFlags errors{};
    if (!webkit_web_view_get_tls_info(view_, &cert, &errors) || !cert)
        return std::nullopt;
    return CertificateSummary{owned(g_tls_certificate_get_subject_name(cert)),
                              owned(g_tls_certificate_get_issuer_name(cert)),
                              utcDate(g_tls_certificate_get_not_valid_before(cert)),
                              utcDate(g_tls_certificate_get_not_valid_after(cert)),
                              sha256Fingerprint(cert)};
}

} // namespace vesk
