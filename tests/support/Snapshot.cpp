#include "Snapshot.h"

#include <cmath>
#include <cstdlib>
#include <ostream>
#include <stdexcept>

#include <gtk/gtk.h>

namespace vesk::test {

Snapshot::Snapshot(Gtk::Widget& widget) {
    GtkWidget* w = widget.gobj();
    width_ = gtk_widget_get_width(w);
    height_ = gtk_widget_get_height(w);
    GdkPaintable* paintable = gtk_widget_paintable_new(w);
    GtkSnapshot* snapshot = gtk_snapshot_new();
    gdk_paintable_snapshot(paintable, GDK_SNAPSHOT(snapshot), width_, height_);
    GskRenderNode* node = gtk_snapshot_free_to_node(snapshot);
    g_object_unref(paintable);
    if (!node)
        throw std::runtime_error("the widget painted nothing");
    GskRenderer* renderer = gtk_native_get_renderer(gtk_widget_get_native(w));
    graphene_rect_t viewport = GRAPHENE_RECT_INIT(0, 0, float(width_), float(height_));
    GdkTexture* texture = gsk_renderer_render_texture(renderer, node, &viewport);
    gsk_render_node_unref(node);
    data_.resize(std::size_t(width_) * std::size_t(height_) * 4);
    gdk_texture_download(texture, data_.data(), std::size_t(width_) * 4);
    g_object_unref(texture);
}

Pixel Snapshot::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        throw std::out_of_range("pixel outside the snapshot");
    // Cairo's ARGB32: premultiplied, blue first in memory on little-endian.
    const std::uint8_t* p = &data_[(std::size_t(y) * std::size_t(width_) + std::size_t(x)) * 4];
    Pixel px;
    px.a = p[3];
    auto unpremultiply = [&](int c) { return px.a ? std::min(255, c * 255 / px.a) : 0; };
    px.b = unpremultiply(p[0]);
    px.g = unpremultiply(p[1]);
    px.r = unpremultiply(p[2]);
    return px;
}

Pixel composite(double r, double g, double b, double alpha, const Pixel& under) {
    auto mix = [&](double top, int base) {
        return int(std::lround((top * alpha + (base / 255.0) * (1.0 - alpha)) * 255.0));
    };
    return Pixel{mix(r, under.r), mix(g, under.g), mix(b, under.b), 255};
}

bool near(const Pixel& a, const Pixel& b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

void PrintTo(const Pixel& p, std::ostream* os) {
    *os << "rgb(" << p.r << ", " << p.g << ", " << p.b << ") a=" << p.a;
}

} // namespace vesk::test
