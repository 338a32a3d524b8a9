#!/bin/sh
# Runs sway in a mount and network namespace of its own:
#
#   sway_in_namespace.sh LOG USER CONFIG NAME=VALUE...
#
# The namespace has a /tmp/.X11-unix of its own and abstract sockets of its
# own, so the XWayland display that sway starts is reachable only from
# inside it, and it never answers for, nor takes over, a display that
# another X server, another test or the user's session uses. Only its lock
# file in /tmp is shared, which makes other X servers pass over that number
# while sway runs, as they do for any running server. The caller reaches
# sway through the Wayland and IPC sockets in XDG_RUNTIME_DIR; programs that
# need the X display run inside, started by sway (swaymsg exec, idle tools).
#
# sway refuses to run as root. As root, it runs as USER; as anyone else,
# as that user (USER is then ignored). The NAME=VALUE pairs are sway's
# whole environment; everything sway and its programs print goes to LOG.
# sway keeps this script's process id, so signalling that id reaches sway.
set -eu
log=$1 user=$2 config=$3
shift 3
exec >"$log" 2>&1
# sway and what it starts work in /: the caller's folder may be closed to
# the user sway runs as.
cd /

# Inside the namespaces: hide the shared socket folder, then run sway.
inner='mount -t tmpfs -o mode=1777,size=1m quorrel-x11 /tmp/.X11-unix && exec "$@"'

if [ "$(id -u)" -eq 0 ]; then
  if [ -z "$user" ]; then
    echo "sway does not run as root: name an ordinary user" >&2
    exit 1
  fi
  # The folder every X server expects, as X servers make it.
  mkdir -p -m 1777 /tmp/.X11-unix
  exec unshare --mount --net -- sh -c "$inner" sh \
    setpriv --reuid="$user" --regid="$user" --init-groups env -i "$@" sway -c "$config"
fi

if [ ! -d /tmp/.X11-unix ]; then
  echo "/tmp/.X11-unix is missing; an ordinary user cannot make it as X servers expect" >&2
  exit 1
fi
# Mounting needs root in a user namespace of its own; sway then runs in a
# second one that maps that root back to the caller, because it refuses to
# start where it could become root again.
exec unshare --map-root-user --mount --net -- sh -c "$inner" sh \
  unshare --map-user="$(id -u)" --map-group="$(id -g)" env -i "$@" sway -c "$config"
