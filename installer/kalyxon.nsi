; Kalyxon for Windows: a per-user installer (no administrator rights) built by
; scripts/build-windows.sh package with
;   makensis -DVERSION=x.y.z -DSOURCE=<folder> -DOUTFILE=<setup.exe> kalyxon.nsi
; SOURCE is the self-contained program folder the script assembles.
Unicode true
; 64-bit stub: the default 32-bit one does nothing on a 64-bit-only system.
Target amd64-unicode
!ifdef RAPIDO
  SetCompressor zlib
!else
  SetCompressor /SOLID lzma
!endif
RequestExecutionLevel user

!ifndef VERSION
  !error "VERSION is not defined"
!endif
!ifndef SOURCE
  !error "SOURCE is not defined"
!endif
!ifndef OUTFILE
  !define OUTFILE "Kalyxon-${VERSION}-setup.exe"
!endif

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kalyxon"

Name "Kalyxon ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kalyxon"
InstallDirRegKey HKCU "Software\Kalyxon" "InstallDir"
ShowInstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Kalyxon"
  SetOutPath "$INSTDIR"
  File /r "${SOURCE}\*.*"
  WriteUninstaller "$INSTDIR\Desinstalar.exe"
  WriteRegStr HKCU "Software\Kalyxon" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Kalyxon ${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Desinstalar.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Desinstalar.exe" /S'
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\kalyxon.exe"
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  CreateDirectory "$SMPROGRAMS\Kalyxon"
  ; Until the program has its own windows on Windows the entry starts the
  ; keyboard engine, with Greek typing on, in a console window.
  CreateShortcut "$SMPROGRAMS\Kalyxon\Kalyxon.lnk" "$INSTDIR\kalyxon.exe" "win32-agent --griego" "$INSTDIR\kalyxon.exe"
  CreateShortcut "$SMPROGRAMS\Kalyxon\Ayuda de Kalyxon.lnk" "$INSTDIR\help\index.html"
  CreateShortcut "$SMPROGRAMS\Kalyxon\Desinstalar Kalyxon.lnk" "$INSTDIR\Desinstalar.exe"
SectionEnd

; The program's own files go; what the user made or changed there (the
; settings file kalyxon.ini, the dictionaries LEXICA*.db, which he loads words
; into, and the error report) stays, and so does the folder while it holds them.
Section "Uninstall"
  Delete "$INSTDIR\kalyxon.exe"
  Delete "$INSTDIR\ALPHA.db"
  Delete "$INSTDIR\*.ico"
  Delete "$INSTDIR\kalyxon.png"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\LICENSE-CC-BY-SA-4.0.txt"
  Delete "$INSTDIR\LEXICA-README.md"
  Delete "$INSTDIR\SQLite-README.md"
  RMDir /r "$INSTDIR\help"
  Delete "$INSTDIR\Desinstalar.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Kalyxon\Kalyxon.lnk"
  Delete "$SMPROGRAMS\Kalyxon\Ayuda de Kalyxon.lnk"
  Delete "$SMPROGRAMS\Kalyxon\Desinstalar Kalyxon.lnk"
  RMDir "$SMPROGRAMS\Kalyxon"
  DeleteRegKey HKCU "${UNINST_KEY}"
  DeleteRegKey HKCU "Software\Kalyxon"
SectionEnd
