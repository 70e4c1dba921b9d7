; Installer of Tovrel, built with NSIS by ./build-installer.sh (or the
; "installer" target of the Windows build tree):
;   makensis -DVERSION=2.02 -DDIST=<build/dist> -DOUT=<setup.exe> installer/tovrel.nsi
;
; Installs the program and its shipped data files into Program Files, with
; a Start-menu shortcut and an uninstaller. The marker file
; "Tovrel.installed" beside the program makes it keep the user's settings,
; templates and lists in "%APPDATA%\Tovrel" (its first start copies the
; shipped catalog and templates there). The uninstaller removes the program
; and leaves the user's folder alone. "/S" installs and uninstalls silently.
Unicode true
; A 64-bit installer for a 64-bit program.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!ifndef VERSION
  !define VERSION "0"
!endif
!define PRODUCT "Tovrel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tovrel"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUT}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "Software\${PRODUCT}" "InstallDir"
ShowInstDetails nevershow

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Tovrel"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${DIST}\Tovrel.exe"
  File "${DIST}\Tovrel_wchar.ini"
  File "${DIST}\tovrl_set_j.ini"
  File "${DIST}\tovrl_set_e.ini"
  File "${DIST}\tovrl_set_k.ini"
  File "${DIST}\tovrl_set_c.ini"
  SetOutPath "$INSTDIR\help"
  File /r "${DIST}\help\*.*"
  SetOutPath "$INSTDIR"
  FileOpen $0 "$INSTDIR\Tovrel.installed" w
  FileWrite $0 "Installed by the Tovrel setup: settings and lists are kept in %APPDATA%\Tovrel.$\r$\n"
  FileClose $0
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Tovrel.exe"
  WriteRegStr HKLM "Software\${PRODUCT}" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Velmora"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tovrel.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The program's own files only: the user's settings, templates and lists in
; %APPDATA%\Tovrel stay.
Section "Uninstall"
  SetShellVarContext all
  Delete "$INSTDIR\Tovrel.exe"
  Delete "$INSTDIR\Tovrel_wchar.ini"
  Delete "$INSTDIR\tovrl_set_j.ini"
  Delete "$INSTDIR\tovrl_set_e.ini"
  Delete "$INSTDIR\tovrl_set_k.ini"
  Delete "$INSTDIR\tovrl_set_c.ini"
  Delete "$INSTDIR\Tovrel.installed"
  Delete "$INSTDIR\uninstall.exe"
  RMDir /r "$INSTDIR\help"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\${PRODUCT}"
SectionEnd
