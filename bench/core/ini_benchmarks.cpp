// The INI stage: reading the file line by line and applying its entries.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/core/memory_system.h"
#include "launcher/launch_settings.h"
#include "paths/path_rules.h"
#include "settings/ini_file.h"
#include "settings/line_reader.h"

namespace {

const char kIniPath[] = "/opt/velmora-studio/launcher.ini";

void read_ini(benchmark::State& state, const std::string& content) {
  MemorySystem system;
  system.files[kIniPath] = content;
  const PathRules& rules = posix_path_rules();
  for (auto _ : state) {
    system.environment.clear();
    LaunchSettings settings;
    settings.installation_directory = "/opt/velmora-studio/";
    bool read = read_launcher_ini(settings, system, rules, kIniPath);
    benchmark::DoNotOptimize(read);
    benchmark::DoNotOptimize(settings.vm_arguments.data());
  }
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(content.size()));
}

// The mix of the process benchmark: VM arguments, variables of their own,
// comments and skipped lines.
void BM_ReadLauncherIni(benchmark::State& state) {
  read_ini(state, scaled_ini(state.range(0)));
}
BENCHMARK(BM_ReadLauncherIni)
    ->RangeMultiplier(10)->Range(10, 100000)->Complexity(benchmark::oN);

// Every line extends the same variable, as a long list of PATH entries does.
// The value grows in place, so this stays linear too.
void BM_ReadIniExtendingOneVariable(benchmark::State& state) {
  std::string content = "[Environment Variables]\n";
  for (long i = 1; i < state.range(0); ++i) content += "PATH=<CURRDIR>lib\n";
  read_ini(state, content);
}
BENCHMARK(BM_ReadIniExtendingOneVariable)
    ->RangeMultiplier(10)->Range(10, 100000)->Complexity(benchmark::oN);

// One VMArgs line of range(0) characters: a line of any length is read
// whole, chunk after chunk.
void BM_ReadOneLongLine(benchmark::State& state) {
  std::string content = "[Settings]\nVMArgs=-Dvelmora.path=";
  content.append(static_cast<size_t>(state.range(0)), 'x');
  content += '\n';
  read_ini(state, content);
}
BENCHMARK(BM_ReadOneLongLine)
    ->RangeMultiplier(10)->Range(10, 10000000)->Complexity(benchmark::oN);

}  // namespace
