#!/usr/bin/env bash
# quorrel.scr under Wine, driven as a user would: the show in three size
# modes with an MS Video-1 AVI and an MPEG-1 clip, the second start, shows
# started at the same instant, a key,
# the empty list's white screen, a WAV background sound on the sound
# server, and the options dialog's "Add Video" through the file dialog,
# "Add Entire Folder" through the folder picker and "OK", with the added
# Cinepak clip played afterwards. Needs DISPLAY and a
# PulseAudio server (tools/test starts them) and a Wine prefix
# (tools/windows-tests makes it). Every wait has a deadline. Prints
# "N passed, N failed".
set -uo pipefail
scr="$1"
source "$(dirname "${BASH_SOURCE[0]}")/wine_e2e_helpers.sh"

# Clips made now: every frame carries a little noise, so that every frame
# is coded and drawn.
ffmpeg -v error -f lavfi -i "color=c=red:s=320x240:d=4:r=15,noise=alls=6:allf=t" -c:v msvideo1 "$work/red.avi"
ffmpeg -v error -f lavfi -i "color=c=blue:s=160x120:d=4:r=25,noise=alls=6:allf=t" -c:v mpeg1video -b:v 800k \
  "$work/blue.mpg"
ffmpeg -v error -f lavfi -i "color=c=green:s=200x152:d=2:r=15" -c:v cinepak "$work/green.avi"
ffmpeg -v error -f lavfi -i "sine=frequency=440:duration=20" "$work/tone.wav"

make_settings_folder

# Size mode 1: the first clip stretched over the whole screen. Before it,
# a preview for a handle that is no window, an X host's switch and no
# switch at all do nothing: each start ends at once with 0 and opens no
# window.
write_settings 1 0 "$work/red.avi" "$work/blue.mpg"
does_nothing() {
  timeout 60 wine "$scr" "$@" >/dev/null 2>&1 && test -z "$(show_window)" -a -z "$(options_window)"
}
check "/p with a handle that is no window does nothing" does_nothing /p 1234
check "an X host's --root does nothing" does_nothing --root
check "no argument does nothing" does_nothing
check "show window appears" start_show
check "mode 1: red at the top-left corner" wait_until 30 is_colour 5 5 red
check "mode 1: red at the bottom-right corner" is_colour 1018 762 red
started=$SECONDS
timeout 60 wine "$scr" /s >/dev/null 2>&1
second_status=$?
check "a second start exits at once with 0" test "$second_status" -eq 0 -a $((SECONDS - started)) -lt 20
check "the first show still runs" kill -0 "$show_pid"
check "mode 1: a key ends the show with status 0" end_show_with_key

# Shows started at the same instant, before any has its window: one runs,
# the others end at once with 0, and one key leaves no show on screen.
show_windows() { xdotool search --onlyvisible --name '^FrmQuorrel33$' 2>/dev/null | wc -l; }
one_runs() {  # one_runs PID...: exactly one of them still runs
  local pid alive=0
  for pid in "$@"; do kill -0 "$pid" 2>/dev/null && alive=$((alive + 1)); done
  ((alive == 1))
}
for round in 1 2; do
  racers=()
  for _ in 1 2 3 4; do
    wine "$scr" /s >/dev/null 2>&1 &
    racers+=($!)
  done
  check "race $round: of four shows started at once, one runs" wait_until 60 one_runs "${racers[@]}"
  ended_with_zero=1
  for pid in "${racers[@]}"; do
    if kill -0 "$pid" 2>/dev/null; then
      show_pid=$pid
    else
      wait "$pid" || ended_with_zero=0
    fi
  done
  check "race $round: the others ended with 0" test "$ended_with_zero" -eq 1
  check "race $round: one show window is on screen" wait_until 60 has show_window
  check "race $round: only one" test "$(show_windows)" -eq 1
  check "race $round: a key ends it" end_show_with_key
  check "race $round: no show window is left" test "$(show_windows)" -eq 0
  kill "${racers[@]}" 2>/dev/null
  wait "${racers[@]}" 2>/dev/null
  show_pid=""
done

