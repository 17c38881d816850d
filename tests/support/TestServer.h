#pragma once

#include <functional>
#include <map>
#include <string>

typedef struct _SoupServer SoupServer;
typedef struct _SoupServerMessage SoupServerMessage;

namespace vesk::test {

// Whether the server speaks plain HTTP or HTTPS.
enum class ServerScheme { Http, Https };

// An HTTP server on 127.0.0.1 only, on a free port, serving test pages from
// the main loop of the test process; paths it does not serve answer 404.
// Over HTTPS it presents a self-signed certificate for 127.0.0.1, made once
// per test process with openssl, which no authority vouches for.
class TestServer {
public:
    using Handler = std::function<void(SoupServerMessage*)>;

    explicit TestServer(ServerScheme scheme = ServerScheme::Http);
    ~TestServer();
    TestServer(const TestServer&) = delete;

    // Serves `html` at `path` with status 200.
    void addPage(const std::string& path, const std::string& html);
    // Serves `path` with a handler of its own.
    void addHandler(const std::string& path, Handler handler) { handlers_[path] = handler; }
    // "http://127.0.0.1:PORT" + path, or https.
    std::string url(const std::string& path) const {
        return (scheme_ == ServerScheme::Https ? "https" : "http") + std::string("://127.0.0.1:") +
               std::to_string(port_) + path;
    }
    // How many requests reached `path`.
    int hits(const std::string& path) { return hits_[path]; }

private:
    ServerScheme scheme_;
    SoupServer* server_ = nullptr;
    unsigned port_ = 0;
    std::map<std::string, Handler> handlers_;
    std::map<std::string, int> hits_;
};

// A page with a title and a body.
std::string htmlPage(const std::string& title, const std::string& body = "<p>page</p>");

} // namespace vesk::test
