#pragma once

#include <cstdint>
#include <iosfwd>
#include <vector>

#include <gtkmm/widget.h>

namespace vesk::test {

// A straight-alpha RGB value of one painted pixel, 0 to 255.
struct Pixel {
    int r = 0, g = 0, b = 0, a = 0;
};

// What a widget paints, rendered by the window's own renderer and read back.
class Snapshot {
public:
    // Renders `widget` (usually the window) as it stands now.
    explicit Snapshot(Gtk::Widget& widget);

    int width() const { return width_; }
    int height() const { return height_; }
    Pixel at(int x, int y) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> data_;
};

// The colour (r, g, b in 0..1) `top` with its alpha gives over the opaque `under`.
Pixel composite(double r, double g, double b, double alpha, const Pixel& under);

void PrintTo(const Pixel& p, std::ostream* os);

// Whether two pixels agree within `tolerance` in each channel.
bool near(const Pixel& a, const Pixel& b, int tolerance = 3);

} // namespace vesk::test
