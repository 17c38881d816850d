#include "GuiTest.h"
#include "TestServer.h"

#include <algorithm>
#include <fstream>
#include <regex>

#include <gio/gio.h>
#include <glibmm/main.h>

#include "app/VeskApplication.h"

namespace vesk::test {
namespace {

// Runs the application on `args` until, once its window is up, `ready` holds and its tabs have
// the `expected` addresses with the last one selected; gives up after 10 s.
void runUntil(VeskApplication& vesk, std::vector<std::string> args,
              const std::vector<std::string>& expected, const std::function<bool()>& ready) {
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    std::vector<std::string> seen;
    int ticks = 0;
    auto poll = Glib::signal_timeout().connect(
        [&] {
            AppDelegate* app = vesk.delegate();
            if (app && app->window().window().get_mapped() && ready()) {
                seen.clear();
                for (std::size_t i = 0; i < app->tabs().size(); ++i)
                    seen.push_back(app->tabs().model().tabs()[i].address);
                if (seen == expected && activeIndexOf(app->tabs()) + 1 == std::ssize(expected))
                    vesk.quit();
            }
            if (++ticks < 200)
                return true;
            vesk.quit();
            return false;
        },
        50);
    vesk.run(static_cast<int>(argv.size()), argv.data());
    poll.disconnect();
    EXPECT_EQ(seen, expected);
    EXPECT_LT(ticks, 200) << "not done in time";
}

TEST(CommandLineTest, EachAddressOrFileOpensInATabOfItsOwnInsteadOfTheHomePage) {
    TempHome home;
    TestServer server;
    // Typed text, not a file name: the address rules put https in front of a bare host, and the
    // plain server's failed handshake brings it back to http. A path is a file, as the desktop
    // gives a page it opens here.
    const std::string bare = server.url("/b").substr(std::string("http://").size());
    const std::string file = (home.path() / "page.html").string();
    std::ofstream(file) << htmlPage("F");
    auto vesk = VeskApplication::create(AppOptions{"", {}}, Gio::Application::Flags::NON_UNIQUE,
                                        "org.vesk.BrowserTests.CommandLine");
    // The last, selected, loads at once; the others wait for their first selection.
    runUntil(*vesk, {"vesk", "--", server.url("/a"), file, bare},
             {server.url("/a"), "file://" + file, "http://" + bare}, [] { return true; });
}

// Runs the built program with `argument`, without a display, and returns what it printed;
// it must end by itself, with success.
std::string answerOf(const std::filesystem::path& program, const char* argument) {
    g_autoptr(GSubprocessLauncher) launcher = g_subprocess_launcher_new(
        GSubprocessFlags(G_SUBPROCESS_FLAGS_STDOUT_PIPE | G_SUBPROCESS_FLAGS_STDERR_MERGE));
    // Starting the browser would need a display, and fail without one.
    g_subprocess_launcher_unsetenv(launcher, "DISPLAY");
    g_subprocess_launcher_unsetenv(launcher, "WAYLAND_DISPLAY");
    g_autoptr(GSubprocess) process =
        g_subprocess_launcher_spawn(launcher, nullptr, program.c_str(), argument, nullptr);
    if (!process) {
        ADD_FAILURE() << "cannot run " << program;
        return {};
    }
    struct Answer {
        bool done = false;
        std::string text;
    } answer;
    g_subprocess_communicate_utf8_async(
        process, nullptr, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            auto* reply = static_cast<Answer*>(data);
            char* out = nullptr;
            if (g_subprocess_communicate_utf8_finish(G_SUBPROCESS(source), result, &out, nullptr,
                                                     nullptr))
                reply->text = out ? out : "";
            g_free(out);
            reply->done = true;
        },
        &answer);
    if (!waitUntil([&] { return answer.done; })) {
        g_subprocess_force_exit(process);
        waitUntil([&] { return answer.done; });
        ADD_FAILURE() << argument << " did not end by itself";
    }
    EXPECT_TRUE(g_subprocess_get_if_exited(process) && g_subprocess_get_exit_status(process) == 0)
        << argument << " answered: " << answer.text;
    return answer.text;
}

TEST(CommandLineTest, HelpAndVersionAnswerOnTheTerminalAndStartNothing) {
    TempHome home;
    const auto program = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "vesk";
    ASSERT_TRUE(std::filesystem::exists(program)) << "build the vesk target first";
    EXPECT_TRUE(answerOf(program, "--help").starts_with("Usage:\n  vesk [OPTION"));
    EXPECT_TRUE(
        std::regex_match(answerOf(program, "--version"), std::regex("Vesk \\d+(\\.\\d+)*\n")));
    // Neither made the application's folders.
    std::vector<std::string> made;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(home.path()))
        made.push_back(entry.path().lexically_relative(home.path()).string());
    std::sort(made.begin(), made.end());
    EXPECT_EQ(made, (std::vector<std::string>{"config", "data"}));
}

// Two application objects in one process share one bus connection and one main context, so
// the second launch is the real program, given the test's id.
TEST(CommandLineTest, ASecondLaunchHandsItsAddressesToTheRunningInstanceAndEnds) {
    TempHome home;
    TestServer server;
    const std::string idOption = "--gapplication-app-id=org.vesk.BrowserTests.SecondLaunch";
    const auto program = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "vesk";
    ASSERT_TRUE(std::filesystem::exists(program)) << "build the vesk target first";
    auto first = VeskApplication::create(AppOptions{"", {}}, Gio::Application::Flags::NONE,
                                         idOption.substr(idOption.find('=') + 1));
    ASSERT_TRUE(first->register_application() && first->get_dbus_connection())
        << "no session bus to meet on: scripts/run-tests.sh starts one";
    g_autoptr(GSubprocess) second = nullptr; // it has ended once it has no identifier
    runUntil(*first, {"vesk"}, {"", server.url("/c")}, [&] {
        if (!second)
            second = g_subprocess_new(G_SUBPROCESS_FLAGS_NONE, nullptr, program.c_str(),
                                      idOption.c_str(), server.url("/c").c_str(), nullptr);
        return !g_subprocess_get_identifier(second);
    });
    ASSERT_FALSE(g_subprocess_get_identifier(second)) << "the second launch never ended";
    EXPECT_TRUE(g_subprocess_get_if_exited(second) && g_subprocess_get_exit_status(second) == 0);
}

} // namespace
} // namespace vesk::test
