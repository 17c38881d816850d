#pragma once

#include <string>

#include <gio/gio.h>
#include <sigc++/signal.h>

namespace vesk {

// Whether the desktop asks applications for a dark look: the colour scheme of
// the desktop's settings portal, or GNOME's own setting where no portal
// answers. Nothing waits for the portal: its answer may arrive after the window
// is shown, and it and every later change are reported by signalChanged().
class DesktopAppearance {
public:
    static constexpr const char* kPortalName = "org.freedesktop.portal.Desktop";

    // `portalName` is the bus name that answers for the portal.
    explicit DesktopAppearance(std::string portalName = kPortalName);
    ~DesktopAppearance();
    DesktopAppearance(const DesktopAppearance&) = delete;
    DesktopAppearance& operator=(const DesktopAppearance&) = delete;

    bool prefersDark() const { return prefersDark_; }
    sigc::signal<void()>& signalChanged() { return changed_; }

private:
    static void fallBack(GError* error, gpointer self);
    static void onBus(GObject* source, GAsyncResult* result, gpointer self);
    static void onRead(GObject* source, GAsyncResult* result, gpointer self);
    static void onSettingChanged(GDBusConnection*, const char* sender, const char* path,
                                 const char* interface, const char* signal, GVariant* parameters,
                                 gpointer self);
    static void onGnomeSettingChanged(GSettings* settings, const char* key, gpointer self);

    void readPortal();
    void followGnomeSetting();
    // The portal's and GNOME's colour scheme: 1 asks for dark, 0 (no
    // preference) and 2 (light) for light.
    void setScheme(guint32 scheme);

    std::string portalName_;
    bool prefersDark_ = false;
    GCancellable* cancellable_ = nullptr;
    GDBusConnection* bus_ = nullptr;
    guint subscription_ = 0;
    GSettings* gnomeSettings_ = nullptr;
    sigc::signal<void()> changed_;
};

} // namespace vesk
