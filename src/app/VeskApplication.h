#pragma once

#include <memory>

#include <gtkmm/application.h>

#include "app/AppDelegate.h"

namespace vesk {

// The application object: one per process, and one per desktop session by
// its id. A second launch reaches the running one, which only presents its
// window; closing the window quits.
class VeskApplication : public Gtk::Application {
public:
    static constexpr const char* kApplicationId = "org.vesk.Browser";

    static Glib::RefPtr<VeskApplication>
    create(AppOptions options, Gio::Application::Flags flags = Gio::Application::Flags::NONE,
           const Glib::ustring& applicationId = kApplicationId);

    // The delegate, once start-up has run.
    AppDelegate* delegate() const { return delegate_.get(); }

protected:
    VeskApplication(AppOptions options, Gio::Application::Flags flags,
                    const Glib::ustring& applicationId);
    void on_activate() override;
    void on_shutdown() override;

private:
    AppOptions options_;
    std::unique_ptr<AppDelegate> delegate_;
};

} // namespace vesk
