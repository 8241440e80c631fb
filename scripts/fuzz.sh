#!/usr/bin/env bash
# Builds the fuzz preset and runs each libFuzzer target for SECONDS (default
# 60) on a scratch copy of its seed corpus, so that the corpus in the
# repository stays small. Targets may be named after the seconds; default:
# all four. FUZZ_JOBS=2 runs two targets at a time.
#
#   scripts/fuzz.sh                      # 60 s each
#   scripts/fuzz.sh 1800 ini_reader      # half an hour of one target
#
# Logs, the grown corpora and any finding (crash-*, leak-*, timeout-*) go to
# build/fuzz/runs/<target>/. Exits 1 when a target reported a finding.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(ini_reader argument_round_trip installation_paths environment)
jobs=${FUZZ_JOBS:-1}

scripts/install-dependencies.sh clang-14 libclang-rt-14-dev
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

run_target() {
  local target=$1
  local run=build/fuzz/runs/$target
  rm -rf "$run"
  mkdir -p "$run/corpus"
  cp fuzz/corpus/"$target"/* "$run/corpus/"
  # rss_limit_mb bounds each input's memory; max_len lets lines outgrow the
  # seeds without making every input huge.
  if build/fuzz/bin/fuzz_"$target" "$run/corpus" \
      -max_total_time="$seconds" -max_len=8192 -rss_limit_mb=2048 \
      -timeout=10 -print_final_stats=1 -artifact_prefix="$run/" \
      >"$run/log" 2>&1; then
    local last runs
    last=$(grep -E '^#[0-9]+.*cov:' "$run/log" | tail -n 1 |
           grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [^ ]+' || true)
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run/log")
    echo "$target: $runs executions in $seconds s, $last"
  else
    echo "$target: FINDING, see $run/log"
    grep -E 'property broken|ERROR:|Test unit written' "$run/log" | head -n 5
    return 1
  fi
}

status=0
pids=()
for target in "${targets[@]}"; do
  if [ ! -x build/fuzz/bin/fuzz_"$target" ]; then
    echo "no such fuzz target: $target" >&2
    exit 2
  fi
  run_target "$target" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$jobs" ]; then
    wait "${pids[0]}" || status=1
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
exit $status
