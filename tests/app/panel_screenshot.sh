#!/usr/bin/env bash
# Screenshot test of the Win32 progress window: runs panel_demo.exe under Wine on a virtual X display,
# waits for its message box, saves a picture of the screen, presses the box's OK button and checks
# that the program then ends by itself.
#   panel_screenshot.sh WINE_RUN_SCRIPT PREFIX_DIR PANEL_DEMO_EXE OUTPUT_PNG
set -uo pipefail
wine_run="$1" prefix="$2" demo="$3" out="$4"
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "panel_screenshot: $tool is missing (run scripts/bootstrap.sh)"; exit 1; }
done

display=":$(( 90 + RANDOM % 400 ))"
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'WINEPREFIX="$prefix/prefix" /usr/lib/wine/wineserver -k >/dev/null 2>&1; kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null' EXIT
for _ in $(seq 50); do DISPLAY="$display" xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

# Every program of this prefix's session sees the display, from the server's start on.
export WINE_DISPLAY="$display"
WINEPREFIX="$prefix/prefix" /usr/lib/wine/wineserver -k >/dev/null 2>&1
sleep 0.5

# The prefix's fonts: Wine's own Tahoma, and a CJK face in place of SimSun.
"$wine_run" --prefix "$prefix" cmd.exe /c exit >/dev/null 2>&1
fonts="$prefix/prefix/drive_c/windows/Fonts"
if [ ! -f "$fonts/tahoma.ttf" ]; then
  cp /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null
  for face in SimSun "MS Shell Dlg" "Microsoft YaHei"; do
    "$wine_run" --prefix "$prefix" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
  done
fi

"$wine_run" --prefix "$prefix" "$demo" &
program=$!

box=""
for _ in $(seq 300); do
  box=$(DISPLAY="$display" xdotool search --name '^Data Card Setup$' 2>/dev/null | head -n1)
  [ -n "$box" ] && break
  sleep 0.1
done
if [ -z "$box" ]; then
  echo "panel_screenshot: the message box did not appear"
  kill $program 2>/dev/null
  exit 1
fi
sleep 1.5  # let both windows paint
DISPLAY="$display" import -window root "$out"
echo "panel_screenshot: saved $out"
DISPLAY="$display" xdotool windowactivate --sync "$box" key Return 2>/dev/null || DISPLAY="$display" xdotool key --window "$box" Return

for _ in $(seq 200); do
  kill -0 $program 2>/dev/null || break
  sleep 0.1
done
if kill -0 $program 2>/dev/null; then
  echo "panel_screenshot: the program did not end after the box was answered"
  kill $program 2>/dev/null
  exit 1
fi
wait $program
rc=$?
[ -s "$out" ] || { echo "panel_screenshot: no picture"; exit 1; }
echo "panel_screenshot: the program ended with exit code $rc"
exit $rc
