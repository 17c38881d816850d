#pragma once

#include <algorithm>
#include <cmath>
#include <ostream>
#include <stdexcept>

#include <gtk/gtk.h>
#include <gtkmm/widget.h>

namespace vesk::test {

// A straight-alpha RGB value of one painted pixel, 0 to 255.
struct Pixel {
    int r = 0, g = 0, b = 0, a = 0;
    friend void PrintTo(const Pixel& p, std::ostream* os) {
        *os << "rgb(" << p.r << ", " << p.g << ", " << p.b << ") a=" << p.a;
    }
};

// What `widget` paints now at (x, y), rendered by the window's own renderer and read back.
inline Pixel paintedAt(Gtk::Widget& widget, int x, int y) {
    if (x < 0 || y < 0 || x >= widget.get_width() || y >= widget.get_height())
        throw std::out_of_range("pixel outside the widget");
    GdkPaintable* paintable = gtk_widget_paintable_new(widget.gobj());
    GtkSnapshot* snapshot = gtk_snapshot_new();
    gdk_paintable_snapshot(paintable, snapshot, widget.get_width(), widget.get_height());
    GskRenderNode* node = gtk_snapshot_free_to_node(snapshot);
    g_object_unref(paintable);
    if (!node)
        throw std::runtime_error("the widget painted nothing");
    GskRenderer* renderer = gtk_native_get_renderer(gtk_widget_get_native(widget.gobj()));
    graphene_rect_t viewport = GRAPHENE_RECT_INIT(float(x), float(y), 1, 1);
    GdkTexture* texture = gsk_renderer_render_texture(renderer, node, &viewport);
    gsk_render_node_unref(node);
    guint8 p[4];
    gdk_texture_download(texture, p, 4);
    g_object_unref(texture);
    // Cairo's ARGB32: premultiplied, blue first in memory on little-endian.
    const auto straight = [&](int c) { return p[3] ? std::min(255, c * 255 / p[3]) : 0; };
    return Pixel{straight(p[2]), straight(p[1]), straight(p[0]), p[3]};
}

// The colour (r, g, b in 0..1) `top` with its alpha gives over the opaque `under`.
inline Pixel composite(double r, double g, double b, double alpha, const Pixel& under) {
    const auto mix = [&](double top, int base) {
        return int(std::lround((top * alpha + (base / 255.0) * (1.0 - alpha)) * 255.0));
    };
    return Pixel{mix(r, under.r), mix(g, under.g), mix(b, under.b), 255};
}

// Whether two pixels agree within 3 in each channel.
inline bool near(const Pixel& a, const Pixel& b) {
    return std::abs(a.r - b.r) <= 3 && std::abs(a.g - b.g) <= 3 && std::abs(a.b - b.b) <= 3;
}

} // namespace vesk::test
