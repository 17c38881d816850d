#include <clocale>
#include <cstdlib>

#include <glib.h>

#include "app/VeskApplication.h"

namespace {

// GLib's parser ends the process itself after printing the usage for --help.
constexpr int kLaunch = -1;

// --help and --version are answered before the application exists, since
// making it connects to the display: they work without one and never open a
// window. Everything else, unknown options too, is left for the launch.
int answerOnTerminal(int argc, char* argv[]) {
    gboolean version = FALSE;
    const GOptionEntry entries[] = {
        {"version", '\0', G_OPTION_FLAG_NONE, G_OPTION_ARG_NONE, &version,
         "Show the version and quit", nullptr},
        {},
    };
    GOptionContext* context = g_option_context_new("[ADDRESS...]");
    g_option_context_set_summary(context, "Opens each address or file in a tab of its own, "
                                          "also in a Vesk that is already running.");
    g_option_context_add_main_entries(context, entries, nullptr);
    g_option_context_set_ignore_unknown_options(context, TRUE);
    // The parser takes out what it knows; the launch gets the arguments whole.
    gchar** arguments = g_new0(gchar*, argc + 1);
    for (int i = 0; i < argc; ++i)
        arguments[i] = g_strdup(argv[i]);
    const bool parsed = g_option_context_parse_strv(context, &arguments, nullptr);
    g_strfreev(arguments);
    g_option_context_free(context);
    if (!parsed || !version)
        return kLaunch;
    g_print("Vesk %s\n", VESK_VERSION);
    return EXIT_SUCCESS;
}

} // namespace

int main(int argc, char* argv[]) {
    // The usage is printed in the user's language and characters.
    std::setlocale(LC_ALL, "");
    if (const int answered = answerOnTerminal(argc, argv); answered != kLaunch)
        return answered;
    // vesk [ADDRESS…]: the arguments reach the running instance, if there is
    // one, and this process ends with its answer. --gapplication-app-id runs a
    // separate instance under another id, as the tests do.
    auto app = vesk::VeskApplication::create(vesk::AppOptions{},
                                             Gio::Application::Flags::CAN_OVERRIDE_APP_ID);
    return app->run(argc, argv);
}
