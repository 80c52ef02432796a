#!/usr/bin/env bash
# The main job on the embedded default simulated machine: builds the native program, makes the
# default machine afresh (Windows 7 x64 with the product installed), then runs "Drvsetup /i" and
# "Drvsetup /u" on it in the terminal progress panel.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/bootstrap.sh
cmake --preset linux >/dev/null
cmake --build --preset linux
build/linux/tools/winsim/winsim reset-default
unset DRVSETUP_MACHINE
echo "=== Drvsetup /i"
build/linux/product/Bin/Drvsetup /i
echo "=== Drvsetup /u"
build/linux/product/Bin/Drvsetup /u
