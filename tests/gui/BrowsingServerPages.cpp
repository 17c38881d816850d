#include "BrowsingServerPages.h"

#include <libsoup/soup.h>

namespace vesk::test {

namespace {

gboolean closeConnection(gpointer data) {
    auto* msg = static_cast<SoupServerMessage*>(data);
    if (GIOStream* stream = soup_server_message_steal_connection(msg)) {
        g_io_stream_close(stream, nullptr, nullptr);
        g_object_unref(stream);
    }
    g_object_unref(msg);
    return G_SOURCE_REMOVE;
}

} // namespace

void addUnansweredPage(TestServer& server, const std::string& path) {
    // The server drops the paused request when it goes.
    server.addHandler(path, [](SoupServerMessage* msg) { soup_server_message_pause(msg); });
}

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
        // The close comes a moment later, so the page has begun to arrive first.
        g_timeout_add(200, closeConnection, g_object_ref(msg));
    });
}

std::string refusedAddress() {
    // The server closes its socket as it goes, so nothing answers on its port.
    TestServer gone;
    return gone.url("/");
}

} // namespace vesk::test
