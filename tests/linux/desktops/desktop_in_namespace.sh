#!/bin/sh
# Runs a Wayland compositor as a desktop session of its own, in a mount and
# network namespace of its own:
#
#   desktop_in_namespace.sh FOLDER COMMAND ARGUMENTS...
#
# Inside, /tmp/.X11-unix is a folder of its own and abstract sockets are
# the namespace's own, so the XWayland display that the compositor starts
# can neither collide with nor answer for any other X server on the
# machine (Mutter cannot be told which display number to take). Programs
# that need that display enter the namespaces of this script's process
# (nsenter), which stays the parent of everything here until it ends.
#
# The session has a session bus and a system bus of its own, plain bus
# daemons whose sockets are FOLDER/session-bus and FOLDER/system-bus, which
# the tests reach from outside: GNOME Shell gives up without any system
# bus, and a test must never see the machine's. The environment this
# script gets is the compositor's, with the buses added. Everything
# printed goes to FOLDER/desktop.log. SIGTERM ends the compositor and the
# buses.
set -eu
folder=$1
shift
exec >>"$folder/desktop.log" 2>&1

if [ "${QUORREL_IN_DESKTOP_NAMESPACE:-}" != 1 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "the desktop tests make mount namespaces, which needs root" >&2
    exit 1
  fi
  # The folder every X server expects, as X servers make it.
  mkdir -p -m 1777 /tmp/.X11-unix
  QUORREL_IN_DESKTOP_NAMESPACE=1 exec unshare --mount --net -- sh "$0" "$folder" "$@"
fi
unset QUORREL_IN_DESKTOP_NAMESPACE
mount -t tmpfs -o mode=1777,size=1m quorrel-x11 /tmp/.X11-unix

pids=""
stop() {
  trap - TERM INT EXIT
  # shellcheck disable=SC2086
  [ -z "$pids" ] || kill $pids 2>/dev/null || true
  wait
  exit 0
}
trap stop TERM INT EXIT

for bus in system-bus session-bus; do
  dbus-daemon --session --nofork --nopidfile --address="unix:path=$folder/$bus" &
  pids="$pids $!"
done
for _ in $(seq 100); do
  [ -S "$folder/system-bus" ] && [ -S "$folder/session-bus" ] && break
  sleep 0.05
done
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$folder/system-bus"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$folder/session-bus"

# In a session of its own, as a login would start it, so that what the
# compositor signals to its whole process group never reaches the test.
# KWin 5.27 sends SIGUSR1 so when its screen locker starts, and was seen
# to die of it itself unless it inherits the signal ignored, so it does.
# Started in the background, setsid leads no group and needs no fork, so
# $! is the compositor.
trap '' USR1
setsid "$@" &
pids="$! $pids"
# The compositor's end ends the session; a signal to this script ends the
# compositor first (the trap), then the buses.
wait "$!" || true
stop
