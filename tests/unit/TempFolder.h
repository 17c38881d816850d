#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace vesk {

// A fixture owning a fresh temporary folder, removed after the test, with whole-file helpers.
class TempFolder : public ::testing::Test {
public:
    ~TempFolder() override { std::filesystem::remove_all(temp, ignored); }

    static std::string readFile(const std::filesystem::path& file) {
        return (std::ostringstream() << std::ifstream(file, std::ios::binary).rdbuf()).str();
    }

    // Replaces `file` with `bytes`, making its folders first.
    static void writeFile(const std::filesystem::path& file, std::string_view bytes) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    }

    // An XML property list document holding `body`.
    static std::string plist(std::string_view body) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n" +
               std::string(body) + "\n</plist>\n";
    }

    std::string pattern = (std::filesystem::temp_directory_path() / "vesk-test-XXXXXX").string();
    const std::filesystem::path temp = mkdtemp(pattern.data());
    std::error_code ignored;
};

} // namespace vesk
