#!/usr/bin/env bash
# The settings started by Windows' screen saver settings under Wine: a host
# program (preview_host.exe) hands its window to "/c:HANDLE". The options
# dialog is owned by the host, which is disabled while the dialog is open;
# a second start for the same window ("/c HANDLE") adds no dialog; after
# "OK" the host is enabled again and in front. A handle that is no window
# is ignored: the dialog opens on its own. Needs DISPLAY and a Wine prefix
# (tools/windows-tests). Prints "N passed, N failed".
set -uo pipefail
scr="$1"
source "$(dirname "${BASH_SOURCE[0]}")/wine_e2e_helpers.sh"
host="$(dirname "$scr")/tests/windows/preview_host.exe"

make_settings_folder
seen_in_host() { grep -qx "$1" "$work/seen" 2>/dev/null; }
not_seen_in_host() { test -s "$work/seen" && ! grep -q "^$1" "$work/seen"; }
owned_dialogs() { grep -c '^owned QuorrelOptions$' "$work/seen" 2>/dev/null; }
options_windows() { xdotool search --onlyvisible --name '^Quorrel Options$' 2>/dev/null | wc -l; }
click_ok() {
  eval "$(xdotool getwindowgeometry --shell "$(options_window)")"
  xdotool mousemove $((X + 588)) $((Y + 465)) click 1  # "OK"
}

wine "$host" "$(win "$scr")" settings "$(win "$work/seen")" "$(win "$work/stop")" >"$work/host.out" 2>/dev/null &
host_pid=$!
check "/c:HWND: the options dialog opens" wait_until 60 has options_window
check "/c:HWND: the dialog is owned by the window that asked for it" wait_until 10 seen_in_host "owned QuorrelOptions"
check "/c:HWND: the owner is disabled while the dialog is open" wait_until 10 seen_in_host "host disabled"
handle="$(sed -n 's/^handle //p' "$work/seen")"
check "/c HWND a second time: it ends at once with 0" timeout 60 wine "$scr" /c "$handle"
# What the host sees once more after the second start has ended.
touch "$work/mark"
wait_until 10 test "$work/seen" -nt "$work/mark"
check "/c HWND a second time: still one dialog, owned by the host" test "$(owned_dialogs)" -eq 1
check "/c HWND a second time: one options window on screen" test "$(options_windows)" -eq 1
click_ok
check "after OK: the owner is enabled again" wait_until 30 seen_in_host "host enabled"
check "after OK: no dialog is left" wait_until 30 not_seen_in_host "owned"
check "after OK: the owner is in front" wait_until 10 seen_in_host "host foreground"
touch "$work/stop"
wait "$host_pid"

wine "$scr" /c:4242 >/dev/null 2>&1 &
dialog_pid=$!
check "/c:HANDLE that is no window: the dialog opens on its own" wait_until 60 has options_window
click_ok
check "... and OK closes it" wait_until 30 bash -c "! kill -0 $dialog_pid 2>/dev/null"
dialog_pid=""

echo "$passed passed, $failed failed"
((failed == 0))
