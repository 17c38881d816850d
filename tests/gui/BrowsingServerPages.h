#pragma once

#include <string>
#include <vector>

#include "TestServer.h"

namespace vesk::test {

// Responses to one path held back until the test lets them go.
class HeldPage {
public:
    HeldPage(TestServer& server, const std::string& path, std::string html);
    ~HeldPage();
    HeldPage(const HeldPage&) = delete;
    HeldPage& operator=(const HeldPage&) = delete;

    int waiting() const { return static_cast<int>(held_.size()); }
    void release();

private:
    TestServer& server_;
    std::string path_;
    std::string html_;
    std::vector<SoupServerMessage*> held_;
};

// Serves `path` as a page whose first part (titled "Partial") arrives and
// whose connection then closes before its announced length.
void addBrokenOffPage(TestServer& server, const std::string& path);
// An address on 127.0.0.1 where nothing listens, so connecting is refused.
std::string refusedAddress();

} // namespace vesk::test
