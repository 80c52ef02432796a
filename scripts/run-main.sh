#!/usr/bin/env bash
# The main job on the embedded default simulated machine: builds the native program and its tools,
# makes the default machine afresh (Windows 7 x64 with the product installed) and shows it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/bootstrap.sh
cmake --preset linux >/dev/null
cmake --build --preset linux
winsim=build/linux/tools/winsim/winsim
"$winsim" reset-default
