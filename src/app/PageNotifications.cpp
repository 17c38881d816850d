#include "app/PageNotifications.h"

#include <giomm/notification.h>
#include <giomm/simpleaction.h>

#include "app/TabsController.h"
#include "engine/PermissionRequests.h"
#include "tabs/PermissionBar.h"

namespace vesk {

PageNotifications::PageNotifications(Gtk::Application* app, TabsController& tabs)
    : app_(app), tabs_(tabs) {
    if (!app_ || app_->has_action(kShowTabAction))
        return;
    auto action = Gio::SimpleAction::create(kShowTabAction, Glib::VARIANT_TYPE_UINT64);
    action->signal_activate().connect([this](const Glib::VariantBase& id) {
        showTab(Glib::VariantBase::cast_dynamic<Glib::Variant<guint64>>(id).get());
    });
    app_->add_action(action);
}

void PageNotifications::watch(Tab& tab) {
    const TabId id = tabs_.idOf(tab);
    if (PermissionBar* bar = tab.permissionBar())
        bar->requests().signalNotification().connect(
            [this, id](const std::string& title, const std::string& body) {
                notify(id, title, body);
            });
}

void PageNotifications::showTab(TabId id) {
    if (!tabs_.model().selectTab(id))
        return;
    if (Gtk::Window* window = app_ ? app_->get_active_window() : nullptr)
        window->present();
}

void PageNotifications::notify(TabId id, const std::string& title, const std::string& body) {
    // Sending needs an application known to the session bus.
    if (!app_ || !app_->is_registered())
        return;
    auto notification = Gio::Notification::create(title);
    notification->set_body(body);
    notification->set_default_action_variant(std::string("app.") + kShowTabAction,
                                             Glib::Variant<guint64>::create(id));
    app_->send_notification(notification);
}

} // namespace vesk
