#include "widgets/Text.h"

#include <gtkmm/button.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/stylecontext.h>
#include <pangomm/attrlist.h>

namespace vesk {

namespace {

// Above the theme's style sheet, which is replaced at every apply.
constexpr guint kFixedColorPriority = GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 2;

} // namespace

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

void setFixedColor(Gtk::Widget& widget, const Color& color) {
    // A style sheet of the widget's own, above the theme's; a named colour is
    // written as the style's name for it, which light and dark resolve each their way.
    // A text button's own colour also tints its background, so there only the
    // label takes it.
    auto provider = Gtk::CssProvider::create();
    provider->load_from_data("* { color: " + cssColor(color) + "; }");
    Gtk::Label* label = labelOf(widget);
    Gtk::Widget& target = label ? static_cast<Gtk::Widget&>(*label) : widget;
    target.get_style_context()->add_provider(provider, kFixedColorPriority);
}

} // namespace vesk