# Size mode 2: half the screen, centred (512 x 384 at 256, 192).
write_settings 2 0 "$work/red.avi"
start_show
check "mode 2: red inside the centred panel" wait_until 30 is_colour 300 230 red
check "mode 2: black outside it" is_colour 200 150 black
check "mode 2: a key ends the show" end_show_with_key

# Size mode 5: each clip at its own size, centred; the second clip follows.
write_settings 5 0 "$work/red.avi" "$work/blue.mpg"
start_show
check "mode 5: the AVI at 320 x 240 in the middle" wait_until 30 is_colour 360 270 red
check "mode 5: black just outside it" is_colour 345 260 black
check "mode 5: the MPEG-1 clip follows at 160 x 120" wait_until 30 is_colour 440 330 blue
check "mode 5: black around the smaller panel" is_colour 420 320 black
check "mode 5: a key ends the show" end_show_with_key

# The empty list: the white message screen, with its text at the top left,
# and the WAV background sound on the sound server.
write_settings 5 1
start_show
check "empty list: white screen" wait_until 30 is_colour 900 700 white
dark=$(convert x:root -crop 500x106+61+47 -threshold 50% -format '%[fx:mean]' info:- 2>/dev/null)
check "empty list: the message text is there" awk -v m="$dark" 'BEGIN { exit !(m > 0 && m < 0.99) }'
# The tone's samples reach the sound server's output, not silence.
check "WAV through MCI: Quorrel's stream is on the sound server" wait_until 30 quorrel_stream
check "WAV through MCI: the tone reaches the sound server's output" test "$(loudest_sample)" -gt 1000
check "empty list: a key ends the show" end_show_with_key

# The options dialog: "Add Video" through the file dialog, then "OK".
rm -f "$ini"
wine "$scr" /c >/dev/null 2>&1 &
dialog_pid=$!
check "options dialog opens" wait_until 60 has options_window
import -window root "$work/options.png" 2>/dev/null
eval "$(xdotool getwindowgeometry --shell "$(options_window)")"
xdotool mousemove $((X + 60)) $((Y + 168)) click 1  # "Add Video"
open_window() { visible_window '^Open$'; }
check "the file dialog opens" wait_until 30 has open_window
focus "$(open_window)"
xdotool type --delay 20 "$(win "$work/green.avi")"
xdotool key Return
check "the chosen video is stored in slot 1" wait_until 30 grep -q "^Name1=$(win "$work/green.avi" | sed 's/\\/\\\\/g')" "$ini"
# "Add Entire Folder": the folder picker, whose path box takes a typed
# folder, adds the folder's videos after the first slot.
mkdir -p "$work/folder"
cp "$work/red.avi" "$work/folder/a.avi"
cp "$work/red.avi" "$work/folder/b.avi"
xdotool mousemove $((X + 168)) $((Y + 168)) click 1  # "Add Entire Folder"
picker_window() { visible_window '^Add Entire Folder$'; }
check "the folder picker opens" wait_until 30 has picker_window
focus "$(picker_window)"
xdotool type --delay 20 "$(win "$work/folder")"
xdotool key Return
folder_added() { test "$(grep -c "^Name[23]=.*folder" "$ini")" -eq 2; }
check "the typed folder's two videos are stored in slots 2 and 3" wait_until 30 folder_added
xdotool mousemove $((X + 588)) $((Y + 465)) click 1  # "OK"
deadline=$((SECONDS + 30))
while kill -0 "$dialog_pid" 2>/dev/null && ((SECONDS < deadline)); do sleep 0.2; done
check "OK closes the dialog" bash -c "! kill -0 $dialog_pid 2>/dev/null"
check "OK wrote the options" grep -q "^Status=0" "$ini"
check "the folder is remembered" grep -q "^Last Dir=$(win "$work/" | sed 's/\\/\\\\/g')" "$ini"
# The show reads back what the dialog wrote: the Cinepak clip in slot 1,
# at its own size (the default file's choice), in the middle of the
# screen.
start_show
check "the show plays the added Cinepak clip" wait_until 30 is_colour 512 384 green
check "the last show ends on a key" end_show_with_key

echo "$passed passed, $failed failed"
((failed == 0))
