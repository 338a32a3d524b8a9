#!/usr/bin/env bash
# The setup program under Wine, silent, in both of its ways: just for the
# user ("/S /CurrentUser", and "/S" alone, the interactive default) and for
# everyone ("/S /AllUsers"). Each puts quorrel.scr where that way puts it,
# the README beside the uninstaller, an Apps & features entry in the
# user's or the machine's part of the registry (name, publisher, version,
# icon, size, how to remove it), and makes Quorrel the user's screen saver
# through the system: SCRNSAVE.EXE, the screen saver on, a wait of ten
# minutes where none was set (a wait that was set is kept). The
# uninstaller, silent, removes all of it but the user's settings file, and
# clears the screen saver setting only while it names Quorrel. Wine has
# one account, so these show that the setup acts for the account it runs
# as, not how it behaves when another account's password elevated it.
# Needs a Wine prefix (tools/windows-tests). Prints "N passed, N failed".
set -uo pipefail
scr="$1"
source "$(dirname "${BASH_SOURCE[0]}")/wine_e2e_helpers.sh"
setup="$(dirname "$scr")/quorrel-setup.exe"
system32="$WINEPREFIX/drive_c/windows/system32"
entry='Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorrel'
desktop='HKCU\Control Panel\Desktop'

make_settings_folder
echo '; the user'"'"'s own' >"$ini"
local_programs="$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Local | grep -v /Public/ | head -n 1)/Programs/Quorrel"
user_folder="$(echo "$local_programs" | sed "s|^$WINEPREFIX/drive_c|C:|; s|/|\\\\|g")"
everyone_folder='C:\Program Files\Quorrel'

registry() {  # registry KEY VALUE: the value's data, or nothing
  timeout 60 wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}
forget_desktop() {
  local value
  for value in SCRNSAVE.EXE ScreenSaveTimeOut ScreenSaveActive; do
    timeout 60 wine reg delete "$desktop" /v "$value" /f >/dev/null 2>&1
  done
}
no_entry() { test -z "$(registry "HKCU\\$entry" DisplayName)" && test -z "$(registry "HKLM\\$entry" DisplayName)"; }
# The uninstaller copies itself away and runs from there, so the start
# returns before the removal is done.
uninstall() {  # uninstall ROOT: by the entry's own quiet command
  local command
  command="$(registry "$1\\$entry" QuietUninstallString)"
  [[ -n "$command" ]] || return 1
  eval "timeout 120 wine $(printf '%s' "$command" | sed 's/\\/\\\\/g')" >/dev/null 2>&1
  wait_until 60 no_entry
}

check_install() {  # check_install NAME ROOT SAVER FOLDER: after an install
  local name="$1" root="$2" saver="$3" folder="$4"
  check "$name: the entry's name, under $root" test "$(registry "$root\\$entry" DisplayName)" = Quorrel
  check "$name: the entry's publisher" test -n "$(registry "$root\\$entry" Publisher)"
  check "$name: the entry's version" test "$(registry "$root\\$entry" DisplayVersion)" = 3.26
  check "$name: the entry's icon, quorrel.scr's own" test "$(registry "$root\\$entry" DisplayIcon)" = "$saver,0"
  size=$(registry "$root\\$entry" EstimatedSize)
  check "$name: the entry's size, in kilobytes" test $((size)) -ge $(($(stat -c %s "$scr") / 1024))
  check "$name: the README, where the entry says" test "$(registry "$root\\$entry" InstallLocation)" = "$folder"
  check "$name: Quorrel is the user's screen saver" test "$(registry "$desktop" SCRNSAVE.EXE)" = "$saver"
  check "$name: the screen saver is on" test "$(registry "$desktop" ScreenSaveActive)" = 1
}

# What Windows reads from the setup program's manifest before it runs.
manifest_says() { grep -aq "$1" "$setup"; }
check "the setup declares itself DPI-aware, so Windows does not stretch it" \
  manifest_says '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>'
check "the setup asks for the rights the user has, an administrator's or none" manifest_says 'requestedExecutionLevel level="highestAvailable"'

# Just for the user.
forget_desktop
check "/S /CurrentUser ends with 0" timeout 120 wine "$setup" /S /CurrentUser
check "just for me: quorrel.scr in the user's local programs" cmp -s "$scr" "$local_programs/quorrel.scr"
check "just for me: the README beside it, as text" test -s "$local_programs/README.txt"
check "just for me: nothing in the system folder" test ! -e "$system32/quorrel.scr"
check "just for me: no entry under HKLM" test -z "$(registry "HKLM\\$entry" DisplayName)"
check_install "just for me" HKCU "$user_folder\\quorrel.scr" "$user_folder"
check "just for me: a wait of ten minutes, none having been set" test "$(registry "$desktop" ScreenSaveTimeOut)" = 600
check "just for me: the uninstaller removes it and its entry" uninstall HKCU
check "just for me: nothing of it is left" test ! -e "$local_programs"
check "just for me: the screen saver setting that named Quorrel is cleared" test -z "$(registry "$desktop" SCRNSAVE.EXE)"
check "just for me: the user's settings file stays" grep -q "the user's own" "$ini"

# "/S" alone installs as the interactive default does: just for the user;
# a wait the user set is kept.
forget_desktop
timeout 60 wine reg add "$desktop" /v ScreenSaveTimeOut /d 300 /f >/dev/null 2>&1
check "/S ends with 0" timeout 120 wine "$setup" /S
check "/S: just for the user" test -f "$local_programs/quorrel.scr" -a ! -e "$system32/quorrel.scr"
check "/S: the wait the user set is kept" test "$(registry "$desktop" ScreenSaveTimeOut)" = 300
check "/S: the uninstaller removes it" uninstall HKCU

# For everyone.
forget_desktop
check "/S /AllUsers ends with 0" timeout 120 wine "$setup" /S /AllUsers
check "for everyone: quorrel.scr in the system folder" cmp -s "$scr" "$system32/quorrel.scr"
check "for everyone: the README in Program Files" test -s "$WINEPREFIX/drive_c/Program Files/Quorrel/README.txt"
check "for everyone: no entry under HKCU" test -z "$(registry "HKCU\\$entry" DisplayName)"
check_install "for everyone" HKLM 'C:\windows\system32\quorrel.scr' "$everyone_folder"
check "for everyone: a wait of ten minutes, none having been set" test "$(registry "$desktop" ScreenSaveTimeOut)" = 600
check "for everyone: the uninstaller removes the saver, the uninstaller and its entry" uninstall HKLM
check "for everyone: nothing of it is left" test ! -e "$system32/quorrel.scr" -a ! -e "$WINEPREFIX/drive_c/Program Files/Quorrel"
check "for everyone: the screen saver setting that named Quorrel is cleared" test -z "$(registry "$desktop" SCRNSAVE.EXE)"
check "for everyone: the user's settings file stays" grep -q "the user's own" "$ini"

# Another screen saver chosen since: the uninstaller leaves the choice.
timeout 120 wine "$setup" /S /AllUsers >/dev/null 2>&1
timeout 60 wine reg add "$desktop" /v SCRNSAVE.EXE /d 'C:\windows\system32\other.scr' /f >/dev/null 2>&1
check "with another saver chosen, the uninstaller still removes Quorrel" uninstall HKLM
check "... and leaves the other saver chosen" test "$(registry "$desktop" SCRNSAVE.EXE)" = 'C:\windows\system32\other.scr'
forget_desktop

echo "$passed passed, $failed failed"
((failed == 0))
