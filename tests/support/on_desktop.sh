#!/bin/sh
# Runs a test on a desktop of its own. tools/test starts several desktops
# (each an Xvfb, a PulseAudio daemon and a home of its own, described by
# $QUORREL_DESKTOPS/desktop<i>.env, see tools/desktop.sh) and runs as many
# tests at once as there are desktops, so that tests which put windows on a
# screen or sound through a server run side by side without seeing each
# other. A test takes the first desktop whose lock it gets and holds the
# lock, on a descriptor it inherits, until it ends. Run without
# QUORREL_DESKTOPS (plain ctest, or the test binary by hand), the test uses
# the desktop of its environment.
if [ -n "${QUORREL_DESKTOPS:-}" ]; then
  while :; do
    for desktop in "$QUORREL_DESKTOPS"/desktop*.env; do
      exec 9>"${desktop%.env}.lock"
      if flock -n 9; then
        . "$desktop"
        exec "$@"
      fi
      exec 9>&-
    done
    # Every desktop is taken for the moment: more tests run than there are
    # desktops, or a program a test left behind still holds one.
    sleep 0.2
  done
fi
exec "$@"
