#include "TestServer.h"

#include <stdexcept>

#include <libsoup/soup.h>

namespace vesk::test {

TestServer::TestServer() : server_(soup_server_new(nullptr, nullptr)) {
    GError* error = nullptr;
    if (!soup_server_listen_local(server_, 0, SOUP_SERVER_LISTEN_IPV4_ONLY, &error))
        throw std::runtime_error(std::string("cannot listen on 127.0.0.1: ") + error->message);
    GSList* uris = soup_server_get_uris(server_);
    port_ = static_cast<unsigned>(g_uri_get_port(static_cast<GUri*>(uris->data)));
    g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
    auto onRequest = [](SoupServer*, SoupServerMessage* msg, const char* path, GHashTable*,
                        void* data) {
        auto* self = static_cast<TestServer*>(data);
        ++self->hits_[path];
        auto it = self->handlers_.find(path);
        if (it == self->handlers_.end())
            soup_server_message_set_status(msg, 404, nullptr);
        else
            it->second(msg);
    };
    soup_server_add_handler(server_, nullptr, onRequest, this, nullptr);
}

TestServer::~TestServer() {
    soup_server_disconnect(server_);
    g_object_unref(server_);
}

void TestServer::addPage(const std::string& path, const std::string& html) {
    addHandler(path, [html](SoupServerMessage* msg) {
        soup_server_message_set_status(msg, 200, nullptr);
        soup_server_message_set_response(msg, "text/html; charset=utf-8", SOUP_MEMORY_COPY,
                                         html.data(), html.size());
    });
}

std::string htmlPage(const std::string& title, const std::string& body) {
    return "<!DOCTYPE html><html><head><meta charset='utf-8'><title>" + title +
           "</title></head><body>" + body + "</body></html>";
}

} // namespace vesk::test
