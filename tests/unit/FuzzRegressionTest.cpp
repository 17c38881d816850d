#include "FuzzChecks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <stdexcept>

namespace vesk::fuzz {
// Names a target's case in failure messages.
void PrintTo(const FuzzTarget& target, std::ostream* out) {
    *out << target.name;
}
} // namespace vesk::fuzz

namespace {
using namespace vesk::fuzz;

namespace fs = std::filesystem;

// Each target's folder holds the inputs it ever failed on, one per file.
const fs::path kRegressions = VESK_FUZZ_REGRESSIONS;

struct CheckFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::vector<fs::path> keptInputs(std::string_view target) {
    std::vector<fs::path> files;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(kRegressions / target, ignored))
        if (entry.is_regular_file() && !entry.path().filename().string().starts_with("."))
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string readFile(const fs::path& file) {
    return (std::ostringstream() << std::ifstream(file, std::ios::binary).rdbuf()).str();
}

// A failed check fails the case and names the input, where the fuzzer would abort.
class FuzzRegression : public ::testing::TestWithParam<FuzzTarget> {
protected:
    void SetUp() override {
        setCheckFailureHandler([](const std::string& message) { throw CheckFailure(message); });
    }
    void TearDown() override { setCheckFailureHandler(nullptr); }
};

TEST_P(FuzzRegression, EveryKeptInputPassesItsChecks) {
    for (const fs::path& file : keptInputs(GetParam().name)) {
        try {
            GetParam().check(readFile(file));
        } catch (const CheckFailure& failure) {
            ADD_FAILURE() << file.filename().string() << ": " << failure.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzRegression, ::testing::ValuesIn(fuzzTargets()),
                         [](const auto& row) { return std::string(row.param.name); });

// An input kept under a name no target has would never be checked again.
TEST(FuzzRegressionFolders, EachIsNamedAfterATarget) {
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(kRegressions, ignored)) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(entry.is_directory() &&
                    std::any_of(fuzzTargets().begin(), fuzzTargets().end(),
                                [&](const FuzzTarget& target) { return target.name == name; }))
            << name;
    }
}

} // namespace
