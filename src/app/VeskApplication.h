#pragma once

#include <memory>
#include <vector>

#include <giomm/applicationcommandline.h>
#include <gtkmm/application.h>

#include "app/AppDelegate.h"

namespace vesk {

// The application object: one per process, and one per desktop session by
// its id. The addresses on the command line open in tabs of their own; a
// second launch hands its command line to the running one, which opens them
// in new tabs, or, given none, only presents its window. Closing the window
// quits; so do SIGTERM and SIGINT, finishing every write first.
class VeskApplication : public Gtk::Application {
public:
    static constexpr const char* kApplicationId = "org.vesk.Browser";

    // The command line is always handled, whatever the flags.
    static Glib::RefPtr<VeskApplication>
    create(AppOptions options, Gio::Application::Flags flags = Gio::Application::Flags::NONE,
           const Glib::ustring& applicationId = kApplicationId);

    // The delegate, once start-up has run.
    AppDelegate* delegate() const { return delegate_.get(); }

protected:
    VeskApplication(AppOptions options, Gio::Application::Flags flags,
                    const Glib::ustring& applicationId);
    void on_activate() override;
    int on_command_line(const Glib::RefPtr<Gio::ApplicationCommandLine>& commandLine) override;
    void on_startup() override;
    void on_shutdown() override;

private:
    // SIGTERM (a desktop logging out) and SIGINT quit as the user would, but
    // keep the session, so the tabs are offered at the next start.
    static gboolean onQuitSignal(gpointer self);

    AppOptions options_;
    std::vector<guint> signalSources_;
    std::unique_ptr<AppDelegate> delegate_;
};

} // namespace vesk
