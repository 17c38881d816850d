#include "app/VeskApplication.h"

#include <adwaita.h>

#include "app/MainWindow.h"

namespace vesk {

Glib::RefPtr<VeskApplication> VeskApplication::create(AppOptions options,
                                                      Gio::Application::Flags flags,
                                                      const Glib::ustring& applicationId) {
    return Glib::make_refptr_for_instance<VeskApplication>(
        new VeskApplication(std::move(options), flags, applicationId));
}

VeskApplication::VeskApplication(AppOptions options, Gio::Application::Flags flags,
                                 const Glib::ustring& applicationId)
    : Gtk::Application(applicationId, flags), options_(std::move(options)) {}

void VeskApplication::on_activate() {
    if (delegate_) {
        // A second launch, or a second activation: the one window comes forward.
        delegate_->window().present();
        return;
    }
    adw_init();
    delegate_ = std::make_unique<AppDelegate>(options_);
    delegate_->applicationDidFinishLaunching(this);
}

void VeskApplication::on_shutdown() {
    delegate_.reset();
    Gtk::Application::on_shutdown();
}

} // namespace vesk
