#pragma once

#include <string>

#include <gtkmm/cssprovider.h>

namespace vesk {

// The chrome's two style sheets on the default display: the fixed one with
// shapes and spacing, and the theme's colours, replaced whole at each apply.
class Css {
public:
    Css();
    ~Css();
    Css(const Css&) = delete;
    Css& operator=(const Css&) = delete;

    // Replaces the theme style sheet with `css`.
    void setThemeCss(const std::string& css);

    // The fixed style sheet: shapes, spacing and the colours used before any
    // theme is applied.
    static const char* baseCss();

private:
    Glib::RefPtr<Gtk::CssProvider> base_;
    Glib::RefPtr<Gtk::CssProvider> theme_;
};

} // namespace vesk
