#!/usr/bin/env bash
# quorrel.scr under Wine on a desktop of two monitors: an Xvfb of its own
# with two heads joined by Xinerama (Wine lists the monitors of RandR, and
# Xvfb's RandR has one output however its screen is split, so RandR is
# left out and Wine falls back to Xinerama). Xvfb puts both heads at 0,0:
# the second monitor (800 x 600) overlaps the primary's (1024 x 768) top
# left corner, and the cover of the second monitor, above the show window,
# hides that part of the primary. The pixels sampled are those where only
# one of the two windows can be seen. With "Allscreens" absent the second
# monitor gets a black cover and a click on it ends the show; with
# "Allscreens=1" each monitor plays its own video of the list, at its own
# size in the middle of its own monitor, and goes on from there in
# sequence, the primary with its sound. Needs a PulseAudio server and a
# Wine prefix whose Direct3D draws through the GDI (tools/windows-tests);
# the wine server is started again on the new display and on the old one
# at the end. Prints "N passed, N failed".
set -uo pipefail
scr="$1"
source "$(dirname "${BASH_SOURCE[0]}")/wine_e2e_helpers.sh"
probe="$(dirname "$scr")/tests/windows/dpi_probe.exe"

# The wine server's desktop stays on the display it started with, so it
# starts again whenever DISPLAY changes.
restart_wine_server() {
  timeout 30 wineserver -k 2>/dev/null
  timeout 30 wineserver -w 2>/dev/null
  wineserver -p >/dev/null 2>&1 </dev/null
  timeout 60 wine cmd /c exit >/dev/null 2>&1 </dev/null
}
first_display="${DISPLAY:-}"
heads_pid=""
leave_two_heads() {
  [[ -z "$heads_pid" ]] && return
  kill "$heads_pid" 2>/dev/null
  wait "$heads_pid" 2>/dev/null
  heads_pid=""
  export DISPLAY="$first_display"
  restart_wine_server
}
trap 'cleanup; leave_two_heads' EXIT

Xvfb -displayfd 1 +xinerama -extension RANDR -screen 0 1024x768x24 -screen 1 800x600x24 -nolisten tcp -noreset \
  >"$work/display" 2>"$work/xvfb.log" &
heads_pid=$!
wait_until 10 test -s "$work/display"
export DISPLAY=":$(head -n 1 "$work/display")"
if ! wait_until 10 xdpyinfo >/dev/null 2>&1; then
  echo "the two-head Xvfb did not start:"; cat "$work/xvfb.log"
  echo "0 passed, 1 failed"
  exit 1
fi
restart_wine_server

monitors="$(timeout 60 wine "$probe" monitors 2>/dev/null | tr -d '\r')"
echo "Wine's monitors (left top width height primary):"
echo "$monitors"
check "Wine lists two monitors: the primary 1024 x 768 and a second 800 x 600, both at 0,0" \
  test "$monitors" = $'0 0 1024 768 1\n0 0 800 600 0'

# The primary's clip is 640 x 480, so that at its own size it reaches past
# the second monitor's corner (it stands at 192,144 to 832,624); it carries
# a tone. The second clip is 160 x 120, silent, and plays twice as long.
ffmpeg -v error -f lavfi -i "color=c=red:s=640x480:d=8:r=15,noise=alls=6:allf=t" \
  -f lavfi -i "sine=frequency=440:duration=8" -c:v msvideo1 -c:a pcm_s16le -shortest "$work/red.avi"
ffmpeg -v error -f lavfi -i "color=c=green:s=160x120:d=16:r=15,noise=alls=6:allf=t" -c:v msvideo1 "$work/green.avi"
make_settings_folder

# Quorrel's windows from the top down, each as "NAME WIDTHxHEIGHT+X+Y".
stacking() {
  xwininfo -root -tree 2>/dev/null | grep -E '"(Quorrel|FrmQuorrel33)":' | awk '{ gsub(/[":]/, "", $2); print $2, $(NF - 1) }'
}
cover_over_show() { [[ "$(stacking)" == $'Quorrel 800x600+0+0\nFrmQuorrel33 1024x768+0+0' ]]; }
# colours X Y COLOUR [X Y COLOUR]...: every pixel named has its colour.
colours() {
  while (($# >= 3)); do
    is_colour "$1" "$2" "$3" || return 1
    shift 3
  done
}
primary_heard() { (($(loudest_sample) > 1000)); }
no_quorrel_window() { test -z "$(stacking)"; }
error_box() { visible_window '^Error$'; }
# Ends the show as a user would, with a click on the second monitor.
end_show_with_click() {
  xdotool mousemove 400 300 click 1
  show_ended_well
}

# The option off: the primary plays, the second monitor is covered black.
write_settings 5 0 "$work/red.avi"
check "option off: the show window appears" start_show
check "option off: a cover of the second monitor's rectangle, above the show window" wait_until 30 cover_over_show
check "option off: the primary plays past the second monitor's edge" wait_until 30 is_colour 815 400 red
check "option off: the second monitor is black where the primary's clip lies beneath" is_colour 400 300 black
check "option off: a click on the second monitor ends the show with 0" end_show_with_click
check "option off: both windows are gone" wait_until 10 no_quorrel_window

# The option on, in sequence: the primary plays list position 1 (red),
# the second monitor position 2 (green). When the red clip ends the
# primary goes on to position 2 while the second monitor still plays it,
# and when the green one ends the second monitor goes on to position 1.
extra_options="Allscreens=1" write_settings 5 0 "$work/red.avi" "$work/green.avi"
check "option on: the show window appears" start_show
check "option on: the second monitor plays position 2 in the middle of its 800 x 600" \
  wait_until 30 is_colour 400 300 green
check "option on: ... 160 x 120, corner to corner" colours 322 242 green 477 357 green
check "option on: ... with its monitor black around it, above the primary's clip" colours 315 235 black 485 365 black
check "option on: the primary plays position 1 at 640 x 480 in the middle of its 1024 x 768" \
  colours 815 400 red 500 612 red 829 621 red
check "option on: ... and no further" colours 836 628 black 850 400 black
# Wine's MCI video driver takes "set audio off" and a zero volume without
# acting on them, so under Wine a second monitor's clip with sound would
# be heard; what can be told here is that the primary's is.
check "option on: the primary's clip's sound reaches the sound server" \
  wait_until 20 primary_heard
check "option on: the primary goes on to position 2, which the second monitor still plays" \
  wait_until 30 is_colour 815 400 black
check "option on: ... without an error" test -z "$(error_box)"
check "option on: the second monitor goes on to position 1 at 640 x 480 in its middle" \
  wait_until 30 is_colour 100 80 red
check "option on: ... and no error" test -z "$(error_box)"
check "option on: a key ends the show with 0" end_show_with_key
check "option on: both windows are gone" wait_until 10 no_quorrel_window

echo "$passed passed, $failed failed"
((failed == 0))
