#include "navigation/UrlNormalization.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// One address-field entry of each kind the rules tell apart.
void normalize(benchmark::State& state, const std::string& input) {
    for (auto _ : state)
        benchmark::DoNotOptimize(vesk::normalizedURLFromInput(std::string_view(input)));
}

BENCHMARK_CAPTURE(normalize, Phrase, std::string("how to bake bread"));
BENCHMARK_CAPTURE(normalize, FullAddress,
                  std::string("https://example.org/articles/2024/item?id=42&ref=home#comments"));
BENCHMARK_CAPTURE(normalize, HostWithPort, std::string("localhost:8080"));
BENCHMARK_CAPTURE(normalize, Ipv6Address, std::string("http://[2001:db8::1]:8443/status"));
BENCHMARK_CAPTURE(normalize, NonAsciiWord, std::string("\u3000Stra\u00DFenbahnhaltestelle\u00A0"));
BENCHMARK_CAPTURE(normalize, LongPastedPhrase,
                  std::string(2000, 'a') + " " + std::string(2000, 'b'));

} // namespace
