; The Kalyxon installer for Windows, made by scripts/package-windows.sh:
;   makensis -DVERSION=7.6.0 -DSOURCE=<folder> -DOUTFILE=<setup.exe> kalyxon.nsi
; A per-user installation (no administrator rights): the program folder goes
; under the user's local application data, where the program can write its
; settings beside itself, with a Start-menu entry and an uninstaller.
Unicode true
Target amd64-unicode
RequestExecutionLevel user
; zlib: lzma would save a fifth of the size at ten times the build time.
SetCompressor zlib

!ifndef VERSION
  !error "VERSION is not defined"
!endif
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kalyxon"

Name "Kalyxon ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kalyxon"
InstallDirRegKey HKCU "Software\Kalyxon" "InstallDir"
ShowInstDetails nevershow

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Kalyxon"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${SOURCE}\kalyxon.exe"
  File "${SOURCE}\ALPHA.db"
  File /nonfatal "${SOURCE}\*.ico"
  File "${SOURCE}\*.txt"
  File "${SOURCE}\*.md"
  ; A dictionary the user has added words to is his: an update never
  ; replaces one that is already there.
  SetOverwrite off
  File "${SOURCE}\LEXICA*.db"
  SetOverwrite on
  SetOutPath "$INSTDIR\help"
  File "${SOURCE}\help\*.*"
  SetOutPath "$INSTDIR"

  CreateDirectory "$SMPROGRAMS\Kalyxon"
  CreateShortcut "$SMPROGRAMS\Kalyxon\Kalyxon.lnk" "$INSTDIR\kalyxon.exe" "" "$INSTDIR\kalyxon.ico"
  CreateShortcut "$SMPROGRAMS\Kalyxon\Desinstalar Kalyxon.lnk" "$INSTDIR\uninstall.exe"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "Software\Kalyxon" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayName" "Kalyxon"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTKEY}" "Publisher" "Proyecto Kalyxon"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\kalyxon.ico"
  WriteRegStr HKCU "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoRepair" 1
SectionEnd

; The uninstaller removes the program and what was shipped with it; the
; user's own data (settings, dictionaries, error report) stays, so that
; reinstalling finds it again.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Kalyxon\Kalyxon.lnk"
  Delete "$SMPROGRAMS\Kalyxon\Desinstalar Kalyxon.lnk"
  RMDir "$SMPROGRAMS\Kalyxon"
  Delete "$INSTDIR\kalyxon.exe"
  Delete "$INSTDIR\ALPHA.db"
  Delete "$INSTDIR\*.ico"
  Delete "$INSTDIR\LICENSE*.txt"
  Delete "$INSTDIR\LEXICA-*.txt"
  Delete "$INSTDIR\*.md"
  RMDir /r "$INSTDIR\help"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTKEY}"
  DeleteRegKey HKCU "Software\Kalyxon"
SectionEnd
