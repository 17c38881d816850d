#pragma once

#include <string>

#include "TestServer.h"

namespace vesk::test {

// Serves `path` as a request that is never answered, so its load stays pending.
void addUnansweredPage(TestServer& server, const std::string& path);
// Serves `path` as a page whose first part (titled "Partial") arrives and
// whose connection then closes before its announced length.
void addBrokenOffPage(TestServer& server, const std::string& path);
// An address on 127.0.0.1 where nothing listens, so connecting is refused.
std::string refusedAddress();

} // namespace vesk::test
