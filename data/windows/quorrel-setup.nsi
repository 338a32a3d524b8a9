; The setup program of quorrel.scr, built by tools/windows with makensis:
;   makensis -DSCR=path\to\quorrel.scr -DICON=quorrel.ico -DVERSION=3.26
;            -DOUTFILE=quorrel-setup.exe quorrel-setup.nsi
; It puts quorrel.scr where Windows' screen saver settings look for savers
; (the system folder of 64-bit Windows, which needs administrator rights),
; offers to make Quorrel the screen saver and to open its options, and
; registers an uninstaller under Apps & features. "/S" installs silently,
; with the screen saver chosen and no options opened. The uninstaller
; removes what the setup put there, and leaves the screen saver setting
; and the user's settings file alone, unless the setting still names
; Quorrel, which it then clears.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorrel"
!define DESKTOP_KEY "Control Panel\Desktop"

Name "Quorrel"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
; The uninstaller and nothing else; the saver itself goes to the system
; folder.
InstallDir "$PROGRAMFILES64\Quorrel"
ShowInstDetails show
ShowUninstDetails show
BrandingText "Quorrel ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The source names no licence yet, so the version information names no
; copyright either.
!pragma warning disable 9100
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Quorrel"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Quorrel setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"

Section "Quorrel video screen saver" SectionSaver
  SectionIn RO
  SetOutPath "$SYSDIR"
  File "${SCR}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; Apps & features: the name, version, icon and size, and how to remove it.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quorrel"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\quorrel.scr,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  ${GetSize} "$SYSDIR" "/M=quorrel.scr /S=0K /G=0" $3 $1 $2
  IntOp $0 $0 + $3
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Make Quorrel my screen saver" SectionChoose
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SYSDIR\quorrel.scr"
SectionEnd

Section "Open Quorrel's options to choose videos" SectionOptions
  ${IfNot} ${Silent}
    Exec '"$SYSDIR\quorrel.scr" /c'
  ${EndIf}
SectionEnd

Section "Uninstall"
  Delete /REBOOTOK "$SYSDIR\quorrel.scr"
  ; The screen saver setting is the user's: only a setting that still
  ; names Quorrel is cleared. The settings file in the user's application
  ; data stays, for a later install to find.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${GetFileName} $0 $1
  ${If} $1 == "quorrel.scr"
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
