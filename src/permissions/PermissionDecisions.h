#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace vesk {

// What a page may ask to use. A request for the camera and the microphone
// together is one question to the user, answered for both.
enum class PermissionKind {
    Location,
    Notifications,
    Camera,
    Microphone,
    CameraAndMicrophone,
    ScreenSharing,
    ClipboardRead,
};

enum class PermissionAnswer { Allow, Deny };

// The "scheme://host:port" a decision holds for, with the scheme's default
// port written out, so that "http://a" and "http://a:80/x" are one origin;
// nothing for an address without a host (about:blank, data:, file:).
std::optional<std::string> permissionOriginOfURL(const std::string& url);
// The same key from an origin's parts; a port of 0 or less means the scheme's default.
std::string permissionOrigin(std::string_view scheme, std::string_view host, int port);
// The kind a navigator.permissions.query() name stands for, if one we ask about.
std::optional<PermissionKind> permissionKindForQueryName(std::string_view name);
// What the page wants, in words that follow "wants to": "use your camera".
std::string permissionPhrase(PermissionKind kind);

// The user's answers to pages' permission requests, per origin and kind, for
// as long as the program runs; nothing is written to disk.
class PermissionDecisions {
public:
    // The answer given for `kind` at `origin`, or nothing while the user has not
    // said. Camera and microphone together are allowed only when both are, and
    // denied when either is.
    std::optional<PermissionAnswer> lookup(const std::string& origin, PermissionKind kind) const;
    // Keeps `answer` for `kind` at `origin`, replacing any earlier one.
    void remember(const std::string& origin, PermissionKind kind, PermissionAnswer answer);

private:
    std::map<std::pair<std::string, PermissionKind>, PermissionAnswer> answers_;
};

} // namespace vesk
