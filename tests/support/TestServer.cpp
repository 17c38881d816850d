#include "TestServer.h"

#include <stdexcept>

#include <libsoup/soup.h>

namespace vesk::test {

TestServer::TestServer() {
    server_ = soup_server_new(nullptr, nullptr);
    GError* error = nullptr;
    GInetAddress* loopback = g_inet_address_new_loopback(G_SOCKET_FAMILY_IPV4);
    GSocketAddress* address = g_inet_socket_address_new(loopback, 0);
    g_object_unref(loopback);
    const bool ok = soup_server_listen(server_, address, SoupServerListenOptions(0), &error);
    g_object_unref(address);
    if (!ok) {
        std::string message = error ? error->message : "unknown error";
        g_clear_error(&error);
        throw std::runtime_error("test server cannot listen on 127.0.0.1: " + message);
    }
    GSList* uris = soup_server_get_uris(server_);
    port_ = static_cast<unsigned>(g_uri_get_port(static_cast<GUri*>(uris->data)));
    g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
    soup_server_add_handler(server_, nullptr, &TestServer::onRequest, this, nullptr);
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

void TestServer::addHandler(const std::string& path, Handler handler) {
    handlers_[path] = std::move(handler);
}

std::string TestServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

int TestServer::hits(const std::string& path) const {
    auto it = hits_.find(path);
    return it == hits_.end() ? 0 : it->second;
}

void TestServer::onRequest(SoupServer*, SoupServerMessage* msg, const char* path, GHashTable*,
                           void* data) {
    auto* self = static_cast<TestServer*>(data);
    const std::string p = path ? path : "/";
    ++self->hits_[p];
    auto it = self->handlers_.find(p);
    if (it == self->handlers_.end()) {
        soup_server_message_set_status(msg, 404, nullptr);
        return;
    }
    it->second(msg);
}

std::string htmlPage(const std::string& title, const std::string& body) {
    return "<!DOCTYPE html><html><head><meta charset='utf-8'><title>" + title +
           "</title></head><body>" + body + "</body></html>";
}

} // namespace vesk::test
