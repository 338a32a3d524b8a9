; The setup program of quorrel.scr, built by tools/windows with makensis:
;   makensis -DSCR=path\to\quorrel.scr -DICON=quorrel.ico -DVERSION=3.26
;            -DREADME=path\to\README.md -DOUTFILE=quorrel-setup.exe
;            quorrel-setup.nsi
; It installs Quorrel in one of the two usual ways (NSIS's MultiUser.nsh):
; just for the user (the default; no administrator rights; under the
; user's local application data, the uninstaller under HKCU) or for
; everyone (administrator; quorrel.scr in the system folder, where Windows'
; Screen Saver Settings list it; the uninstaller under HKLM). "/CurrentUser"
; and "/AllUsers" choose on the command line, "/S" installs silently (just
; for the user unless "/AllUsers" is given), with Quorrel chosen and no
; options opened.
;
; Making Quorrel the screen saver and opening its options are the user's
; own business: they act for the user who started the setup. When the
; setup runs as another account (a standard user who typed an
; administrator's password), that account's settings are left alone, and
; the last page says how to choose Quorrel in Screen Saver Settings.
; The uninstaller removes what the setup put there and keeps the user's
; settings file; it clears the screen saver setting only while it still
; names Quorrel.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
; Drawn at the display's own scale, not stretched as a bitmap at 150 % and
; 200 %.
ManifestDPIAware true

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorrel"
!define DESKTOP_KEY "Control Panel\Desktop"
!define PUBLISHER "The Quorrel developers"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_INSTALLMODE_INSTDIR "Quorrel"
!define MULTIUSER_USE_PROGRAMFILES64
; The uninstaller finds the mode of the install by its entry.
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"

!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

Name "Quorrel"
OutFile "${OUTFILE}"
ShowInstDetails show
ShowUninstDetails show
BrandingText "Quorrel ${VERSION}"

; Where quorrel.scr goes: the system folder for everyone, the install
; folder for the user alone.
Var Saver
; Whether the setup runs as the user who started it (and so may set that
; user's screen saver).
Var StartingUser
Var FinishText

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_TEXT "$FinishText"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
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
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"

; $0: "1" when this process's account is the one signed in to the session
; (the user who started the setup), else "0". Where the session's user
; cannot be told, the process's account is taken for it.
!macro FindStartingUser UN
Function ${UN}FindStartingUser
  StrCpy $0 "1"
  UserInfo::GetName
  Pop $1
  ; WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, WTSUserName (5)
  System::Call 'wtsapi32::WTSQuerySessionInformationW(p 0, i -1, i 5, *p .r2, *i .r3) i .r4'
  ${If} $4 <> 0
    System::Call '*$2(&w256 .r5)'
    System::Call 'wtsapi32::WTSFreeMemory(p r2)'
    ${If} $5 != ""
    ${AndIf} $1 != ""
    ${AndIf} $5 != $1
      StrCpy $0 "0"
    ${EndIf}
  ${EndIf}
FunctionEnd
!macroend
!insertmacro FindStartingUser ""
!insertmacro FindStartingUser "un."

Function .onInit
  !insertmacro MULTIUSER_INIT
  Call FindStartingUser
  StrCpy $StartingUser $0
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Quorrel video screen saver" SectionSaver
  SectionIn RO
  SetOutPath "$INSTDIR"
  ${If} $MultiUser.InstallMode == "AllUsers"
    StrCpy $Saver "$SYSDIR\quorrel.scr"
    SetOutPath "$SYSDIR"
    File "${SCR}"
    SetOutPath "$INSTDIR"
  ${Else}
    StrCpy $Saver "$INSTDIR\quorrel.scr"
    File "${SCR}"
  ${EndIf}
  ; The documentation, as a file Windows opens; the options dialog's
  ; "Support" and "More Software" point to it.
  File "/oname=README.txt" "${README}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; Apps & features: the name, publisher, version, icon and size, and how
  ; to remove it; under HKLM for everyone, HKCU for the user alone.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Quorrel"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$Saver,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "HelpLink" "$INSTDIR\README.txt"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  ${If} $MultiUser.InstallMode == "AllUsers"
    ${GetSize} "$SYSDIR" "/M=quorrel.scr /S=0K /G=0" $3 $1 $2
    IntOp $0 $0 + $3
  ${EndIf}
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Make Quorrel my screen saver" SectionChoose
  ${If} $StartingUser == "1"
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$Saver"
    ; Through the system, so that it takes effect at once: the screen
    ; saver on, and a wait of ten minutes where none is set.
    System::Call 'user32::SystemParametersInfoW(i 17, i 1, p 0, i 3)'  ; SPI_SETSCREENSAVEACTIVE
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "ScreenSaveTimeOut"
    ${If} $0 == ""
    ${OrIf} $0 == "0"
      System::Call 'user32::SystemParametersInfoW(i 15, i 600, p 0, i 3)'  ; SPI_SETSCREENSAVETIMEOUT
    ${EndIf}
  ${EndIf}
SectionEnd

Section "Open Quorrel's options to choose videos" SectionOptions
  ${IfNot} ${Silent}
  ${AndIf} $StartingUser == "1"
    Exec '"$Saver" /c'
  ${EndIf}
SectionEnd

; The last page: what was done, or what the user does for themselves.
Section "-finish"
  ${If} $StartingUser == "1"
    StrCpy $FinishText "Quorrel is installed."
  ${Else}
    StrCpy $FinishText "Quorrel is installed. This setup ran as another account than yours, so your own screen saver was left as it was. To choose Quorrel, open Screen Saver Settings (Settings > Personalization > Lock screen > Screen saver), choose Quorrel in the list, and press Settings to choose your videos."
  ${EndIf}
SectionEnd

Section "Uninstall"
  ${If} $MultiUser.InstallMode == "AllUsers"
    Delete /REBOOTOK "$SYSDIR\quorrel.scr"
  ${Else}
    Delete /REBOOTOK "$INSTDIR\quorrel.scr"
  ${EndIf}
  ; The screen saver setting is the user's: only a setting that still
  ; names Quorrel is cleared. The settings file in the user's application
  ; data stays, for a later install to find.
  Call un.FindStartingUser
  ${If} $0 == "1"
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${GetFileName} $0 $1
    ${If} $1 == "quorrel.scr"
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${EndIf}
  ${EndIf}
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
