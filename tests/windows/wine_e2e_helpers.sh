# Sourced by the end-to-end tests of quorrel.scr under Wine
# (wine_e2e.sh, wine_media_engine_e2e.sh): a scratch folder (work) and the
# clean-up of it and of the show and dialog left running, checks and waits
# with deadlines, screen pixels, the show's and the dialogs' windows, the
# settings file and the sound server. The sourcing script sets scr (the
# program) first, and counts with passed and failed.

show_pid=""
dialog_pid=""
passed=0
failed=0
work="$(mktemp -d "/tmp/$(basename "$0" .sh).XXXXXX")"
cleanup() {
  [[ -n "$show_pid" ]] && kill "$show_pid" 2>/dev/null
  [[ -n "$dialog_pid" ]] && kill "$dialog_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

check() {  # check NAME CONDITION...
  local name="$1"; shift
  if "$@"; then passed=$((passed + 1)); echo "ok: $name"; else failed=$((failed + 1)); echo "FAILED: $name"; fi
}

wait_until() {  # wait_until SECONDS COMMAND...
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do
    ((SECONDS >= deadline)) && return 1
    sleep 0.2
  done
}

# Milliseconds since a moment taken from $EPOCHREALTIME.
elapsed_ms() {
  local now=$EPOCHREALTIME then=$1
  now=${now//[!0-9]/}
  then=${then//[!0-9]/}
  echo $(((10#$now - 10#$then) / 1000))
}

# Whether a window lookup finds one, asked afresh on every call.
has() { test -n "$("$1")"; }

pixel() { convert x:root -depth 8 -format "%[pixel:p{$1,$2}]" info:- 2>/dev/null; }
# is_colour X Y red|green|blue|black|white
is_colour() {
  local rgb r g b
  rgb="$(pixel "$1" "$2" | tr -dc '0-9,')"
  IFS=, read -r r g b <<<"$rgb"
  [[ -n "$b" ]] || return 1
  case "$3" in
    red) ((r > 180 && g < 70 && b < 70)) ;;
    green) ((g > 90 && r < 70 && b < 70)) ;;
    blue) ((b > 180 && r < 70 && g < 70)) ;;
    black) ((r < 30 && g < 30 && b < 30)) ;;
    white) ((r > 240 && g > 240 && b > 240)) ;;
  esac
}

# A Unix path as Wine's Z: drive names it.
win() { echo "Z:${1//\//\\}"; }

# The user's folders of the prefix, made by a first start that does
# nothing, and the settings file's name in them (in ini).
make_settings_folder() {
  timeout 120 wine "$scr" /nothing >/dev/null 2>&1
  local roaming
  roaming="$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Roaming | grep -v /Public/ | head -n 1)"
  ini="$roaming/Quorrel/quorrel4.ini"
  mkdir -p "$roaming/Quorrel"
}

# The settings file, written as the options dialog would: size mode, sound
# on or off, the videos in slots 1, 2, ..., and the lines in
# extra_options (if set) in the section Options.
write_settings() {  # write_settings PICDIS SOUND VIDEO...
  local picdis="$1" sound="$2"; shift 2
  {
    printf '[Options]\r\nSound=%s\r\nRepeat=0\r\nStatus=0\r\nColor=4\r\nPicdis=%s\r\nPicord=2\r\n' "$sound" "$picdis"
    printf 'Height=100\r\nWidth=100\r\n'
    [[ -n "${extra_options:-}" ]] && printf '%s\r\n' "$extra_options"
    printf '[vidConfig]\r\n'
    local n=1 video
    for video in "$@"; do printf 'Name%d=%s\r\n' "$n" "$(win "$video")"; n=$((n + 1)); done
    for ((; n <= 1000; n++)); do printf 'Name%d=Null\r\n' "$n"; done
    printf '[WavConfig]\r\nName1=%s\r\n' "$(win "$work/tone.wav")"
  } >"$ini"
}

# Windows count once they are on screen: Wine names a window when it makes
# it, before the program shows it, and a click or key before that is lost.
visible_window() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
show_window() { visible_window '^FrmQuorrel33$'; }
options_window() { visible_window '^Quorrel Options$'; }
# Gives a window the keyboard (Xvfb has no window manager to do it) and
# waits until it has it.
focus() {
  xdotool windowfocus "$1" 2>/dev/null
  wait_until 10 test "$(xdotool getwindowfocus 2>/dev/null)" = "$1"
}
preview_window() { visible_window '^Preview Video$'; }
# Opens the options dialog and the preview of the list's first video; the
# preview window's place is then in X and Y.
open_first_preview() {
  wine "$scr" /c >/dev/null 2>&1 &
  dialog_pid=$!
  check "options dialog opens" wait_until 60 has options_window
  eval "$(xdotool getwindowgeometry --shell "$(options_window)")"
  xdotool mousemove $((X + 100)) $((Y + 44)) click 1  # the first row of the list
  xdotool mousemove $((X + 598)) $((Y + 167)) click 1  # "Preview"
  check "the preview window opens" wait_until 30 has preview_window
  eval "$(xdotool getwindowgeometry --shell "$(preview_window)")"
}
# "Return" on the preview, then "OK" on the options dialog.
close_preview_and_dialog() {
  xdotool mousemove $((X + 501)) $((Y + 371)) click 1  # "Return"
  check "preview: Return closes the preview" wait_until 30 bash -c "! xdotool search --onlyvisible --name '^Preview Video$' >/dev/null 2>&1"
  # The dialog is shown again a moment after its modal preview has gone.
  wait_until 30 has options_window
  eval "$(xdotool getwindowgeometry --shell "$(options_window)")"
  xdotool mousemove $((X + 588)) $((Y + 465)) click 1  # "OK"
  check "OK closes the options dialog" wait_until 30 bash -c "! kill -0 $dialog_pid 2>/dev/null"
}
start_show() {
  wine "$scr" /s >/dev/null 2>&1 &
  show_pid=$!
  wait_until 120 has show_window
}
# Ends the show with a key, as a user would; true when it exited with 0.
end_show_with_key() {
  focus "$(show_window)"
  xdotool key space
  show_ended_well
}
# Waits up to 30 s for the show to end; true when it exited with 0.
show_ended_well() {
  local deadline=$((SECONDS + 30))
  while kill -0 "$show_pid" 2>/dev/null; do
    ((SECONDS >= deadline)) && return 1
    sleep 0.2
  done
  wait "$show_pid"
  local status=$?
  show_pid=""
  ((status == 0))
}

# Wine's stream carries the program's name; what the sound server mixes
# from it is read back from the monitor of the default sink.
quorrel_stream() { timeout 10 pactl list sink-inputs 2>/dev/null | grep -q 'application.name = "Quorrel"'; }
loudest_sample() {
  timeout 10 parec -d @DEFAULT_MONITOR@ --raw --format=s16le --channels=1 --rate=44100 2>/dev/null |
    head -c 44100 | od -An -td2 -v -w2 | awk '{ v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print m + 0 }'
}
