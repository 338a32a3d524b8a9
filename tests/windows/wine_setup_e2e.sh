#!/usr/bin/env bash
# The setup program under Wine, silent (/S), as an administrator would run
# it: quorrel.scr in the system folder, Quorrel chosen as the screen saver,
# the uninstaller under Apps & features with its name, version, icon and
# size; the uninstaller, silent, removes all of it but the user's settings
# file, and clears the screen saver setting only while it names Quorrel.
# Needs a Wine prefix (tools/windows-tests). Prints "N passed, N failed".
set -uo pipefail
scr="$1"
source "$(dirname "${BASH_SOURCE[0]}")/wine_e2e_helpers.sh"
setup="$(dirname "$scr")/quorrel-setup.exe"
system32="$WINEPREFIX/drive_c/windows/system32"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorrel'

make_settings_folder
echo '; the user'"'"'s own' >"$ini"

registry() {  # registry KEY VALUE: the value's data, or nothing
  timeout 60 wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
installed() { test -f "$system32/quorrel.scr"; }
uninstalled() { ! installed && test -z "$(registry "$uninstall_key" DisplayName)"; }
install() { timeout 120 wine "$setup" /S >/dev/null 2>&1; }
# The uninstaller copies itself away and runs from there, so the start
# returns before the removal is done.
uninstall() {
  timeout 120 wine 'C:\Program Files\Quorrel\uninstall.exe' /S >/dev/null 2>&1
  wait_until 60 uninstalled
}

check "setup /S ends with 0" install
check "quorrel.scr is in the system folder" cmp -s "$scr" "$system32/quorrel.scr"
check "Quorrel is the screen saver" test "$(registry 'HKCU\Control Panel\Desktop' SCRNSAVE.EXE)" = 'C:\windows\system32\quorrel.scr'
check "Apps & features: the name" test "$(registry "$uninstall_key" DisplayName)" = Quorrel
check "Apps & features: the version" test "$(registry "$uninstall_key" DisplayVersion)" = 3.26
check "Apps & features: the icon, quorrel.scr's own" test "$(registry "$uninstall_key" DisplayIcon)" = 'C:\windows\system32\quorrel.scr,0'
size=$(registry "$uninstall_key" EstimatedSize)
check "Apps & features: the size, in kilobytes" test $((size)) -ge $(($(stat -c %s "$scr") / 1024))
check "Apps & features: how to remove it quietly" \
  test "$(registry "$uninstall_key" QuietUninstallString)" = '"C:\Program Files\Quorrel\uninstall.exe" /S'

check "the uninstaller removes the saver, the uninstaller and its entry" uninstall
check "nothing of it is left in Program Files" test ! -e "$WINEPREFIX/drive_c/Program Files/Quorrel"
check "the screen saver setting that named Quorrel is cleared" test -z "$(registry 'HKCU\Control Panel\Desktop' SCRNSAVE.EXE)"
check "the user's settings file stays" grep -q "the user's own" "$ini"

# Another screen saver chosen since: the uninstaller leaves the choice.
install
timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v SCRNSAVE.EXE /d 'C:\windows\system32\other.scr' /f >/dev/null 2>&1
check "with another saver chosen, the uninstaller still removes Quorrel" uninstall
check "... and leaves the other saver chosen" \
  test "$(registry 'HKCU\Control Panel\Desktop' SCRNSAVE.EXE)" = 'C:\windows\system32\other.scr'
timeout 60 wine reg delete 'HKCU\Control Panel\Desktop' /v SCRNSAVE.EXE /f >/dev/null 2>&1

echo "$passed passed, $failed failed"
((failed == 0))
