#include "settings/PreferencesWindow.h"

#include <cmath>

#include <glibmm/main.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/filechoosernative.h>
#include <gtkmm/grid.h>
#include <gtkmm/headerbar.h>
#include <gtkmm/stringlist.h>

#include "navigation/NavigationRules.h"

namespace vesk {

namespace {

constexpr int kWidth = 560;
constexpr int kMargin = 18;
constexpr int kSpacing = 6;
constexpr int kSectionSpacing = 18;
// The default zoom is chosen in percent, in the zoom steps, from their floor up
// to this.
constexpr double kPercent = 100.0;
constexpr double kMaxZoomPercent = 500.0;
constexpr const char* kCustomEngine = "Custom address";

Gtk::Box& section(Gtk::Box& content, const char* title) {
    auto* box = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, kSpacing);
    auto* heading = Gtk::make_managed<Gtk::Label>(title);
    heading->add_css_class("heading");
    heading->set_xalign(0);
    box->append(*heading);
    content.append(*box);
    return *box;
}

Gtk::CheckButton& choice(Gtk::Box& box, const char* label, Gtk::CheckButton* group) {
    auto* button = Gtk::make_managed<Gtk::CheckButton>(label);
    if (group)
        button->set_group(*group);
    box.append(*button);
    return *button;
}

// The index of the engine whose address is `url`, or the custom entry's after them.
unsigned engineIndex(const std::optional<std::string>& url) {
    if (!url)
        return 0;
    for (unsigned i = 0; i < kSearchEngines.size(); ++i)
        if (kSearchEngines[i].url == *url)
            return i;
    return unsigned(kSearchEngines.size());
}

} // namespace

PreferencesWindow::PreferencesWindow(Gtk::Window& parent) : parent_(parent) {}

PreferencesWindow::~PreferencesWindow() = default;

void PreferencesWindow::build() {
    window_ = std::make_unique<Gtk::Window>();
    window_->set_title("Preferences");
    // Drawn by the program itself, like the main window, so the title shows everywhere.
    window_->set_titlebar(*Gtk::make_managed<Gtk::HeaderBar>());
    window_->set_default_size(kWidth, -1);
    window_->set_resizable(false);
    window_->set_transient_for(parent_);
    window_->set_hide_on_close(true);
    window_->add_css_class("vesk-preferences");

    auto* content = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, kSectionSpacing);
    content->set_margin(kMargin);

    Gtk::Box& home = section(*content, "Home Page");
    defaultHome_ = &choice(home, "The default home page", nullptr);
    blankHome_ = &choice(home, "A blank page", defaultHome_);
    addressHome_ = &choice(home, "This address:", defaultHome_);
    homeEntry_ = Gtk::make_managed<Gtk::Entry>();
    homeEntry_->set_placeholder_text("https://");
    homeEntry_->set_margin_start(kMargin + kSpacing);
    home.append(*homeEntry_);

    Gtk::Box& search = section(*content, "Search Engine");
    std::vector<Glib::ustring> names;
    for (const SearchEngine& engine : kSearchEngines)
        names.emplace_back(std::string(engine.name));
    names.emplace_back(kCustomEngine);
    engines_ = Gtk::make_managed<Gtk::DropDown>(Gtk::StringList::create(names));
    engines_->set_halign(Gtk::Align::START);
    search.append(*engines_);
    searchEntry_ = Gtk::make_managed<Gtk::Entry>();
    searchEntry_->set_placeholder_text("https://example.com/search?q=%s");
    searchEntry_->set_tooltip_text("%s stands for the words searched for");
    search.append(*searchEntry_);

    Gtk::Box& start = section(*content, "On Start");
    openHome_ = &choice(start, "Open the home page", nullptr);
    restoreSession_ = &choice(start, "Restore the tabs of the last session", openHome_);

    Gtk::Box& downloads = section(*content, "Downloads");
    auto* folderRow = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, kSpacing);
    folderDownloads_ = &choice(*folderRow, "Save files to", nullptr);
    folderButton_ = Gtk::make_managed<Gtk::Button>();
    folderLabel_ = Gtk::make_managed<Gtk::Label>();
    folderLabel_->set_ellipsize(Pango::EllipsizeMode::MIDDLE);
    folderLabel_->set_max_width_chars(32);
    folderButton_->set_child(*folderLabel_);
    folderRow->append(*folderButton_);
    downloads.append(*folderRow);
    askDownloads_ = &choice(downloads, "Ask where to save each file", folderDownloads_);

    Gtk::Box& zoom = section(*content, "Default Zoom");
    zoom_ = Gtk::make_managed<Gtk::SpinButton>();
    zoom_->set_range(kZoomFloor * kPercent, kMaxZoomPercent);
    zoom_->set_increments(kZoomStep * kPercent, kZoomStep * kPercent * 5);
    zoom_->set_digits(0);
    zoom_->set_halign(Gtk::Align::START);
    auto* zoomRow = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, kSpacing);
    zoomRow->append(*zoom_);
    zoomRow->append(*Gtk::make_managed<Gtk::Label>("%"));
    zoom.append(*zoomRow);

    window_->set_child(*content);

    for (Gtk::CheckButton* button : {defaultHome_, blankHome_, addressHome_, openHome_,
                                     restoreSession_, folderDownloads_, askDownloads_})
        button->signal_toggled().connect([this, button] {
            if (button->get_active())
                onEdited();
        });
    for (Gtk::Entry* entry : {homeEntry_, searchEntry_})
        entry->signal_changed().connect(sigc::mem_fun(*this, &PreferencesWindow::onEdited));
    engines_->property_selected().signal_changed().connect(
        sigc::mem_fun(*this, &PreferencesWindow::onEdited));
    zoom_->signal_value_changed().connect(sigc::mem_fun(*this, &PreferencesWindow::onEdited));
    folderButton_->signal_clicked().connect(sigc::mem_fun(*this, &PreferencesWindow::chooseFolder));
}

