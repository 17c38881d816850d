#include "app/AppDelegate.h"

#include <gtkmm/image.h>
#include <gtkmm/label.h>
#include <pangomm/attrlist.h>

#include "platform/ConstraintView.h"
#include "platform/Css.h"
#include "platform/WebView.h"
#include "tabs/VeskTabPill.h"

namespace vesk {

Tab::Tab() = default;

Tab::~Tab() {
    // The web view's handlers go with it, so no late page event reaches a closed tab.
    web.reset();
    if (pill && pill->get_parent())
        pill->unparent();
}

Pango::FontDescription veskFont(double pointSize, FontWeight weight) {
    Pango::FontDescription font;
    font.set_family("Sans");
    font.set_absolute_size(pointSize * PANGO_SCALE);
    font.set_weight(static_cast<Pango::Weight>(static_cast<int>(weight)));
    return font;
}

Gtk::Label* labelOf(Gtk::Widget& labelOrButton) {
    if (auto* label = dynamic_cast<Gtk::Label*>(&labelOrButton))
        return label;
    if (auto* button = dynamic_cast<Gtk::Button*>(&labelOrButton))
        return dynamic_cast<Gtk::Label*>(button->get_child());
    return nullptr;
}

void setVeskFont(Gtk::Widget& labelOrButton, double pointSize, FontWeight weight) {
    Gtk::Label* label = labelOf(labelOrButton);
    if (!label)
        return;
    Pango::AttrList attrs;
    auto attr = Pango::Attribute::create_attr_font_desc(veskFont(pointSize, weight));
    attrs.insert(attr);
    label->set_attributes(attrs);
}

AppDelegate::AppDelegate(AppOptions options) : options_(std::move(options)) {}

AppDelegate::~AppDelegate() {
    widthRefit_.disconnect();
    // Tabs go first: their web views must leave the window before it is destroyed.
    tabs.clear();
    folders.clear();
    if (window)
        window->destroy();
}

Tab* AppDelegate::currentTab() const {
    if (!isValidTabIndex(activeIdx, static_cast<std::int64_t>(tabs.size())))
        return nullptr;
    return tabs[static_cast<std::size_t>(activeIdx)].get();
}

Gtk::Button* AppDelegate::iconBtn(const std::string& symbol, void (AppDelegate::*action)()) {
    auto* button = Gtk::make_managed<Gtk::Button>();
    button->set_icon_name(symbol);
    button->set_has_frame(false);
    button->add_css_class("flat");
    button->add_css_class("vesk-icon-button");
    button->set_focus_on_click(false);
    // The tint comes from the style sheets: system blue before any theme is
    // applied, the theme's accent after.
    if (action)
        button->signal_clicked().connect(sigc::mem_fun(*this, action));
    return button;
}

void AppDelegate::setAddressText(const std::string& text) {
    settingAddressText_ = true;
    addr->set_text(text);
    settingAddressText_ = false;
}

} // namespace vesk
