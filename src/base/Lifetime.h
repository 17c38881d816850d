#pragma once

#include <memory>

namespace vesk {

// Work that runs after the call that started it (an animation's frames, an
// idle callback, an answer from the web process) holds a watch of its owner's
// lifetime and does nothing once the owner is gone. Signal handlers use the
// other mechanism, sigc::trackable: components derive from it, so their
// connections made with sigc::mem_fun end with them.
class Lifetime {
public:
    using Watch = std::weak_ptr<void>;

    Lifetime() = default;
    Lifetime(const Lifetime&) = delete;
    Lifetime& operator=(const Lifetime&) = delete;

    Watch watch() const { return token_; }

private:
    std::shared_ptr<int> token_ = std::make_shared<int>(0);
};

} // namespace vesk
