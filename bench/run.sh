#!/usr/bin/env bash
# Runs every benchmark of a release build: bash bench/run.sh BUILD_DIR
set -euo pipefail
build="${1:-build/release}"
for b in "$build"/bench/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b"
done