void PreferencesWindow::show(const Preferences& preferences, const PreferenceFallbacks& fallback) {
    if (!window_)
        build();
    shown_ = preferences;
    fallback_ = fallback;
    fill();
    window_->present();
}

void PreferencesWindow::close() {
    if (window_)
        window_->set_visible(false);
}

void PreferencesWindow::fill() {
    filling_ = true;
    const Preferences& p = shown_;
    (!p.homePage           ? defaultHome_
     : p.homePage->empty() ? blankHome_
                           : addressHome_)
        ->set_active(true);
    homeEntry_->set_text(p.homePage && !p.homePage->empty() ? *p.homePage : fallback_.homePage);
    const unsigned engine = engineIndex(p.searchURL);
    engines_->set_selected(engine);
    searchEntry_->set_text(engine < kSearchEngines.size() ? std::string(kSearchEngines[engine].url)
                                                          : p.searchURL.value_or(""));
    (p.restoreSessionOnStart ? restoreSession_ : openHome_)->set_active(true);
    (p.downloads == DownloadsChoice::AskEachTime ? askDownloads_ : folderDownloads_)
        ->set_active(true);
    const std::filesystem::path folder =
        p.downloads == DownloadsChoice::Folder ? p.downloadsFolder : fallback_.downloadsFolder;
    folderLabel_->set_text(folder.filename().empty() ? folder.string()
                                                     : folder.filename().string());
    folderButton_->set_tooltip_text(folder.string());
    zoom_->set_value(std::round(p.defaultZoom * kPercent));
    homeEntry_->set_sensitive(addressHome_->get_active());
    searchEntry_->set_sensitive(engine == kSearchEngines.size());
    homeEntry_->remove_css_class("error");
    searchEntry_->remove_css_class("error");
    filling_ = false;
}

void PreferencesWindow::onEdited() {
    if (filling_)
        return;
    Preferences edited = shown_;
    bool valid = true;

    homeEntry_->set_sensitive(addressHome_->get_active());
    if (defaultHome_->get_active()) {
        edited.homePage.reset();
    } else if (blankHome_->get_active()) {
        edited.homePage = std::string();
    } else {
        const std::string address = homeEntry_->get_text();
        const bool ok = !address.empty() && isValidHomePage(address);
        (ok ? homeEntry_->remove_css_class("error") : homeEntry_->add_css_class("error"));
        if (ok)
            edited.homePage = address;
        valid = valid && ok;
    }

    const unsigned engine = engines_->get_selected();
    const bool custom = engine >= kSearchEngines.size();
    searchEntry_->set_sensitive(custom);
    if (!custom) {
        edited.searchURL =
            engine == 0 ? std::nullopt : std::optional<std::string>(kSearchEngines[engine].url);
        filling_ = true;
        searchEntry_->set_text(std::string(kSearchEngines[engine].url));
        filling_ = false;
        searchEntry_->remove_css_class("error");
    } else {
        const std::string address = searchEntry_->get_text();
        const bool ok = isValidSearchURL(address);
        (ok ? searchEntry_->remove_css_class("error") : searchEntry_->add_css_class("error"));
        if (ok)
            edited.searchURL = address;
        valid = valid && ok;
    }

    edited.restoreSessionOnStart = restoreSession_->get_active();
    if (askDownloads_->get_active())
        edited.downloads = DownloadsChoice::AskEachTime;
    else if (shown_.downloads == DownloadsChoice::AskEachTime)
        edited.downloads = shown_.downloadsFolder.empty() ? DownloadsChoice::DefaultFolder
                                                          : DownloadsChoice::Folder;
    edited.defaultZoom = zoom_->get_value() / kPercent;

    // A valid preference is kept even while another one's text is still being typed.
    if (!valid && edited == shown_)
        return;
    shown_ = edited;
    changed_.emit(shown_);
}

void PreferencesWindow::chooseFolder() {
    auto dialog = Gtk::FileChooserNative::create("Downloads Folder", *window_,
                                                 Gtk::FileChooser::Action::SELECT_FOLDER, "_Select",
                                                 "_Cancel");
    dialog->set_modal(true);
    // The dialog is kept until it is answered, and let go once its answer is out.
    auto* held = new Glib::RefPtr<Gtk::FileChooserNative>(dialog);
    dialog->signal_response().connect([this, held](int response) {
        if (response == int(Gtk::ResponseType::ACCEPT))
            if (auto file = (*held)->get_file(); file && !file->get_path().empty()) {
                shown_.downloads = DownloadsChoice::Folder;
                shown_.downloadsFolder = file->get_path();
                fill();
                changed_.emit(shown_);
            }
        Glib::signal_idle().connect_once([held] { delete held; });
    });
    dialog->show();
}

} // namespace vesk
