#include "store/PlistData.h"
#include "store/VeskStore.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <glib.h>

// Each history addition reads, rewrites and flushes the whole file; these measure that
// against a full history and set it beside libplist's own parse and write of the same
// content, to show how much the file handling adds.
namespace vesk {
namespace {

namespace fs = std::filesystem;

class BenchFolder {
public:
    BenchFolder() {
        gchar* made = g_dir_make_tmp("vesk-bench-XXXXXX", nullptr);
        path = made != nullptr ? made : "";
        g_free(made);
    }
    ~BenchFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

// A full history as the store writes it: 200 entries of realistic length.
std::string fullHistoryXml() {
    PlistPtr list(plist_new_array());
    for (int i = 0; i < static_cast<int>(VeskStore::historyLimit); ++i) {
        const std::string url = "https://www.example" + std::to_string(i % 37) +
                                ".com/articles/2024/some-longer-path-" + std::to_string(i) +
                                "?ref=home&page=" + std::to_string(i);
        const std::string title =
            "An article title of ordinary length, number " + std::to_string(i) + " – Example News";
        plist_t entry = plist_new_dict();
        plist_dict_set_item(entry, "url", plist_new_string(url.c_str()));
        plist_dict_set_item(entry, "title", plist_new_string(title.c_str()));
        plist_dict_set_item(entry, "date", plist_new_real(1712345678.123456 - i * 60.5));
        plist_array_append_item(list.get(), entry);
    }
    return plistToXml(list.get());
}

void writeHistory(const fs::path& folder, const std::string& xml) {
    fs::create_directories(folder);
    g_file_set_contents((folder / VeskStore::historyFileName).c_str(), xml.c_str(),
                        static_cast<gssize>(xml.size()), nullptr);
}

void BM_AddHistoryToFullFile(benchmark::State& state) {
    BenchFolder temp;
    const AppPaths paths = AppPaths::under(temp.path);
    writeHistory(paths.data, fullHistoryXml());
    VeskStore store{paths};
    int n = 0;
    for (auto _ : state) {
        // Alternating addresses, so no addition is skipped as a repeat.
        store.addHistory(n++ % 2 == 0 ? "https://one.example/" : "https://two.example/", "A title");
    }
}
BENCHMARK(BM_AddHistoryToFullFile)->Unit(benchmark::kMicrosecond);

void BM_LoadFullHistory(benchmark::State& state) {
    BenchFolder temp;
    const AppPaths paths = AppPaths::under(temp.path);
    writeHistory(paths.data, fullHistoryXml());
    VeskStore store{paths};
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.loadHistory());
    }
}
BENCHMARK(BM_LoadFullHistory)->Unit(benchmark::kMicrosecond);

void BM_LibplistParseFullHistory(benchmark::State& state) {
    const std::string xml = fullHistoryXml();
    for (auto _ : state) {
        plist_t root = nullptr;
        plist_from_xml(xml.data(), static_cast<std::uint32_t>(xml.size()), &root);
        benchmark::DoNotOptimize(root);
        plist_free(root);
    }
}
BENCHMARK(BM_LibplistParseFullHistory)->Unit(benchmark::kMicrosecond);

void BM_LibplistWriteFullHistory(benchmark::State& state) {
    const std::string xml = fullHistoryXml();
    plist_t root = nullptr;
    plist_from_xml(xml.data(), static_cast<std::uint32_t>(xml.size()), &root);
    for (auto _ : state) {
        char* out = nullptr;
        std::uint32_t length = 0;
        plist_to_xml(root, &out, &length);
        benchmark::DoNotOptimize(out);
        plist_to_xml_free(out);
    }
    plist_free(root);
}
BENCHMARK(BM_LibplistWriteFullHistory)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace vesk
