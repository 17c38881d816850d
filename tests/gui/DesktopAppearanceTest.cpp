// The desktop's light or dark choice, read from a settings portal on the test's
// session bus: a stand-in portal under a name of its own answers Read and sends
// SettingChanged as the desktop's would.
#include <cstdlib>
#include <string>

#include <gio/gio.h>
#include <unistd.h>

#include "GuiTest.h"
#include "desktop/DesktopAppearance.h"

namespace vesk::test {
namespace {

constexpr const char* kPath = "/org/freedesktop/portal/desktop";
constexpr const char* kInterface = "org.freedesktop.portal.Settings";

constexpr const char* kIntrospection = R"xml(
<node>
  <interface name="org.freedesktop.portal.Settings">
    <method name="Read">
      <arg type="s" name="namespace" direction="in"/>
      <arg type="s" name="key" direction="in"/>
      <arg type="v" name="value" direction="out"/>
    </method>
    <signal name="SettingChanged">
      <arg type="s" name="namespace"/>
      <arg type="s" name="key"/>
      <arg type="v" name="value"/>
    </signal>
  </interface>
</node>)xml";

// A settings portal that answers with `scheme`, wrapped twice as older portals
// do; with `holdReplies` it keeps the call unanswered until told.
class FakePortal {
public:
    explicit FakePortal(guint32 scheme, bool holdReplies = false)
        : name_("org.vesk.TestPortal.p" + std::to_string(getpid())), scheme_(scheme),
          holdReplies_(holdReplies) {
        bus_ = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
        GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
        static const GDBusInterfaceVTable vtable = {&FakePortal::onCall, nullptr, nullptr, {}};
        object_ = g_dbus_connection_register_object(bus_, kPath, node->interfaces[0], &vtable, this,
                                                    nullptr, nullptr);
        g_dbus_node_info_unref(node);
        GVariant* reply = g_dbus_connection_call_sync(
            bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
            "RequestName", g_variant_new("(su)", name_.c_str(), 4u /* do not queue */),
            G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr);
        if (reply)
            g_variant_unref(reply);
    }
    ~FakePortal() {
        if (pending_)
            g_dbus_method_invocation_return_value(pending_, reply());
        g_dbus_connection_unregister_object(bus_, object_);
        GVariant* reply = g_dbus_connection_call_sync(
            bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
            "ReleaseName", g_variant_new("(s)", name_.c_str()), nullptr, G_DBUS_CALL_FLAGS_NONE, -1,
            nullptr, nullptr);
        if (reply)
            g_variant_unref(reply);
        g_object_unref(bus_);
    }

    const std::string& name() const { return name_; }
    int reads() const { return reads_; }
    bool holding() const { return pending_ != nullptr; }

    // Waits for a call through the bus that leaves after everything this process sent, so
    // that replies sent earlier have been handled when it returns.
    bool roundTrip() {
        bool done = false;
        g_dbus_connection_call(
            bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "GetId",
            nullptr, G_VARIANT_TYPE("(s)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr,
            [](GObject* source, GAsyncResult* result, gpointer flag) {
                if (GVariant* reply =
                        g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, nullptr))
                    g_variant_unref(reply);
                *static_cast<bool*>(flag) = true;
            },
            &done);
        return waitUntil([&] { return done; });
    }

    void answerHeldCall() {
        g_dbus_method_invocation_return_value(pending_, reply());
        pending_ = nullptr;
    }

    void change(const char* ns, const char* key, guint32 scheme) {
        g_dbus_connection_emit_signal(bus_, nullptr, kPath, kInterface, "SettingChanged",
                                      g_variant_new("(ssv)", ns, key, g_variant_new_uint32(scheme)),
                                      nullptr);
    }

private:
    GVariant* reply() const {
        return g_variant_new("(v)", g_variant_new_variant(g_variant_new_uint32(scheme_)));
    }

    static void onCall(GDBusConnection*, const char*, const char*, const char*, const char* method,
                       GVariant*, GDBusMethodInvocation* invocation, gpointer data) {
        auto* self = static_cast<FakePortal*>(data);
        ++self->reads_;
        if (g_strcmp0(method, "Read") != 0)
            g_dbus_method_invocation_return_dbus_error(
                invocation, "org.freedesktop.DBus.Error.UnknownMethod", "unknown");
        else if (self->holdReplies_)
            self->pending_ = invocation;
        else
            g_dbus_method_invocation_return_value(invocation, self->reply());
    }

    std::string name_;
    guint32 scheme_;
    bool holdReplies_;
    GDBusConnection* bus_ = nullptr;
    guint object_ = 0;
    int reads_ = 0;
    GDBusMethodInvocation* pending_ = nullptr;
};

TEST(DesktopAppearanceTest, FollowsThePortalsColourSchemeAndItsChanges) {
    FakePortal portal(1);
    DesktopAppearance appearance(portal.name());
    int changes = 0;
    appearance.signalChanged().connect([&changes] { ++changes; });
    ASSERT_TRUE(waitUntil([&] { return appearance.prefersDark(); })) << "the portal asked for dark";
    EXPECT_EQ(changes, 1);

    // Another setting of the same namespace changes nothing; light, then no preference.
    portal.change("org.freedesktop.appearance", "accent-color", 2);
    portal.change("org.freedesktop.appearance", "color-scheme", 2);
    ASSERT_TRUE(waitUntil([&] { return !appearance.prefersDark(); }));
    EXPECT_EQ(changes, 2);
    portal.change("org.freedesktop.appearance", "color-scheme", 0);
    portal.change("org.freedesktop.appearance", "color-scheme", 1);
    ASSERT_TRUE(waitUntil([&] { return appearance.prefersDark(); }));
    EXPECT_EQ(changes, 3) << "no preference is light, as before";
}

// The object may go before the portal answers, as when the window closes at once.
TEST(DesktopAppearanceTest, AnAnswerAfterTheObjectIsGoneIsIgnored) {
    FakePortal portal(1, /*holdReplies=*/true);
    {
        DesktopAppearance appearance(portal.name());
        ASSERT_TRUE(waitUntil([&] { return portal.holding(); }));
    }
    portal.answerHeldCall();
    ASSERT_TRUE(portal.roundTrip());
    EXPECT_EQ(portal.reads(), 1);
}

// Without a portal, GNOME's own setting is followed.
TEST(DesktopAppearanceTest, WithoutAPortalGnomesSettingIsFollowed) {
    // This process has not used settings yet: they stay in memory, not in the user's.
    g_setenv("GSETTINGS_BACKEND", "memory", TRUE);
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* schema =
        source ? g_settings_schema_source_lookup(source, "org.gnome.desktop.interface", TRUE)
               : nullptr;
    const bool hasKey = schema && g_settings_schema_has_key(schema, "color-scheme");
    if (schema)
        g_settings_schema_unref(schema);
    ASSERT_TRUE(hasKey) << "org.gnome.desktop.interface has no color-scheme: scripts/setup.sh "
                           "test installs gsettings-desktop-schemas";

    GSettings* gnome = g_settings_new("org.gnome.desktop.interface");
    g_settings_set_string(gnome, "color-scheme", "prefer-dark");
    {
        DesktopAppearance appearance("org.vesk.NoSuchPortal.p" + std::to_string(getpid()));
        ASSERT_TRUE(waitUntil([&] { return appearance.prefersDark(); }));
        g_settings_set_string(gnome, "color-scheme", "prefer-light");
        EXPECT_TRUE(waitUntil([&] { return !appearance.prefersDark(); }));
    }
    g_object_unref(gnome);
}

} // namespace
} // namespace vesk::test
