#include "permissions/PermissionDecisions.h"

#include <glib.h>

namespace vesk {

namespace {

int defaultPort(std::string_view scheme) {
    if (scheme == "http" || scheme == "ws")
        return 80;
    if (scheme == "https" || scheme == "wss")
        return 443;
    return 0;
}

} // namespace

std::string permissionOrigin(std::string_view scheme, std::string_view host, int port) {
    g_autofree char* lowerScheme = g_ascii_strdown(scheme.data(), std::ssize(scheme));
    g_autofree char* lowerHost = g_ascii_strdown(host.data(), std::ssize(host));
    if (port <= 0)
        port = defaultPort(lowerScheme);
    std::string origin = std::string(lowerScheme) + "://" + lowerHost;
    if (port > 0)
        origin += ":" + std::to_string(port);
    return origin;
}

std::optional<std::string> permissionOriginOfURL(const std::string& url) {
    GUri* uri = g_uri_parse(url.c_str(), G_URI_FLAGS_NONE, nullptr);
    if (!uri)
        return std::nullopt;
    std::optional<std::string> origin;
    const char* host = g_uri_get_host(uri);
    if (host && *host)
        origin = permissionOrigin(g_uri_get_scheme(uri), host, g_uri_get_port(uri));
    g_uri_unref(uri);
    return origin;
}

std::optional<PermissionKind> permissionKindForQueryName(std::string_view name) {
    if (name == "geolocation")
        return PermissionKind::Location;
    if (name == "notifications")
        return PermissionKind::Notifications;
    if (name == "camera")
        return PermissionKind::Camera;
    if (name == "microphone")
        return PermissionKind::Microphone;
    if (name == "display-capture")
        return PermissionKind::ScreenSharing;
    if (name == "clipboard-read")
        return PermissionKind::ClipboardRead;
    return std::nullopt;
}

std::string permissionPhrase(PermissionKind kind) {
    switch (kind) {
    case PermissionKind::Location:
        return "know your location";
    case PermissionKind::Notifications:
        return "show notifications";
    case PermissionKind::Camera:
        return "use your camera";
    case PermissionKind::Microphone:
        return "use your microphone";
    case PermissionKind::CameraAndMicrophone:
        return "use your camera and microphone";
    case PermissionKind::ScreenSharing:
        return "share your screen";
    case PermissionKind::ClipboardRead:
        return "read your clipboard";
    }
    return "use a feature of your computer";
}

std::optional<PermissionAnswer> PermissionDecisions::lookup(const std::string& origin,
                                                            PermissionKind kind) const {
    if (kind == PermissionKind::CameraAndMicrophone) {
        const auto camera = lookup(origin, PermissionKind::Camera);
        const auto microphone = lookup(origin, PermissionKind::Microphone);
        if (camera == PermissionAnswer::Deny || microphone == PermissionAnswer::Deny)
            return PermissionAnswer::Deny;
        if (camera == PermissionAnswer::Allow && microphone == PermissionAnswer::Allow)
            return PermissionAnswer::Allow;
        return std::nullopt;
    }
    const auto found = answers_.find({origin, kind});
    if (found == answers_.end())
        return std::nullopt;
    return found->second;
}

void PermissionDecisions::remember(const std::string& origin, PermissionKind kind,
                                   PermissionAnswer answer) {
    if (kind == PermissionKind::CameraAndMicrophone) {
        remember(origin, PermissionKind::Camera, answer);
        remember(origin, PermissionKind::Microphone, answer);
        return;
    }
    answers_[{origin, kind}] = answer;
}

} // namespace vesk
