#include "downloads/DownloadsButton.h"

#include <giomm/appinfo.h>
#include <glibmm/convert.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/popover.h>
#include <gtkmm/progressbar.h>

#include "widgets/IconButton.h"

namespace vesk {

namespace {

constexpr int kRowSpacing = 4;
constexpr int kListSpacing = 12;
constexpr int kListMargin = 8;
constexpr int kListWidth = 320;

std::string bytesText(const Download& download) {
    auto size = [](std::uint64_t bytes) {
        char* text = g_format_size(bytes);
        std::string s = text;
        g_free(text);
        return s;
    };
    std::string text = size(download.receivedBytes());
    if (download.totalBytes() > 0)
        text += " of " + size(download.totalBytes());
    return text;
}

// The desktop's own handler opens it; there is nothing to say when none is set.
void openWithDesktop(const std::filesystem::path& path) {
    try {
        Gio::AppInfo::launch_default_for_uri(Glib::filename_to_uri(path.string()));
    } catch (const Glib::Error&) {
    }
}

// One download's entry in the list; its widgets belong to the list.
struct Row {
    Gtk::Label* name = Gtk::make_managed<Gtk::Label>();
    Gtk::ProgressBar* bar = Gtk::make_managed<Gtk::ProgressBar>();
    Gtk::Label* status = Gtk::make_managed<Gtk::Label>();
    Gtk::Button* cancel = Gtk::make_managed<Gtk::Button>("Cancel");
    Gtk::Button* open = Gtk::make_managed<Gtk::Button>("Open");
    Gtk::Button* show = Gtk::make_managed<Gtk::Button>("Show in Folder");

    void update(const Download& d) {
        const DownloadState state = d.state();
        name->set_text(d.name());
        bar->set_fraction(state == DownloadState::Finished ? 1.0 : d.progress());
        status->set_text(state == DownloadState::Failed      ? "Failed"
                         : state == DownloadState::Cancelled ? "Cancelled"
                                                             : bytesText(d));
        cancel->set_visible(state == DownloadState::Running);
        open->set_visible(state == DownloadState::Finished);
        show->set_visible(state == DownloadState::Finished);
    }
};

} // namespace

DownloadsButton::DownloadsButton()
    : button_(Gtk::make_managed<Gtk::MenuButton>()),
      list_(Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL)) {
    button_->set_icon_name("folder-download-symbolic");
    button_->set_has_frame(false);
    button_->add_css_class("vesk-toolbar-button");
    setAccessibleName(*button_, "Downloads");
    button_->set_visible(false);
    list_->set_spacing(kListSpacing);
    list_->set_margin(kListMargin);
    list_->set_size_request(kListWidth, -1);
    auto* popover = Gtk::make_managed<Gtk::Popover>();
    popover->set_child(*list_);
    button_->set_popover(*popover);
}

void DownloadsButton::add(Download& download) {
    auto row = std::make_shared<Row>();
    auto* box = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, kRowSpacing);
    auto* actions = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, kRowSpacing);
    row->name->set_xalign(0);
    row->name->set_ellipsize(Pango::EllipsizeMode::MIDDLE);
    row->status->set_xalign(0);
    row->status->set_hexpand(true);
    actions->append(*row->status);
    for (Gtk::Button* action : {row->cancel, row->open, row->show})
        actions->append(*action);
    box->append(*row->name);
    box->append(*row->bar);
    box->append(*actions);
    list_->prepend(*box);

    Download* d = &download;
    row->cancel->signal_clicked().connect([d] { d->cancel(); });
    row->open->signal_clicked().connect([d] { openWithDesktop(d->file()); });
    row->show->signal_clicked().connect([d] { openWithDesktop(d->file().parent_path()); });
    download.signalProgress().connect([row, d] { row->update(*d); });
    download.signalStateChanged().connect([row, d](DownloadState) { row->update(*d); });
    row->update(download);
    button_->set_visible(true);
}

} // namespace vesk
