#!/usr/bin/env bash
# quorrel.scr on a scaled desktop under Wine: the Wine prefix's DPI (its
# LogPixels) set to 144 and then 192, as a 150 % and a 200 % display. The
# manifest declares per-monitor awareness, the options dialog reports that
# DPI and is 1.5 (2) times its 96-dpi size, and the show's panel at a
# video's own size is the video's size in device pixels. Every caption's
# fit at 100, 125, 150 and 200 % is checked in wine_windows_ui_test. Sets
# the prefix back to 96 dpi at the end. Needs DISPLAY and a Wine prefix
# whose Direct3D draws through the GDI (tools/windows-tests). Prints "N
# passed, N failed".
set -uo pipefail
scr="$1"
source "$(dirname "${BASH_SOURCE[0]}")/wine_e2e_helpers.sh"
probe="$(dirname "$scr")/tests/windows/dpi_probe.exe"
# The wine server keeps the DPI it started with for what it answers other
# programs about a window, so it starts again with the new one.
set_dpi() {
  timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  timeout 30 wineserver -k 2>/dev/null
  timeout 30 wineserver -w 2>/dev/null
  wineserver -p >/dev/null 2>&1 </dev/null
  timeout 60 wine cmd /c exit >/dev/null 2>&1 </dev/null
}
trap 'set_dpi 96; cleanup' EXIT

ffmpeg -v error -f lavfi -i "color=c=red:s=320x240:d=20:r=15,noise=alls=6:allf=t" -c:v msvideo1 "$work/red.avi"
make_settings_folder

manifest="$(timeout 60 wine "$probe" manifest "$(win "$scr")" 2>/dev/null)"
check "the manifest asks for per-monitor awareness, version 2 first" grep -q 'PerMonitorV2, PerMonitor' <<<"$manifest"
check "the manifest's older form for Windows 8.1, 8 and 7" grep -q '>true/pm<' <<<"$manifest"

dialog_is() {  # dialog_is DPI WIDTH HEIGHT
  [[ "$(timeout 30 wine "$probe" window 'Quorrel Options' 2>/dev/null | tr -d '\r')" == "$1 $2 $3" ]]
}
for dpi in 144 192; do
  set_dpi "$dpi"
  width=$(((642 * dpi + 48) / 96))
  height=$(((477 * dpi + 48) / 96))
  wine "$scr" /c >/dev/null 2>&1 &
  dialog_pid=$!
  check "$dpi dpi: the options dialog opens" wait_until 60 has options_window
  check "$dpi dpi: it reports $dpi dpi and is ${width} x ${height}" wait_until 10 dialog_is "$dpi" "$width" "$height"
  # Enter presses "OK", wherever the larger dialog stands.
  focus "$(options_window)"
  xdotool key Return
  check "$dpi dpi: Enter closes it" wait_until 30 bash -c "! kill -0 $dialog_pid 2>/dev/null"
  dialog_pid=""

  # The screen is 1024 x 768 device pixels at every scale: a 320 x 240
  # clip at its own size stands at (352, 264).
  write_settings 5 0 "$work/red.avi"
  start_show
  check "$dpi dpi: the clip at its own size is 320 x 240 device pixels" wait_until 30 is_colour 355 267 red
  check "$dpi dpi: ... to its far corner" is_colour 668 500 red
  check "$dpi dpi: ... and no further" is_colour 676 508 black
  check "$dpi dpi: a key ends the show" end_show_with_key
done

echo "$passed passed, $failed failed"
((failed == 0))
