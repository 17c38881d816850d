#include "desktop/DesktopAppearance.h"

namespace vesk {

namespace {

constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kSettingsInterface = "org.freedesktop.portal.Settings";
constexpr const char* kAppearanceNamespace = "org.freedesktop.appearance";
constexpr const char* kColorSchemeKey = "color-scheme";
constexpr const char* kGnomeInterfaceSchema = "org.gnome.desktop.interface";

// Older portals answer Read with the value wrapped in a second variant.
bool schemeFrom(GVariant* value, guint32& scheme) {
    GVariant* v = g_variant_ref(value);
    while (g_variant_is_of_type(v, G_VARIANT_TYPE_VARIANT)) {
        GVariant* inner = g_variant_get_variant(v);
        g_variant_unref(v);
        v = inner;
    }
    const bool ok = g_variant_is_of_type(v, G_VARIANT_TYPE_UINT32);
    if (ok)
        scheme = g_variant_get_uint32(v);
    g_variant_unref(v);
    return ok;
}

} // namespace

DesktopAppearance::DesktopAppearance(std::string portalName)
    : portalName_(std::move(portalName)), cancellable_(g_cancellable_new()) {
    g_bus_get(G_BUS_TYPE_SESSION, cancellable_, &DesktopAppearance::onBus, this);
}

DesktopAppearance::~DesktopAppearance() {
    // A reply still on its way finds the cancellation and leaves this object alone.
    g_cancellable_cancel(cancellable_);
    g_object_unref(cancellable_);
    if (subscription_ != 0)
        g_dbus_connection_signal_unsubscribe(bus_, subscription_);
    if (bus_)
        g_object_unref(bus_);
    if (gnomeSettings_) {
        g_signal_handlers_disconnect_by_data(gnomeSettings_, this);
        g_object_unref(gnomeSettings_);
    }
}

// A cancelled call belongs to an object that is gone (its finish reports the
// cancellation even when the answer had come); any other failure leaves GNOME's
// own setting to follow.
void DesktopAppearance::fallBack(GError* error, gpointer data) {
    const bool cancelled = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
    g_error_free(error);
    if (!cancelled)
        static_cast<DesktopAppearance*>(data)->followGnomeSetting();
}

void DesktopAppearance::onBus(GObject*, GAsyncResult* result, gpointer data) {
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_finish(result, &error);
    if (!bus) {
        fallBack(error, data);
        return;
    }
    auto* self = static_cast<DesktopAppearance*>(data);
    self->bus_ = bus;
    self->readPortal();
}

void DesktopAppearance::readPortal() {
    // Changes are followed from before the first answer, so none falls between the two.
    subscription_ = g_dbus_connection_signal_subscribe(
        bus_, portalName_.c_str(), kSettingsInterface, "SettingChanged", kPortalPath,
        kAppearanceNamespace, G_DBUS_SIGNAL_FLAGS_NONE, &DesktopAppearance::onSettingChanged, this,
        nullptr);
    g_dbus_connection_call(bus_, portalName_.c_str(), kPortalPath, kSettingsInterface, "Read",
                           g_variant_new("(ss)", kAppearanceNamespace, kColorSchemeKey),
                           G_VARIANT_TYPE("(v)"), G_DBUS_CALL_FLAGS_NONE, -1, cancellable_,
                           &DesktopAppearance::onRead, this);
}

void DesktopAppearance::onRead(GObject* source, GAsyncResult* result, gpointer data) {
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
    if (!reply) {
        // No portal, or one that does not know the colour scheme.
        fallBack(error, data);
        return;
    }
    auto* self = static_cast<DesktopAppearance*>(data);
    GVariant* value = g_variant_get_child_value(reply, 0);
    guint32 scheme = 0;
    if (schemeFrom(value, scheme))
        self->setScheme(scheme);
    g_variant_unref(value);
    g_variant_unref(reply);
}

void DesktopAppearance::onSettingChanged(GDBusConnection*, const char*, const char*, const char*,
                                         const char*, GVariant* parameters, gpointer data) {
    if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(ssv)")))
        return;
    const char* ns = nullptr;
    const char* key = nullptr;
    GVariant* value = nullptr;
    g_variant_get(parameters, "(&s&sv)", &ns, &key, &value);
    guint32 scheme = 0;
    if (g_strcmp0(ns, kAppearanceNamespace) == 0 && g_strcmp0(key, kColorSchemeKey) == 0 &&
        schemeFrom(value, scheme))
        static_cast<DesktopAppearance*>(data)->setScheme(scheme);
    g_variant_unref(value);
}

void DesktopAppearance::followGnomeSetting() {
    if (subscription_ != 0) {
        g_dbus_connection_signal_unsubscribe(bus_, subscription_);
        subscription_ = 0;
    }
    // Only where the schema and its key are installed: asking for a missing one aborts.
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* schema =
        source ? g_settings_schema_source_lookup(source, kGnomeInterfaceSchema, TRUE) : nullptr;
    const bool hasKey = schema && g_settings_schema_has_key(schema, kColorSchemeKey);
    if (schema)
        g_settings_schema_unref(schema);
    if (!hasKey)
        return;
    gnomeSettings_ = g_settings_new(kGnomeInterfaceSchema);
    g_signal_connect(gnomeSettings_, "changed::color-scheme",
                     G_CALLBACK(&DesktopAppearance::onGnomeSettingChanged), this);
    onGnomeSettingChanged(gnomeSettings_, kColorSchemeKey, this);
}

void DesktopAppearance::onGnomeSettingChanged(GSettings* settings, const char*, gpointer data) {
    static_cast<DesktopAppearance*>(data)->setScheme(
        static_cast<guint32>(g_settings_get_enum(settings, kColorSchemeKey)));
}

void DesktopAppearance::setScheme(guint32 scheme) {
    const bool dark = scheme == 1;
    if (dark == prefersDark_)
        return;
    prefersDark_ = dark;
    changed_.emit();
}

} // namespace vesk
