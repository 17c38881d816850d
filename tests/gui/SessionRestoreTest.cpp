#include "GuiTest.h"
#include "TestServer.h"

#include <algorithm>
#include <csignal>
#include <fstream>

#include <gio/gio.h>

#include "store/SessionFile.h"
#include "store/VeskStore.h"

namespace vesk::test {
namespace {

struct SessionRestoreTest : GuiTest {
    SessionRestoreTest() {
        for (const char* path : {"/a", "/b", "/c"})
            server.addPage(path, htmlPage(path));
    }
    std::filesystem::path file() const { return home->dataDir() / "Vesk" / sessionFileName; }
    // The addresses the session file holds, each written once its page loaded.
    std::vector<std::string> saved() const {
        std::vector<std::string> addresses;
        for (const SessionTab& tab : readSession(file()).value_or(SessionState{}).tabs)
            addresses.push_back(tab.address);
        return addresses;
    }
    // Selects each tab in turn, which loads a restored one, and gives the addresses loaded.
    std::vector<std::string> addressesOnSelecting() {
        std::vector<std::string> loaded;
        for (std::size_t i = 0; i < app->tabs().size(); ++i) {
            app->tabs().select(static_cast<std::int64_t>(i));
            waitUntil([&] { return tab(i).web().url().has_value(); });
            loaded.push_back(tab(i).web().url().value_or(""));
        }
        return loaded;
    }
    void pressRestore(const std::string& offer) {
        RestoreBar& bar = app->window().restoreBar();
        ASSERT_TRUE(bar.isShown());
        EXPECT_EQ(bar.label().get_text().raw(), offer);
        EXPECT_GT(frameOf(bar.widget()).get_height(), 0);
        click(bar.restoreButton());
    }
    TestServer server;
    const std::vector<std::string> pages{server.url("/a"), server.url("/b"), server.url("/c")};
};

TEST_F(SessionRestoreTest, AKilledRunIsOfferedAndItsTabsComeBackInOrderLoadingWhenSelected) {
    const auto program = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "vesk";
    ASSERT_TRUE(std::filesystem::exists(program)) << "build the vesk target first";
    g_autoptr(GSubprocess) run =
        g_subprocess_new(G_SUBPROCESS_FLAGS_NONE, nullptr, program.c_str(),
                         "--gapplication-app-id=org.vesk.BrowserTests.Killed", pages[0].c_str(),
                         pages[1].c_str(), pages[2].c_str(), nullptr);
    ASSERT_TRUE(run);
    const bool written = waitUntil([&] { return saved() == pages; }, std::chrono::seconds(30));
    g_subprocess_send_signal(run, SIGKILL);
    g_subprocess_wait(run, nullptr, nullptr);
    ASSERT_TRUE(written) << "the running copy never wrote its tabs";

    launch();
    // Until the offer is answered, the last session stays on disk for a second crash.
    click(toolbar().newTab());
    EXPECT_FALSE(waitUntil([&] { return saved() != pages; }, std::chrono::milliseconds(1500)))
        << "the unanswered session was overwritten";
    app->tabs().close(tab(1));
    pressRestore("Restore 3 tabs from the last session?");
    ASSERT_EQ(app->tabs().size(), 3u) << "the untouched start-up tab gives way";
    EXPECT_EQ(activeIndexOf(app->tabs()), 2);
    EXPECT_FALSE(tab(0).hasPage()) << "a tab not selected waits";
    EXPECT_EQ(addressesOnSelecting(), pages);
}

// A desktop logging out ends the program with SIGTERM: it quits cleanly, its
// history reaches the disk and its tabs are offered at the next start.
TEST_F(SessionRestoreTest, ATerminatedRunFinishesItsWritesAndIsOffered) {
    const auto program = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "vesk";
    g_autoptr(GSubprocess) run = g_subprocess_new(
        G_SUBPROCESS_FLAGS_NONE, nullptr, program.c_str(),
        "--gapplication-app-id=org.vesk.BrowserTests.Terminated", pages[2].c_str(), nullptr);
    ASSERT_TRUE(run);
    const bool written =
        waitUntil([&] { return saved() == std::vector{pages[2]}; }, std::chrono::seconds(30));
    g_subprocess_send_signal(run, SIGTERM);
    g_subprocess_wait(run, nullptr, nullptr);
    ASSERT_TRUE(written) << "the running copy never wrote its tab";
    EXPECT_TRUE(g_subprocess_get_if_exited(run) && g_subprocess_get_exit_status(run) == 0)
        << "SIGTERM ended the program like a crash";
    const std::vector<HistoryEntry> history = VeskStore::shared().loadHistory();
    EXPECT_TRUE(std::ranges::any_of(history, [&](const auto& e) { return e.url == pages[2]; }))
        << "the visit was lost";
    launch();
    EXPECT_TRUE(app->window().restoreBar().isShown());
}

TEST_F(SessionRestoreTest, FoldersModeAndSelectionComeBackAndANormalQuitLeavesNoFile) {
    launch(AppOptions{"", {pages[0], pages[1]}});
    app->tabs().model().createFolder();
    app->tabs().toggleLayoutMode();
    app->tabs().select(0);
    const std::vector<std::string> opened(pages.begin(), pages.begin() + 2);
    ASSERT_TRUE(waitUntil([&] {
        const auto session = readSession(file());
        return session && saved() == opened && session->isSidebarMode &&
               session->selectedIndex == 0;
    }));
    app.reset(); // the window's close path never runs, as when the process is killed

    launch();
    pressRestore("Restore 2 tabs from the last session?");
    ASSERT_EQ(app->tabs().model().folders().size(), 1u);
    EXPECT_EQ(app->tabs().model().folders()[0].name, "Workspace 1");
    EXPECT_EQ(app->tabs().model().tabs()[0].folderId, "");
    EXPECT_EQ(app->tabs().model().tabs()[1].folderId, app->tabs().model().folders()[0].folderId);
    EXPECT_TRUE(app->tabs().model().mode() == StripMode::Sidebar);
    EXPECT_EQ(activeIndexOf(app->tabs()), 0);
    EXPECT_EQ(addressesOnSelecting(), opened);

    // The window's close path: every page agrees, the last tab goes, the file with it.
    window().close();
    ASSERT_TRUE(waitUntil([&] { return app->tabs().empty(); }));
    ASSERT_TRUE(VeskStore::shared().writePending(std::chrono::seconds(3)));
    EXPECT_FALSE(std::filesystem::exists(file()));
    app.reset();
}

TEST_F(SessionRestoreTest, ADamagedFileIsSetAsideAndNothingIsOffered) {
    std::filesystem::create_directories(file().parent_path());
    std::ofstream(file()) << "<plist><dict><key>tabs";
    launch();
    EXPECT_FALSE(app->window().restoreBar().isShown());
    EXPECT_TRUE(std::filesystem::exists(file().string() + ".corrupt"));
}

} // namespace
} // namespace vesk::test
