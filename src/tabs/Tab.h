#pragma once

#include <memory>
#include <string>

#include <gtkmm/button.h>

namespace vesk {

class WebView;
class VeskTabPill;

// One open tab. The record owns its web view and its pill; the title and
// close buttons are children of the pill and live as long as it does.
struct Tab {
    Tab();
    ~Tab();
    Tab(const Tab&) = delete;
    Tab& operator=(const Tab&) = delete;

    std::unique_ptr<WebView> web;
    Gtk::Button* btn = nullptr;
    Gtk::Button* closeBtn = nullptr;
    std::unique_ptr<VeskTabPill> pill;
    // The folderId of the tab's folder; empty for none.
    std::string parentFolderId;
};

} // namespace vesk
