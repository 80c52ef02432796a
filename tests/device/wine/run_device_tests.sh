#!/usr/bin/env bash
# Registers a composite card, its CD-ROM drive and another drive in the Wine prefix's device tree
# (card.reg), then runs the device tests that read them through the real SetupAPI.
#   run_device_tests.sh WINE_RUN PREFIX ARCH TEST_EXE
set -uo pipefail
wine_run="$1" prefix="$2" arch="$3" exe="$4"
here="$(cd "$(dirname "$0")" && pwd)"
"$wine_run" --prefix "$prefix" --arch "$arch" regedit /S "$here/card.reg" >/dev/null 2>&1
rc=$?
[ $rc -eq 77 ] && exit 77
exec "$wine_run" --prefix "$prefix" --arch "$arch" "$exe"
