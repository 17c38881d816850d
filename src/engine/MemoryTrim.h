#pragma once

namespace vesk {

class WebView;

// Start-up frees much of what it allocates on the way (style sheets read, the
// engine set up, the first frames drawn); a second after `view`'s first page
// has loaded, when the page has been drawn, the freed pages go back to the
// system instead of staying with the process for good.
void releaseFreedMemoryOnceLoaded(WebView& view);

} // namespace vesk
