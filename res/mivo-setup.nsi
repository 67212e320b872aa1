; Installer of the Korvex Mivo configuration utility, built by the Windows build from its package
; folder. A per-user install: the utility keeps its profile (1.cfg) beside the program and must be
; able to write it there, which a folder under Program Files would refuse to a standard user.
; makensis -DPACKAGE=<package folder> -DOUTFILE=<setup.exe> -DVERSION=<x.y> -DICON=<icon.ico> mivo-setup.nsi
; A 64-bit installer for the 64-bit programs (and so it runs where only 64-bit Windows code runs).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KorvexMivo"

Name "Korvex Mivo ${VERSION}"
Caption "Korvex Mivo ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\Korvex Mivo"
InstallDirRegKey HKCU "Software\Korvex\Mivo" "InstallDir"
ShowInstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Korvex Mivo"
  SetOutPath "$INSTDIR"
  File /r "${PACKAGE}/*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Korvex Mivo.lnk" "$INSTDIR\mivo-config.exe"
  WriteRegStr HKCU "Software\Korvex\Mivo" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Korvex Mivo"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Korvex"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\mivo-config.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer wrote. The profile 1.cfg is the user's settings and stays, and with
; it the folder.
Section "Uninstall"
  Delete "$SMPROGRAMS\Korvex Mivo.lnk"
  Delete "$INSTDIR\mivo-config.exe"
  Delete "$INSTDIR\mivoctl.exe"
  Delete "$INSTDIR\*.lng"
  RMDir /r "$INSTDIR\UIPIC"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Korvex\Mivo"
  DeleteRegKey /ifempty HKCU "Software\Korvex"
SectionEnd
