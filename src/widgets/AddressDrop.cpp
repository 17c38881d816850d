#include "widgets/AddressDrop.h"

#include <string_view>

#include <gdk/gdk.h>
#include <glibmm/ustring.h>

namespace vesk {

namespace {

// A line of a list of addresses that starts with this is a comment.
constexpr char kUriListComment = '#';

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string trimmed(std::string_view text) {
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

// A dragged link comes as its address, sometimes followed by more lines (its
// title, or further addresses); the first line that is not a comment is the one meant.
std::string firstLineOf(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string line = trimmed(text.substr(0, end));
        if (!line.empty() && line.front() != kUriListComment)
            return line;
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return {};
}

} // namespace

Glib::RefPtr<Gtk::DropTarget>
makeAddressDropTarget(std::function<void(const std::vector<std::string>&)> dropped) {
    auto target = Gtk::DropTarget::create(
        G_TYPE_INVALID, Gdk::DragAction::COPY | Gdk::DragAction::MOVE | Gdk::DragAction::LINK);
    target->set_gtypes({GDK_TYPE_FILE_LIST, G_TYPE_STRING});
    target->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    target->signal_drop().connect(
        [dropped = std::move(dropped)](const Glib::ValueBase& value, double, double) {
            const GValue* raw = value.gobj();
            std::vector<std::string> addresses;
            if (G_VALUE_HOLDS(raw, GDK_TYPE_FILE_LIST)) {
                auto* list = static_cast<GdkFileList*>(g_value_get_boxed(raw));
                GSList* files = list ? gdk_file_list_get_files(list) : nullptr;
                for (GSList* file = files; file; file = file->next) {
                    char* uri = g_file_get_uri(G_FILE(file->data));
                    addresses.emplace_back(uri);
                    g_free(uri);
                }
                g_slist_free(files);
            } else if (G_VALUE_HOLDS_STRING(raw) && g_value_get_string(raw)) {
                if (std::string address = firstLineOf(g_value_get_string(raw)); !address.empty())
                    addresses.push_back(std::move(address));
            }
            if (addresses.empty())
                return false;
            dropped(addresses);
            return true;
        },
        false);
    return target;
}

} // namespace vesk
