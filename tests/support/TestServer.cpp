#include "TestServer.h"

#include <filesystem>
#include <stdexcept>

#include <libsoup/soup.h>

namespace vesk::test {

namespace {

// A self-signed certificate for 127.0.0.1 (its address in the subject's
// alternative names, so that only the unknown issuer is wrong with it), made
// once and kept for the whole test process.
GTlsCertificate* selfSignedCertificate() {
    static GTlsCertificate* certificate = [] {
        char* folder = g_dir_make_tmp("vesk-tls-XXXXXX", nullptr);
        if (!folder)
            throw std::runtime_error("cannot make a folder for the certificate");
        const std::string cert = std::string(folder) + "/cert.pem";
        const std::string key = std::string(folder) + "/key.pem";
        const char* argv[] = {
            "openssl",    "req",   "-x509",         "-newkey",   "rsa:2048",
            "-nodes",     "-subj", "/CN=127.0.0.1", "-addext",   "subjectAltName=IP:127.0.0.1",
            "-days",      "2",     "-keyout",       key.c_str(), "-out",
            cert.c_str(), nullptr};
        int status = 0;
        GError* error = nullptr;
        if (!g_spawn_sync(nullptr, const_cast<char**>(argv), nullptr,
                          GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL |
                                      G_SPAWN_STDERR_TO_DEV_NULL),
                          nullptr, nullptr, nullptr, nullptr, &status, &error) ||
            !g_spawn_check_wait_status(status, nullptr))
            throw std::runtime_error("openssl could not make a test certificate");
        GTlsCertificate* made = g_tls_certificate_new_from_files(cert.c_str(), key.c_str(), &error);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
        g_free(folder);
        if (!made)
            throw std::runtime_error(std::string("cannot read the test certificate: ") +
                                     error->message);
        return made;
    }();
    return certificate;
}

} // namespace

TestServer::TestServer(ServerScheme scheme)
    : scheme_(scheme), server_(soup_server_new(nullptr, nullptr)) {
    GError* error = nullptr;
    auto options = SOUP_SERVER_LISTEN_IPV4_ONLY;
    if (scheme == ServerScheme::Https) {
        soup_server_set_tls_certificate(server_, selfSignedCertificate());
        options = SoupServerListenOptions(options | SOUP_SERVER_LISTEN_HTTPS);
    }
    if (!soup_server_listen_local(server_, 0, options, &error))
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
