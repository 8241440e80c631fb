// Placeholder expansion and the environment updates of the INI stage.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/core/memory_system.h"
#include "environment/environment.h"
#include "launcher/launch_settings.h"

namespace {

void expand(benchmark::State& state, const std::string& unit) {
  MemorySystem system;
  LaunchSettings settings;
  settings.installation_directory = "/opt/velmora-studio/";
  std::string value;
  for (long i = 0; i < state.range(0); ++i) value += unit;
  for (auto _ : state) {
    std::string expanded = expand_placeholder(settings, system, value);
    benchmark::DoNotOptimize(expanded.data());
  }
  state.SetComplexityN(state.range(0));
}

// range(0) placeholders of each kind in one value.
void BM_ExpandPlaceholders(benchmark::State& state) {
  expand(state, "<CURRDIR>lib:<My Documents>/ws:<$HOME>/cache:");
}
BENCHMARK(BM_ExpandPlaceholders)
    ->RangeMultiplier(10)->Range(1, 100000)->Complexity(benchmark::oN);

// range(0) near misses: every "<" starts a comparison that fails.
void BM_ExpandNearMisses(benchmark::State& state) {
  expand(state, "<CURRDIR<My Document<$HOM");
}
BENCHMARK(BM_ExpandNearMisses)
    ->RangeMultiplier(10)->Range(1, 100000)->Complexity(benchmark::oN);

}  // namespace
