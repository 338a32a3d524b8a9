#!/bin/sh
# Runs a test on the desktop that CTest gave it. tools/test starts several
# desktops (each an Xvfb, a PulseAudio daemon and a home of its own, see
# tools/desktop.sh) and hands CTest a resource file that offers them, so
# that tests which put windows on a screen or sound through a server run
# side by side without seeing each other. CTest names the desktop it chose
# in CTEST_RESOURCE_GROUP_0_DESKTOPS ("id:1,slots:1"). Run without that
# (plain ctest, or the test binary by hand), the test uses the desktop of
# its environment.
if [ -n "${CTEST_RESOURCE_GROUP_0_DESKTOPS:-}" ] && [ -n "${QUORREL_DESKTOPS:-}" ]; then
  id="${CTEST_RESOURCE_GROUP_0_DESKTOPS#id:}"
  id="${id%%,*}"
  . "$QUORREL_DESKTOPS/desktop$id.env"
fi
exec "$@"
