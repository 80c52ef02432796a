#!/usr/bin/env bash
# Runs the watcher's Wine test in a prefix of its own that uses Wine's null graphics driver, so that
# windows exist (and message loops run) without a display.
#   run_popup_watcher_wine_test.sh WINE_RUN PREFIX_DIR ARCH TEST_EXE
set -uo pipefail
wine_run="$1" prefix="$2" arch="$3" exe="$4"
"$wine_run" --prefix "$prefix" --arch "$arch" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
rc=$?
[ $rc -eq 77 ] && exit 77
[ $rc -eq 0 ] || { echo "run_popup_watcher_wine_test: the null graphics driver could not be chosen ($rc)"; exit 1; }
# Programs started from here on take the setting.
WINEPREFIX="$prefix/prefix" /usr/lib/wine/wineserver -k >/dev/null 2>&1
exec "$wine_run" --prefix "$prefix" --arch "$arch" "$exe"
