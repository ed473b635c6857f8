#!/usr/bin/env bash
# Runs every fuzz target briefly over a seed corpus made from tests/fixtures/.
# usage: tests/fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET]
set -euo pipefail
build=${1:?usage: run.sh BUILD_DIR [SECONDS]}
seconds=${2:-30}
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Seeds of each target: folders of tests/fixtures/ (copied: the fuzzer adds to its corpus).
seeds_of() {
  case "$1" in
    fuzz_dxf_reader) echo "$root/tests/fixtures/external $root/tests/fixtures/dxf" ;;
    *) echo "$root/tests/fixtures/${1#fuzz_}" ;;
  esac
}

status=0
found=0
for target in "$build"/tests/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  found=1
  name="$(basename "$target")"
  corpus="$work/$name"
  mkdir -p "$corpus"
  for dir in $(seeds_of "$name"); do
    [ -d "$dir" ] && find "$dir" -maxdepth 1 -type f ! -name '*.md' -exec cp {} "$corpus/" \;
  done
  echo "== $name: ${seconds}s over $(ls "$corpus" | wc -l) seeds"
  if ! "$target" "$corpus" -max_total_time="$seconds" -max_len=1048576 -timeout=20 \
      -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$work/$name-" >"$work/$name.log" 2>&1; then
    status=1
    tail -n 40 "$work/$name.log"
    mkdir -p "$build/fuzz-artifacts"
    cp "$work/$name"-* "$build/fuzz-artifacts/" 2>/dev/null || true
    echo "== $name FAILED (artifacts in $build/fuzz-artifacts)"
  else
    grep -E "stat::number_of_executed_units|Done" "$work/$name.log" | tail -n 2 || true
    echo "== $name passed"
  fi
done
[ "$found" = 1 ] || { echo "no fuzz targets in $build/tests/fuzz"; exit 1; }
exit $status
