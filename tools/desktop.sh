# Sourced by tools/test and tools/bench. start_desktop gives the commands
# that follow a display and a sound server: an Xvfb when DISPLAY is unset,
# a PulseAudio daemon with a null sink when no sound server answers, and a
# scratch home so nothing touches the user's own settings. start_desktops N
# starts N more such desktops, each with its own Xvfb, PulseAudio and home,
# for tests that run side by side (see tools/test). Whatever they started is
# stopped when the calling script exits, however it exits.

desktop_scratch=""
desktop_pids=()

stop_desktop() {
  local pid
  for pid in "${desktop_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${desktop_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  desktop_pids=()
  [[ -n "$desktop_scratch" ]] && rm -rf "$desktop_scratch"
  desktop_scratch=""
}

# Starts a PulseAudio daemon with a null sink whose socket is in folder $1
# and prints the address that reaches it.
new_sound_server() {
  local folder="$1"
  mkdir -p "$folder/pulse" "$folder/pulse-home"
  chmod 700 "$folder/pulse"
  # With a display or a session bus at hand PulseAudio claims a D-Bus name
  # that only one daemon per bus may hold, so a second test desktop's
  # daemon would refuse to start; these daemons need neither.
  env -u DISPLAY -u DBUS_SESSION_BUS_ADDRESS HOME="$folder/pulse-home" PULSE_RUNTIME_PATH="$folder/pulse" \
    pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n --use-pid-file=no \
    --load="module-null-sink sink_name=quorrel_null" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$folder/pulse/native" \
    --log-target=file:"$folder/pulseaudio.log" &
  desktop_pids+=($!)
  local address="unix:$folder/pulse/native"
  for _ in $(seq 100); do PULSE_SERVER="$address" pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  if ! PULSE_SERVER="$address" pactl info >/dev/null 2>&1; then
    echo "PulseAudio did not start:" >&2; cat "$folder/pulseaudio.log" >&2; return 1
  fi
  new_sound_server_address="$address"
}

# Starts an Xvfb whose log is in folder $1 and sets new_display to its name.
new_display() {
  local folder="$1"
  # Xvfb picks a free display number itself and writes it out, so that
  # several test runs starting at once never race for the same one. It
  # must not reset when its last client leaves: a test that checks the
  # display and disconnects would pull it from under the next program.
  Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset >"$folder/display" 2>"$folder/xvfb.log" &
  desktop_pids+=($!)
  for _ in $(seq 100); do [[ -s "$folder/display" ]] && break; sleep 0.1; done
  local number
  number="$(head -n 1 "$folder/display" 2>/dev/null)"
  for _ in $(seq 100); do DISPLAY=":$number" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  if [[ -z "$number" ]] || ! DISPLAY=":$number" xdpyinfo >/dev/null 2>&1; then
    echo "Xvfb did not start:" >&2; cat "$folder/xvfb.log" >&2; return 1
  fi
  new_display=":$number"
}

# Screen-saver hosts and Wayland compositors refuse to run as root, so when
# the tests run as root (as CI does) they run those as an ordinary user,
# which must reach the test displays and sound servers too.
open_to_test_user() {
  local folder="$1"
  [[ -n "$QUORREL_TEST_USER" ]] || return 0
  chmod 755 "$folder"
  [[ -d "$folder/pulse" ]] && chmod 755 "$folder/pulse"
  return 0
}

start_desktop() {
  desktop_scratch="$(mktemp -d /tmp/quorrel-desktop.XXXXXX)"
  trap stop_desktop EXIT
  trap 'exit 130' INT TERM

  export QUORREL_TEST_USER=""
  if [[ $(id -u) -eq 0 ]]; then
    if ! id quorrel-test >/dev/null 2>&1; then
      useradd --create-home --shell /bin/bash --user-group quorrel-test
    fi
    QUORREL_TEST_USER=quorrel-test
  fi

  # A sound server that already answers is used as it is.
  if ! pactl info >/dev/null 2>&1; then
    new_sound_server "$desktop_scratch" || return 1
    export PULSE_SERVER="$new_sound_server_address"
  fi
  if [[ -z "${DISPLAY:-}" ]]; then
    new_display "$desktop_scratch" || return 1
    export DISPLAY="$new_display"
  fi
  open_to_test_user "$desktop_scratch"

  export HOME="$desktop_scratch/home" XDG_CONFIG_HOME="$desktop_scratch/home/.config"
  mkdir -p "$XDG_CONFIG_HOME"
  if [[ -z "${XDG_RUNTIME_DIR:-}" || ! -w "${XDG_RUNTIME_DIR:-/nonexistent}" ]]; then
    export XDG_RUNTIME_DIR="$desktop_scratch/runtime"
    mkdir -m 700 -p "$XDG_RUNTIME_DIR"
  fi
}

# After start_desktop: N desktops of their own (Xvfb, PulseAudio, home),
# each described by a file of exports, desktop<i>.env, in the folder that
# QUORREL_DESKTOPS names, for tests/support/on_desktop.sh.
start_desktops() {
  local count="$1" i folder
  for ((i = 0; i < count; i++)); do
    folder="$desktop_scratch/desktop$i"
    mkdir -p "$folder/home/.config" "$folder/runtime"
    chmod 700 "$folder/runtime"
    new_display "$folder" || return 1
    new_sound_server "$folder" || return 1
    open_to_test_user "$folder"
    cat >"$desktop_scratch/desktop$i.env" <<ENV
export DISPLAY="$new_display" PULSE_SERVER="$new_sound_server_address"
export HOME="$folder/home" XDG_CONFIG_HOME="$folder/home/.config" XDG_RUNTIME_DIR="$folder/runtime"
ENV
  done
  export QUORREL_DESKTOPS="$desktop_scratch"
}
