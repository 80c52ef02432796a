#!/usr/bin/env bash
# Builds every preset and runs every test: the 32-bit and 64-bit Windows builds under Wine, the fuzz
# targets for a bounded time, then the native build on simulated machines with ASan and UBSan.
# Exits non-zero when any build or test fails.
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/bootstrap.sh || exit 1

status=0
for preset in win32 win64 fuzz linux; do
  echo "=== $preset: configure and build"
  if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset"; then
    echo "=== $preset: build FAILED"
    exit 1
  fi
done
for preset in win32 win64 fuzz linux; do
  echo "=== $preset: tests"
  ctest --preset "$preset" || status=1
done
exit $status
