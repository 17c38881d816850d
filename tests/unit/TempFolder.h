#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

    // `value` as `width` big-endian bytes.
    static std::string bigEndian(std::uint64_t value, int width) {
        std::string out(width, '\0');
        for (int i = 0; i < width; ++i)
            out[width - 1 - i] = char(value >> (8 * i));
        return out;
    }

    // A binary property list of `objects`, each encoded with 4-byte references; the
    // first is the top.
    static std::string binaryPlist(const std::vector<std::string>& objects) {
        std::string body, offsets;
        for (const std::string& object : objects) {
            offsets += bigEndian(8 + body.size(), 4);
            body += object;
        }
        return "bplist00" + body + offsets + std::string(6, '\0') + "\x04\x04" +
               bigEndian(objects.size(), 8) + bigEndian(0, 8) + bigEndian(8 + body.size(), 8);
    }

    // A binary property list of `count` arrays, each holding `refs` references to the
    // next one; the last is empty unless `isCyclic`, when it refers back to the first.
    static std::string binaryArrayChain(std::uint32_t count, int refs, bool isCyclic) {
        std::vector<std::string> objects;
        for (std::uint32_t i = 0; i < count; ++i) {
            const int own = !isCyclic && i + 1 == count ? 0 : refs;
            std::string array(1, char(0xA0 | own));
            for (int r = 0; r < own; ++r)
                array += bigEndian((i + 1) % count, 4);
            objects.push_back(array);
        }
        return binaryPlist(objects);
    }

    std::string pattern = (std::filesystem::temp_directory_path() / "vesk-test-XXXXXX").string();
    const std::filesystem::path temp = mkdtemp(pattern.data());
    std::error_code ignored;
};

} // namespace vesk
