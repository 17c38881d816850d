#include <benchmark/benchmark.h>

#include <array>
#include <string_view>

#include "theme/ColorArchive.h"
#include "theme/Theme.h"

namespace vesk {
namespace {

constexpr std::array<std::string_view, 7> kNames{"system", "light",  "dark", "ocean",
                                                 "sunset", "custom", "Ocean"};

void BM_ResolveTheme(benchmark::State& state) {
    const std::string_view name = kNames[static_cast<std::size_t>(state.range(0))];
    const Color background = Color::rgb(0.2, 0.4, 0.6);
    const Color accent = Color::rgb(1.0, 0.0, 0.0);
    state.SetLabel(std::string(name));
    for (auto _ : state)
        benchmark::DoNotOptimize(resolveTheme(name, background, accent));
}
BENCHMARK(BM_ResolveTheme)->DenseRange(0, kNames.size() - 1);

void BM_ArchiveRoundTrip(benchmark::State& state) {
    const Color color = state.range(0) == 0 ? Color::rgb(0.22, 0.79, 0.86, 1.0)
                                            : Color::named(NamedColor::ControlAccent);
    state.SetLabel(state.range(0) == 0 ? "rgb" : "named");
    for (auto _ : state)
        benchmark::DoNotOptimize(VeskUnarchiveColor(VeskArchiveColor(color), Color::clearColor()));
}
BENCHMARK(BM_ArchiveRoundTrip)->Arg(0)->Arg(1);

void BM_UnarchiveDamaged(benchmark::State& state) {
    auto data = VeskArchiveColor(Color::rgb(0.2, 0.4, 0.6));
    data->resize(data->size() / 2);
    for (auto _ : state)
        benchmark::DoNotOptimize(VeskUnarchiveColor(data, Color::clearColor()));
}
BENCHMARK(BM_UnarchiveDamaged);

} // namespace
} // namespace vesk
