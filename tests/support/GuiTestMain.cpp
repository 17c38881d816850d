#include "GuiTest.h"

#include <cstdlib>
#include <unistd.h>

#include <gdkmm/frameclock.h>
#include <glibmm/main.h>
#include <gtkmm/settings.h>
// The settings backend in use, to be sure a test changes no settings but its own.
#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gsettingsbackend.h>

#include "store/VeskStore.h"

namespace vesk::test {

namespace {

Gtk::Application* gApplication = nullptr;

// How long what is ready may keep the loop busy, and how long a frame may take to draw.
constexpr std::chrono::seconds kPendingLimit{5};
constexpr std::chrono::seconds kFrameLimit{5};

} // namespace

Gtk::Application& testApplication() {
    return *gApplication;
}

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto context = Glib::MainContext::get_default();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        // Never block for long: a timer keeps the loop moving.
        auto tick = Glib::signal_timeout().connect([] { return false; }, 5);
        context->iteration(true);
        tick.disconnect();
    }
    return true;
}

void runPending() {
    auto context = Glib::MainContext::get_default();
    // A source that keeps itself ready would hold the test here for good.
    const auto deadline = std::chrono::steady_clock::now() + kPendingLimit;
    while (context->pending() && std::chrono::steady_clock::now() < deadline)
        context->iteration(false);
}

bool waitForRedraw(Gtk::Widget& widget) {
    runPending();
    Glib::RefPtr<Gdk::FrameClock> clock = widget.get_frame_clock();
    if (!clock)
        return false;
    bool painted = false;
    auto connection = clock->signal_paint().connect([&] { painted = true; });
    widget.queue_draw();
    const bool drawn = waitUntil([&] { return painted; }, kFrameLimit);
    connection.disconnect();
    runPending();
    return drawn;
}

AnimationsOn::AnimationsOn() {
    Gtk::Settings::get_default()->property_gtk_enable_animations() = true;
}

AnimationsOn::~AnimationsOn() {
    Gtk::Settings::get_default()->property_gtk_enable_animations() = false;
}

GSettings* desktopSettingsInMemory() {
    // Settings first used from here stay in this process, not in the user's.
    g_setenv("GSETTINGS_BACKEND", "memory", TRUE);
    GSettingsBackend* backend = g_settings_backend_get_default();
    const std::string backendType = G_OBJECT_TYPE_NAME(backend);
    g_object_unref(backend);
    if (backendType != "GMemorySettingsBackend") {
        ADD_FAILURE() << "settings were used before this test: run it in a process of its own, "
                         "as ctest does, so that it does not change the desktop's own settings";
        return nullptr;
    }
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    GSettingsSchema* schema =
        source ? g_settings_schema_source_lookup(source, "org.gnome.desktop.interface", TRUE)
               : nullptr;
    if (!schema) {
        ADD_FAILURE() << "needs the desktop's interface settings (gsettings-desktop-schemas)";
        return nullptr;
    }
    g_settings_schema_unref(schema);
    return g_settings_new("org.gnome.desktop.interface");
}

TempHome::TempHome() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "vesk-test-XXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("cannot make a temporary folder");
    path_ = tmpl;
    std::filesystem::create_directories(dataDir());
    std::filesystem::create_directories(configDir());
    // The next TempHome points these elsewhere; nothing needs them back. The store takes
    // its folders from here; the toolkit, the engine and a program the test starts read
    // the environment.
    ::setenv("HOME", path_.c_str(), 1);
    ::setenv("XDG_DATA_HOME", dataDir().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", configDir().c_str(), 1);
    VeskStore::shared().usePaths(AppPaths::under(path_));
}

TempHome::~TempHome() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void GuiTest::SetUp() {
    home = std::make_unique<TempHome>();
}

void GuiTest::TearDown() {
    app.reset();
    runPending();
    home.reset();
}

void GuiTest::launch(AppOptions options) {
    app = std::make_unique<AppDelegate>(std::move(options));
    app->applicationDidFinishLaunching(&testApplication());
    ASSERT_TRUE(waitUntil([&] { return window().get_mapped() && glass().get_width() > 0; }))
        << "the window never appeared";
    waitForRedraw();
}

Gdk::Rectangle GuiTest::frameOf(Gtk::Widget& widget) {
    // The frame a layout gives a view is its allocation, CSS margins included,
    // in its parent's coordinates; it is moved into the glass's coordinates.
    Gdk::Rectangle frame = widget.get_allocation();
    Gtk::Widget* parent = widget.get_parent();
    if (parent && parent != &glass()) {
        double x = 0, y = 0;
        parent->translate_coordinates(glass(), 0, 0, x, y);
        frame.set_x(frame.get_x() + static_cast<int>(x));
        frame.set_y(frame.get_y() + static_cast<int>(y));
    }
    return frame;
}

void GuiTest::resizeWindow(int width, int height) {
    window().set_default_size(width, height);
    window().unmaximize();
    waitUntil([&] { return glass().get_width() == width && glass().get_height() == height; },
              std::chrono::seconds(5));
    waitForRedraw();
}

} // namespace vesk::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (as the build does to register each one) needs no display.
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "GUI tests need a display: run them through 'make test' (Xvfb).\n");
        return 1;
    }
    // Each TempHome points these at its own folders while the toolkit's threads may be
    // reading the environment. Replacing a variable leaves the environment where it is;
    // adding one may move it under such a thread. So they exist before any thread does,
    // empty, which GLib reads as unset.
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"})
        ::setenv(name, "", 0);
    int result = 1;
    auto app =
        Gtk::Application::create("org.vesk.BrowserTests", Gio::Application::Flags::NON_UNIQUE);
    app->signal_activate().connect([&] {
        // Transitions end at once, so that tests wait for outcomes rather than for time.
        Gtk::Settings::get_default()->property_gtk_enable_animations() = false;
        app->hold();
        vesk::test::gApplication = app.get();
        result = RUN_ALL_TESTS();
        app->release();
        app->quit();
    });
    app->run(0, nullptr);
    return result;
}
