#pragma once

#include <utility>

#include <glib-object.h>

namespace vesk {

// Owns one reference to a GObject and drops it when it goes. The C objects the
// web-view adapter and the animations hold are kept with it, so that no path
// out of a function can forget an unref.
template <typename T> class GObjectPtr {
public:
    GObjectPtr() = default;
    ~GObjectPtr() { reset(); }
    GObjectPtr(const GObjectPtr& other) : object_(other.object_) {
        if (object_)
            g_object_ref(object_);
    }
    GObjectPtr(GObjectPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GObjectPtr& operator=(GObjectPtr other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }

    // Takes over a reference the caller already holds (a new object, a `_finish` result).
    static GObjectPtr adopt(T* object) {
        GObjectPtr p;
        p.object_ = object;
        return p;
    }
    // Takes a reference of its own; a floating reference (a new widget) is sunk.
    static GObjectPtr retain(T* object) {
        GObjectPtr p;
        p.object_ = object ? static_cast<T*>(g_object_ref_sink(object)) : nullptr;
        return p;
    }

    void reset() {
        if (object_)
            g_object_unref(std::exchange(object_, nullptr));
    }

    T* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

} // namespace vesk
