# Sourced by tools/test and tools/bench. start_desktop gives the commands
# that follow a display and a sound server: an Xvfb when DISPLAY is unset,
# a PulseAudio daemon with a null sink when no sound server answers, and a
# scratch home so nothing touches the user's own settings. Whatever it
# started is stopped when the calling script exits, however it exits.

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

start_desktop() {
  desktop_scratch="$(mktemp -d /tmp/quorrel-desktop.XXXXXX)"
  trap stop_desktop EXIT
  trap 'exit 130' INT TERM

  # A sound server that already answers is used as it is.
  if ! pactl info >/dev/null 2>&1; then
    mkdir -p "$desktop_scratch/pulse" "$desktop_scratch/pulse-home"
    chmod 700 "$desktop_scratch/pulse"
    HOME="$desktop_scratch/pulse-home" PULSE_RUNTIME_PATH="$desktop_scratch/pulse" \
      pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n --use-pid-file=no \
      --load="module-null-sink sink_name=quorrel_null" \
      --load="module-native-protocol-unix auth-anonymous=1 socket=$desktop_scratch/pulse/native" \
      --log-target=file:"$desktop_scratch/pulseaudio.log" &
    desktop_pids+=($!)
    export PULSE_SERVER="unix:$desktop_scratch/pulse/native"
    for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    if ! pactl info >/dev/null 2>&1; then
      echo "PulseAudio did not start:"; cat "$desktop_scratch/pulseaudio.log"; return 1
    fi
  fi

  if [[ -z "${DISPLAY:-}" ]]; then
    # Xvfb picks a free display number itself and writes it out, so that
    # several test runs starting at once never race for the same one. It
    # must not reset when its last client leaves: a test that checks the
    # display and disconnects would pull it from under the next program.
    Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset >"$desktop_scratch/display" 2>"$desktop_scratch/xvfb.log" &
    desktop_pids+=($!)
    for _ in $(seq 100); do [[ -s "$desktop_scratch/display" ]] && break; sleep 0.1; done
    local number
    number="$(head -n 1 "$desktop_scratch/display" 2>/dev/null)"
    export DISPLAY=":$number"
    for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    if [[ -z "$number" ]] || ! xdpyinfo >/dev/null 2>&1; then
      echo "Xvfb did not start:"; cat "$desktop_scratch/xvfb.log"; return 1
    fi
  fi

  export HOME="$desktop_scratch/home" XDG_CONFIG_HOME="$desktop_scratch/home/.config"
  mkdir -p "$XDG_CONFIG_HOME"

  # Screen-saver hosts and Wayland compositors refuse to run as root, so
  # when the tests run as root (as CI does) they run those as an ordinary
  # user, which must reach the test display and sound server too.
  export QUORREL_TEST_USER=""
  if [[ $(id -u) -eq 0 ]]; then
    if ! id quorrel-test >/dev/null 2>&1; then
      useradd --create-home --shell /bin/bash --user-group quorrel-test
    fi
    QUORREL_TEST_USER=quorrel-test
    chmod 755 "$desktop_scratch"
    [[ -d "$desktop_scratch/pulse" ]] && chmod 755 "$desktop_scratch/pulse"
  fi
  if [[ -z "${XDG_RUNTIME_DIR:-}" || ! -w "${XDG_RUNTIME_DIR:-/nonexistent}" ]]; then
    export XDG_RUNTIME_DIR="$desktop_scratch/runtime"
    mkdir -m 700 -p "$XDG_RUNTIME_DIR"
  fi
}
