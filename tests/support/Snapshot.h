#pragma once

#include <algorithm>
#include <cmath>
#include <map>
#include <ostream>
#include <stdexcept>
#include <vector>

#include <gtk/gtk.h>
#include <gtkmm/widget.h>

#include "theme/Contrast.h"

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

// The contrast (WCAG 2) of the text in `area` of an opaque picture with the surface
// under it: the surface is the commonest pixel there, the text the pixel that stands
// out from it most.
inline double textContrastIn(GdkTexture* texture, const Gdk::Rectangle& area) {
    const int width = gdk_texture_get_width(texture), height = gdk_texture_get_height(texture);
    if (area.get_width() <= 0 || area.get_height() <= 0 || area.get_x() < 0 || area.get_y() < 0 ||
        area.get_x() + area.get_width() > width || area.get_y() + area.get_height() > height)
        throw std::out_of_range("the area is not inside the picture");
    const std::size_t stride = std::size_t(width) * 4;
    std::vector<guint8> bytes(stride * height);
    gdk_texture_download(texture, bytes.data(), stride);
    // Blue, green and red in memory order, as in paintedAt.
    std::map<guint32, int> counts;
    for (int y = area.get_y(); y < area.get_y() + area.get_height(); ++y)
        for (int x = area.get_x(); x < area.get_x() + area.get_width(); ++x) {
            const guint8* p = &bytes[y * stride + std::size_t(x) * 4];
            ++counts[guint32(p[0]) | guint32(p[1]) << 8 | guint32(p[2]) << 16];
        }
    const auto colorOf = [](guint32 packed) {
        return Color::rgb((packed >> 16 & 0xff) / 255.0, (packed >> 8 & 0xff) / 255.0,
                          (packed & 0xff) / 255.0);
    };
    const auto commonest = std::max_element(counts.begin(), counts.end(),
                                            [](auto& a, auto& b) { return a.second < b.second; });
    const Color surface = colorOf(commonest->first);
    double best = 1.0;
    for (const auto& entry : counts)
        best = std::max(best, contrastRatio(colorOf(entry.first), surface, ColorScheme::Light));
    return best;
}

// The same for `area` of `window` (in the window's coordinates), as the window renders it.
inline double paintedTextContrast(Gtk::Widget& window, const Gdk::Rectangle& area) {
    GdkPaintable* paintable = gtk_widget_paintable_new(window.gobj());
    GtkSnapshot* snapshot = gtk_snapshot_new();
    gdk_paintable_snapshot(paintable, snapshot, window.get_width(), window.get_height());
    GskRenderNode* node = gtk_snapshot_free_to_node(snapshot);
    g_object_unref(paintable);
    if (!node)
        throw std::runtime_error("the window painted nothing");
    GskRenderer* renderer = gtk_native_get_renderer(gtk_widget_get_native(window.gobj()));
    graphene_rect_t viewport =
        GRAPHENE_RECT_INIT(float(area.get_x()), float(area.get_y()), float(area.get_width()),
                           float(area.get_height()));
    GdkTexture* texture = gsk_renderer_render_texture(renderer, node, &viewport);
    gsk_render_node_unref(node);
    const double contrast =
        textContrastIn(texture, Gdk::Rectangle(0, 0, area.get_width(), area.get_height()));
    g_object_unref(texture);
    return contrast;
}

// The same for the area `widget` takes in `window`.
inline double paintedTextContrast(Gtk::Widget& window, Gtk::Widget& widget) {
    graphene_rect_t bounds;
    if (!gtk_widget_compute_bounds(widget.gobj(), window.gobj(), &bounds))
        throw std::runtime_error("the widget is not in its window");
    return paintedTextContrast(
        window, Gdk::Rectangle(int(std::ceil(bounds.origin.x)), int(std::ceil(bounds.origin.y)),
                               int(bounds.size.width) - 1, int(bounds.size.height) - 1));
}

} // namespace vesk::test
