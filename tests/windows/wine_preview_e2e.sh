#!/usr/bin/env bash
# The preview in Windows' screen saver settings under Wine: a host program
# (preview_host.exe) hands its window to "/p HANDLE" or "/p:HANDLE" and
# reports what it finds there. A 640 x 360 clip in the host's 320 x 240
# area is shown whole, with its shape, in the middle; silently, though the
# clip has a tone; nothing of Quorrel's outside the host's window; while
# the host is hidden the preview uses no processor time, and goes on when
# it shows again; the message screen's text stays inside the area; a
# handle that is no window ends it at once. Then the host's window is
# destroyed, many times, at moments from the preview's start to its first
# picture: each preview ends within a second of it, no process is left,
# and none reports a broken heap. Wine draws no child window whose
# top-level window belongs to another program, so the host reports the
# windows it finds instead of their pixels. Needs DISPLAY, a PulseAudio
# server and a Wine prefix whose Direct3D renders through OpenGL. Prints
# "N passed, N failed".
set -uo pipefail
scr="$1"
source "$(dirname "${BASH_SOURCE[0]}")/wine_e2e_helpers.sh"
host="$(dirname "$scr")/tests/windows/preview_host.exe"

ffmpeg -v error -f lavfi -i "color=c=blue:s=640x360:d=20:r=25,noise=alls=6:allf=t" \
  -f lavfi -i "sine=frequency=440:duration=20" -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -shortest \
  "$work/blue-tone.mp4"
make_settings_folder

host_pid=""
start_host() {  # start_host FORM [MILLISECONDS]: the host, with Quorrel in it
  rm -f "$work/seen" "$work/stop" "$work/stop.hide"
  wine "$host" "$(win "$scr")" "$1" "$(win "$work/seen")" "$(win "$work/stop")" ${2:+"$2"} \
    >"$work/host.out" 2>>"$work/host.err" &
  host_pid=$!
}
# The host's status once its window is gone: 0 when Quorrel ended within
# a second of it.
stop_host() {
  touch "$work/stop"
  wait "$host_pid"
}
seen_in_host() { grep -qx "$1" "$work/seen" 2>/dev/null; }
host_window() { visible_window '^Quorrel Preview Host$'; }
# The preview's processor time in clock ticks (hundredths of a second),
# as Linux counts it for its process.
preview_pid() { pgrep -f 'quorrel.scr /p' | head -n 1; }
cpu() { awk '{ print $14 + $15 }' "/proc/$(preview_pid)/stat" 2>/dev/null; }
cpu_above() { local now; now=$(cpu); [[ -n "$now" ]] && ((now > $1)); }
no_preview_left() { test -z "$(preview_pid)"; }
nothing_outside() { is_colour 5 5 green && is_colour 1018 762 green && is_colour 500 200 green; }
# Every visible window of Quorrel's in the host lies inside its 320 x 240
# area.
all_inside() {
  awk '$NF == "visible" {
         if ($2 < 0 || $3 < 0 || $2 + $4 > 320 || $3 + $5 > 240) bad = 1; n++ }
       END { exit !(n > 0 && !bad) }' "$work/seen"
}

write_settings 1 0 "$work/blue-tone.mp4"
xsetroot -solid '#00ff00'
start_host space
check "preview: the host's window appears" wait_until 60 has host_window
check "preview: the show fills the host's client area" wait_until 30 seen_in_host "QuorrelHostedShow 0 0 320 240 visible"
check "preview: the whole 640 x 360 picture fitted to the area's width, centred, whatever the size option" \
  wait_until 30 seen_in_host "QuorrelVideoPanel 0 30 320 180 visible"
check "preview: no show window on screen" test -z "$(show_window)"
check "preview: nothing of Quorrel's outside the host's window" nothing_outside
check "preview: silent, though the clip has a tone" test "$(loudest_sample)" -lt 100
# Processor time over two seconds, shown and then hidden; a second is
# left for the hold to begin.
check "preview: it runs while its host shows" wait_until 20 cpu_above 0
shown_from=$(cpu)
sleep 3
shown_used=$(($(cpu) - shown_from))
touch "$work/stop.hide"
sleep 1
hidden_from=$(cpu)
sleep 3
hidden_used=$(($(cpu) - hidden_from))
echo "processor time over 3 s, in hundredths of a second: ${shown_used} shown, ${hidden_used} hidden"
check "preview: it decodes while its host shows" test "$shown_used" -ge 10
check "preview: a hidden host's preview uses (almost) no processor time" \
  test "$hidden_used" -le $((shown_used / 10 + 2))
rm -f "$work/stop.hide"
check "preview: it goes on when its host shows again" wait_until 20 cpu_above $((hidden_from + hidden_used + shown_used / 2))
stop_host
check "preview: destroying the host's window ends Quorrel within a second" test $? -eq 0

# The message screen (no videos) in the colon form: its text inside the
# area.
printf '[Options]\r\nPicdis=5\r\n' >"$ini"
start_host colon
message_shown() { grep -q "^Static .* visible$" "$work/seen" 2>/dev/null; }
check "preview (/p:): the message screen's text is shown" wait_until 60 message_shown
check "preview (/p:): everything of Quorrel's lies inside the host's area" all_inside
stop_host
check "preview (/p:): destroying the host's window ends Quorrel within a second" test $? -eq 0
xsetroot -def
check "preview: a handle that is no window ends at once with 0 and no window" \
  bash -c "timeout 60 wine '$scr' /p:4242 >/dev/null 2>&1 && test -z \"\$(xdotool search --name '^FrmQuorrel33\$' 2>/dev/null)\""

# The host's window destroyed 0 to 0.7 s after Quorrel's start, in its
# start-up, while its video loads and as it plays: each within a second.
write_settings 5 0 "$work/blue-tone.mp4"
: >"$work/host.err"
late=0
for cycle in $(seq 0 23); do
  start_host space $((cycle * 30))
  wait "$host_pid"
  status=$?
  if ((status != 0)); then
    late=$((late + 1))
    echo "cycle $cycle ($((cycle * 30)) ms): the host ended with $status: $(cat "$work/host.out")"
  fi
done
check "24 hosts destroyed 0-0.7 s after the start: each preview ended within a second" test "$late" -eq 0
check "... and no preview is left running" wait_until 3 no_preview_left
for pid in $(pgrep -f 'quorrel.scr /p'); do kill "$pid"; done
check "... and none reported a broken heap" bash -c "! grep -Ei 'double free|corruption' '$work/host.err'"

echo "$passed passed, $failed failed"
((failed == 0))
