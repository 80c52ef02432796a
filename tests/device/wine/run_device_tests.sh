#!/usr/bin/env bash
# Runs the device tests against Wine's real SetupAPI: first on a device tree without the card, then
# with a composite card, its CD-ROM drive and another drive registered from card.reg.
#   run_device_tests.sh WINE_RUN PREFIX ARCH TEST_EXE
set -uo pipefail
wine_run="$1" prefix="$2" arch="$3" exe="$4"
here="$(cd "$(dirname "$0")" && pwd)"
run() { "$wine_run" --prefix "$prefix" --arch "$arch" "$@"; }

for key in 'Enum\USB\VID_3F7D&PID_FFF1' 'Enum\USBSTOR\CDROM&VEN_QXR&PROD_QXRMTFFF4&REV_1.00' 'Enum\IDE\CDROMWINE_DVD' \
           'Control\DeviceClasses\{53f56308-b6bf-11d0-94f2-00a0c91efb8b}'; do
  run reg delete "HKLM\\System\\CurrentControlSet\\$key" /f >/dev/null 2>&1
  [ $? -eq 77 ] && exit 77
done
run "$exe" --gtest_filter='WineWithoutCardTest.*' || exit 1
run regedit /S "$here/card.reg" >/dev/null 2>&1
exec "$wine_run" --prefix "$prefix" --arch "$arch" "$exe" --gtest_filter='WineDevicesTest.*'
