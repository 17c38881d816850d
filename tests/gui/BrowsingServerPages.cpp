#include "BrowsingServerPages.h"

#include <libsoup/soup.h>

namespace vesk::test {

HeldPage::HeldPage(TestServer& server, const std::string& path, std::string html)
    : server_(server), path_(path), html_(std::move(html)) {
    server.addHandler(path, [this](SoupServerMessage* msg) {
        soup_server_message_pause(msg);
        held_.push_back(SOUP_SERVER_MESSAGE(g_object_ref(msg)));
    });
}

HeldPage::~HeldPage() {
    release();
    // Later requests must not reach this object any more.
    server_.addHandler(
        path_, [](SoupServerMessage* msg) { soup_server_message_set_status(msg, 404, nullptr); });
}

void HeldPage::release() {
    for (SoupServerMessage* msg : held_) {
        soup_server_message_set_status(msg, 200, nullptr);
        soup_server_message_set_response(msg, "text/html; charset=utf-8", SOUP_MEMORY_COPY,
                                         html_.data(), html_.size());
        soup_server_message_unpause(msg);
        g_object_unref(msg);
    }
    held_.clear();
}

namespace {

void breakOffAfterFirstPart(SoupServerMessage* msg, guint, gpointer) {
    if (g_object_get_data(G_OBJECT(msg), "vesk-breaking"))
        return;
    g_object_set_data(G_OBJECT(msg), "vesk-breaking", GINT_TO_POINTER(1));
    // The close comes a moment later, so the page has begun to arrive first.
    g_timeout_add(
        100,
        [](gpointer data) -> gboolean {
            auto* message = static_cast<SoupServerMessage*>(data);
            if (GIOStream* stream = soup_server_message_steal_connection(message)) {
                g_io_stream_close(stream, nullptr, nullptr);
                g_object_unref(stream);
            }
            g_object_unref(message);
            return G_SOURCE_REMOVE;
        },
        g_object_ref(msg));
}

} // namespace

void addBrokenOffPage(TestServer& server, const std::string& path) {
    server.addHandler(path, [](SoupServerMessage* msg) {
        soup_server_message_set_status(msg, 200, nullptr);
        SoupMessageHeaders* headers = soup_server_message_get_response_headers(msg);
        soup_message_headers_set_content_type(headers, "text/html", nullptr);
        soup_message_headers_set_content_length(headers, 100000);
        std::string part = "<!DOCTYPE html><html><head><title>Partial</title></head><body>";
        for (int i = 0; i < 100; ++i)
            part += "<p>the first part of a long page</p>";
        soup_message_body_append(soup_server_message_get_response_body(msg), SOUP_MEMORY_COPY,
                                 part.data(), part.size());
        g_signal_connect(msg, "wrote-body-data", G_CALLBACK(breakOffAfterFirstPart), nullptr);
    });
}

std::string refusedAddress() {
    // The server closes its socket as it goes, so nothing answers on its port.
    TestServer gone;
    return gone.url("/");
}

} // namespace vesk::test
