// Translation of the command line, quoting and the Windows-rule split, and
// the whole run of the core up to the hand-over.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/core/memory_system.h"
#include "commandline/quoting.h"
#include "commandline/translation.h"
#include "launcher/launch_settings.h"
#include "launcher/run_launcher.h"
#include "paths/path_rules.h"

namespace {

std::vector<std::string> launcher_command_line(long count) {
  std::vector<std::string> arguments{"/opt/velmora-studio/launcher"};
  for (std::string& argument : user_arguments(count)) {
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

std::vector<std::string> quoted(const std::vector<std::string>& arguments) {
  std::vector<std::string> result;
  for (const std::string& argument : arguments) {
    result.push_back(quote_argument(argument));
  }
  return result;
}

void BM_TranslateArguments(benchmark::State& state) {
  MemorySystem system;
  const PathRules& rules = posix_path_rules();
  std::vector<std::string> arguments = launcher_command_line(state.range(0));
  LaunchSettings read;
  read.target_program_path = "/opt/velmora-studio/./velmora/velmora";
  read.vm_arguments = {"-Xms256m", "-Xmx2g", "-Dvelmora.splash=off"};
  for (auto _ : state) {
    LaunchSettings settings = read;
    prescan_arguments(settings, system, arguments);
    bool translated = translate_arguments(settings, system, rules, arguments);
    benchmark::DoNotOptimize(translated);
    benchmark::DoNotOptimize(settings.target_arguments.data());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_TranslateArguments)
    ->RangeMultiplier(10)->Range(1, 100000)->Complexity(benchmark::oN);

void BM_QuoteAndJoin(benchmark::State& state) {
  std::vector<std::string> arguments = user_arguments(state.range(0));
  for (auto _ : state) {
    std::string line = join_command_line(quoted(arguments));
    benchmark::DoNotOptimize(line.data());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_QuoteAndJoin)
    ->RangeMultiplier(10)->Range(1, 100000)->Complexity(benchmark::oN);

// One argument of range(0) characters full of backslashes and quotes.
void BM_WrapLongArgument(benchmark::State& state) {
  std::string argument;
  while (argument.size() < static_cast<size_t>(state.range(0))) {
    argument += "C:\\a \"b\"\\\\";
  }
  argument.resize(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    std::string wrapped = wrap_in_quotes(argument);
    benchmark::DoNotOptimize(wrapped.data());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_WrapLongArgument)
    ->RangeMultiplier(10)->Range(10, 10000000)->Complexity(benchmark::oN);

void BM_SplitArguments(benchmark::State& state) {
  std::string line = join_command_line(quoted(user_arguments(state.range(0))));
  for (auto _ : state) {
    std::vector<std::string> split = split_arguments(line);
    benchmark::DoNotOptimize(split.data());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SplitArguments)
    ->RangeMultiplier(10)->Range(1, 100000)->Complexity(benchmark::oN);

void BM_SplitCommandLine(benchmark::State& state) {
  std::string line = "\"C:\\Program Files\\Velmora\\.\\velmora\\velmora.exe\" " +
                     join_command_line(quoted(user_arguments(state.range(0))));
  for (auto _ : state) {
    std::vector<std::string> split = split_command_line(line);
    benchmark::DoNotOptimize(split.data());
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SplitCommandLine)
    ->RangeMultiplier(10)->Range(1, 100000)->Complexity(benchmark::oN);

// The core from start to hand-over: a typical INI and range(0) arguments.
void BM_RunLauncher(benchmark::State& state) {
  MemorySystem system;
  system.files["/opt/velmora-studio/launcher"] = "";
  system.files["/opt/velmora-studio/launcher.ini"] =
      "[Settings]\nVMArgs=-Xms256m\nVMArgs=-Xmx2g\n"
      "CustomizationINI=plugin_customization.ini\n"
      "[Environment Variables]\nVELMORA_HOME=<CURRDIR>velmora\n"
      "VELMORA_WORKSPACES=<My Documents>/velmora-workspaces\n"
      "PATH=<CURRDIR>jre/bin\n";
  std::vector<std::string> arguments = launcher_command_line(state.range(0));
  for (auto _ : state) {
    system.environment.clear();
    int status = run_launcher(arguments, system, posix_path_rules());
    benchmark::DoNotOptimize(status);
  }
  if (system.started_arguments == 0) state.SkipWithError("no hand-over");
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RunLauncher)
    ->RangeMultiplier(10)->Range(1, 100000)->Complexity(benchmark::oN);

}  // namespace
