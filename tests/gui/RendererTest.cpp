// How the window is drawn: cairo where no graphics device would carry GL,
// GL where one would, and always what GSK_RENDERER names.
#include <filesystem>
#include <fstream>

#include <gtk/gtk.h>

#include "GuiTest.h"
#include "desktop/Renderer.h"

namespace vesk::test {
namespace {

namespace fs = std::filesystem;

class RendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        devices_ = fs::temp_directory_path() / ("vesk-devices-" + std::to_string(getpid()));
        fs::create_directories(devices_ / "dri");
        g_object_set_data(G_OBJECT(display_->gobj()), "gsk-renderer", nullptr);
        g_unsetenv("GSK_RENDERER");
    }
    void TearDown() override {
        g_object_set_data(G_OBJECT(display_->gobj()), "gsk-renderer", nullptr);
        fs::remove_all(devices_);
    }
    void addDevice(const fs::path& name) { std::ofstream(devices_ / name) << ""; }
    const char* chosen() const {
        return static_cast<const char*>(
            g_object_get_data(G_OBJECT(display_->gobj()), "gsk-renderer"));
    }

    fs::path devices_;
    Glib::RefPtr<Gdk::Display> display_ = Gdk::Display::get_default();
};

TEST_F(RendererTest, WithoutAGraphicsDeviceTheWindowIsDrawnWithCairo) {
    // A display card without a render node carries no GL of its own.
    addDevice("dri/card0");
    EXPECT_FALSE(hasGraphicsDevice(devices_));
    chooseRenderer(*display_, devices_);
    ASSERT_STREQ(chosen(), "cairo");

    GtkWidget* window = gtk_window_new();
    gtk_window_present(GTK_WINDOW(window));
    ASSERT_TRUE(waitUntil([&] { return gtk_widget_get_mapped(window); }));
    EXPECT_STREQ(G_OBJECT_TYPE_NAME(gtk_native_get_renderer(GTK_NATIVE(window))),
                 "GskCairoRenderer");
    gtk_window_destroy(GTK_WINDOW(window));
    runPending();
}

TEST_F(RendererTest, AGraphicsDeviceOrTheUsersChoiceLeavesGtkToChoose) {
    addDevice("nvidia0");
    EXPECT_TRUE(hasGraphicsDevice(devices_));
    fs::remove(devices_ / "nvidia0");
    addDevice("dri/renderD128");
    EXPECT_TRUE(hasGraphicsDevice(devices_));
    chooseRenderer(*display_, devices_);
    EXPECT_EQ(chosen(), nullptr);

    fs::remove(devices_ / "dri/renderD128");
    g_setenv("GSK_RENDERER", "gl", TRUE);
    chooseRenderer(*display_, devices_);
    EXPECT_EQ(chosen(), nullptr) << "the environment's renderer stands";
    EXPECT_FALSE(hasGraphicsDevice(devices_ / "missing"));
}

// Pages follow the window: drawn without GL where the window draws with cairo,
// unless the user named a renderer or one of the engine's drawing switches.
TEST_F(RendererTest, PagesDrawWithoutAccelerationOnlyWhereTheWindowUsesCairo) {
    EXPECT_EQ(choosePageDrawing(devices_), PageDrawing::WithoutAcceleration);
    for (const char* variable :
         {"GSK_RENDERER", "WEBKIT_DISABLE_COMPOSITING_MODE", "WEBKIT_DISABLE_DMABUF_RENDERER"}) {
        g_setenv(variable, "1", TRUE);
        EXPECT_EQ(choosePageDrawing(devices_), PageDrawing::EngineDefault) << variable;
        g_unsetenv(variable);
    }
    g_setenv("WEBKIT_FORCE_COMPOSITING_MODE", "", TRUE);
    EXPECT_EQ(choosePageDrawing(devices_), PageDrawing::WithoutAcceleration)
        << "an empty value chooses nothing";
    g_unsetenv("WEBKIT_FORCE_COMPOSITING_MODE");
    addDevice("dri/renderD128");
    EXPECT_EQ(choosePageDrawing(devices_), PageDrawing::EngineDefault);
}

} // namespace
} // namespace vesk::test
