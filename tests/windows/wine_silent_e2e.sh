#!/usr/bin/env bash
# quorrel.scr under Wine on a computer without a sound device: Wine's own
# programs reach no sound server (an XDG_RUNTIME_DIR of their own, no
# PULSE_SERVER, no daemon started for them), so Windows' audio has no
# output device. Videos with a sound track play silently; the background
# sound is skipped without a word; a file that cannot be played for any
# other reason still gets the show's error box.
#   wine_silent_e2e.sh SCR engine   MP4s through the Media Engine's
#                                   stand-in, the show and the options
#                                   dialog's preview (Direct3D on OpenGL)
#   wine_silent_e2e.sh SCR mci      an AVI and an MPEG-1 with sound through
#                                   MCI (Wine's GDI renderer)
# Prints "N passed, N failed".
set -uo pipefail
scr="$1"
kind="$2"
source "$(dirname "${BASH_SOURCE[0]}")/wine_e2e_helpers.sh"

mkdir -m 700 -p "$work/runtime"
printf 'autospawn = no\n' >"$work/client.conf"
# Every Wine program of this script runs without a sound server.
wine() { env -u PULSE_SERVER XDG_RUNTIME_DIR="$work/runtime" PULSE_CLIENTCONFIG="$work/client.conf" wine "$@"; }

ffmpeg -v error -f lavfi -i "sine=frequency=440:duration=20" "$work/tone.wav"
head -c 200000 /dev/urandom >"$work/broken.mp4"
make_settings_folder
# A message box of Quorrel's: the show's errors are titled "Error", its
# other boxes with their kind or the program's name.
box_window() { xdotool search --onlyvisible --name '^(Quorrel|Error|Warning|Information)$' 2>/dev/null | head -n 1; }

if [[ $kind == engine ]]; then
  ffmpeg -v error -f lavfi -i "color=c=red:s=320x240:d=3:r=25" -f lavfi -i "sine=frequency=440:duration=3" \
    -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac -shortest "$work/red.mp4"
  videos=("$work/red.mp4")
else
  ffmpeg -v error -f lavfi -i "color=c=red:s=320x240:d=3:r=15" -f lavfi -i "sine=frequency=440:duration=3" \
    -c:v msvideo1 -c:a pcm_s16le -shortest "$work/red.avi"
  ffmpeg -v error -f lavfi -i "color=c=red:s=320x240:d=3:r=25" -f lavfi -i "sine=frequency=440:duration=3" \
    -c:v mpeg1video -b:v 800k -c:a mp2 -shortest "$work/red.mpg"
  videos=("$work/red.avi" "$work/red.mpg")
fi

for video in "${videos[@]}"; do
  name="$(basename "$video")"
  # Full screen, the background sound on, then a file that cannot play.
  write_settings 1 1 "$video" "$work/broken.mp4"
  check "$name, no sound device: the show window appears" start_show
  check "$name, no sound device: the video plays, red at the top-left corner" wait_until 30 is_colour 5 5 red
  check "$name, no sound device: red at the bottom-right corner" is_colour 1018 762 red
  check "$name, no sound device: no message about the sound" test -z "$(box_window)"
  check "$name, no sound device: the file that cannot play gets the show's error box" wait_until 30 has box_window
  focus "$(box_window)" && xdotool key Return
  check "$name, no sound device: a key ends the show with status 0" end_show_with_key
done

if [[ $kind == engine ]]; then
  # The options dialog's preview of the same MP4.
  write_settings 5 0 "$work/red.mp4"
  open_first_preview
  # Read back with import: convert's x:root reads the preview as black
  # under Wine. The clip stands at its own size at the panel's top-left
  # corner (16, 8).
  preview_is_red() {
    local rgb
    rgb="$(import -window root -crop "1x1+$((X + 16 + 100))+$((Y + 8 + 100))" +repage png:- 2>/dev/null |
      convert - -depth 8 -format '%[pixel:p{0,0}]' info:-)"
    [[ "$rgb" =~ ^srgb\(([0-9]+),([0-9]+),([0-9]+)\)$ ]] &&
      ((BASH_REMATCH[1] > 180 && BASH_REMATCH[2] < 70 && BASH_REMATCH[3] < 70))
  }
  xdotool mousemove $((X + 493)) $((Y + 107)) click 1  # "Play"
  check "preview, no sound device: Play shows the MP4" wait_until 30 preview_is_red
  close_preview_and_dialog
fi

echo "$passed passed, $failed failed"
((failed == 0))
