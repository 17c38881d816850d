#include "app/VeskApplication.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <glib-unix.h>
#include <glibmm/convert.h>
#include <gtkmm/window.h>

#include "app/MainWindow.h"
#include "store/VeskStore.h"

namespace vesk {
namespace {

// What the user meant by one argument. A file on this machine, named by its
// full path (as the desktop names a page it opens here) or from the folder
// the command ran in, is its file address; anything else is typed text for
// the address rules, so "example.com" stays a host.
std::string addressFromArgument(const std::string& argument, const std::string& folder) {
    const std::filesystem::path typed(argument);
    const std::filesystem::path path = typed.is_absolute() ? typed : folder / typed;
    std::error_code error;
    if (argument.empty() || !path.is_absolute() ||
        (!typed.is_absolute() && !std::filesystem::exists(path, error)))
        return argument;
    return Glib::filename_to_uri(path.lexically_normal().string());
}

} // namespace

Glib::RefPtr<VeskApplication> VeskApplication::create(AppOptions options,
                                                      Gio::Application::Flags flags,
                                                      const Glib::ustring& applicationId) {
    return Glib::make_refptr_for_instance<VeskApplication>(
        new VeskApplication(std::move(options), flags, applicationId));
}

// The raw arguments reach the primary instance, with the folder they were
// typed in: to the user "example.com" is a host, and opening files would have
// made it a file of that folder.
VeskApplication::VeskApplication(AppOptions options, Gio::Application::Flags flags,
                                 const Glib::ustring& applicationId)
    : Gtk::Application(applicationId, flags | Gio::Application::Flags::HANDLES_COMMAND_LINE),
      options_(std::move(options)) {}

void VeskApplication::on_activate() {
    if (delegate_) {
        // A second launch, or a second activation: the one window comes forward.
        delegate_->window().present();
        return;
    }
    // The window's icon by name, for the desktop to draw from the installed icon theme.
    Gtk::Window::set_default_icon_name(kApplicationId);
    // The delegate sets up the platform style itself, once the first page is on its way.
    delegate_ = std::make_unique<AppDelegate>(options_);
    delegate_->applicationDidFinishLaunching(this);
}

int VeskApplication::on_command_line(const Glib::RefPtr<Gio::ApplicationCommandLine>& commandLine) {
    // This runs in the primary instance, for its own launch and for every later
    // one; GLib has taken out the options it knows.
    int argc = 0;
    char** argv = commandLine->get_arguments(argc);
    std::vector<std::string> addresses;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        // The first "--" only ends the options, as everywhere.
        if (!optionsEnded && std::string_view(argv[i]) == "--")
            optionsEnded = true;
        else
            addresses.push_back(addressFromArgument(argv[i], commandLine->get_cwd()));
    }
    g_strfreev(argv);

    if (!delegate_) {
        // The first launch: the addresses take the place of the home page.
        options_.addresses = std::move(addresses);
        activate();
    } else if (addresses.empty()) {
        activate();
    } else {
        delegate_->openAddresses(addresses);
        delegate_->window().present();
    }
    return EXIT_SUCCESS;
}

void VeskApplication::on_startup() {
    Gtk::Application::on_startup();
    // Only the primary instance, which holds the window and the files, handles them.
    for (int signal : {SIGTERM, SIGINT})
        signalSources_.push_back(g_unix_signal_add(signal, &VeskApplication::onQuitSignal, this));
}

gboolean VeskApplication::onQuitSignal(gpointer self) {
    // The session is not ended: the delegate's going writes what changed last,
    // and the writes finish before the process does.
    static_cast<VeskApplication*>(self)->quit();
    return G_SOURCE_CONTINUE;
}

void VeskApplication::on_shutdown() {
    for (guint source : signalSources_)
        g_source_remove(source);
    signalSources_.clear();
    delegate_.reset();
    // History and passwords still queued reach the disk before the process ends.
    VeskStore::shared().waitForWrites();
    Gtk::Application::on_shutdown();
}

} // namespace vesk
