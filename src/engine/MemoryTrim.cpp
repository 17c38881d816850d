#include "engine/MemoryTrim.h"

#include <malloc.h>
#include <memory>
#include <utility>

#include <glibmm/main.h>

#include "engine/WebView.h"

namespace vesk {

namespace {
constexpr unsigned kTrimDelayMs = 1000;
} // namespace

void releaseFreedMemoryOnceLoaded(WebView& view) {
    // Whichever ends the first load, a finished page or a failure, trims; later loads do not.
    auto done = std::make_shared<bool>(false);
    auto trim = [done] {
        if (std::exchange(*done, true))
            return;
        Glib::signal_timeout().connect_once([] { malloc_trim(0); }, kTrimDelayMs,
                                            Glib::PRIORITY_LOW);
    };
    view.signalFinished().connect([trim](const FinishedPage&) { trim(); });
    view.signalFailed().connect([trim](LoadError) { trim(); });
    view.signalFailedBeforeCommit().connect([trim](LoadError) { trim(); });
}

} // namespace vesk
