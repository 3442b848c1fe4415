; The Windows setup program of Velmora PRO: the control panel, the updater, the firmware
; library, velmoractl and kwf into one folder, a Start menu entry for the control panel, and
; an uninstaller registered with Windows.
;   makensis -DBIN=<folder of the built files> -DOUT=<setup program> -DVERSION=x.y.z VelmoraPro.nsi
; 64-bit programs: the 64-bit stub, so the setup program itself runs on a 64-bit-only Windows.
Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma

!define PRODUCT "Velmora PRO"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VelmoraPro"

Name "${PRODUCT}"
OutFile "${OUT}"
InstallDir "$PROGRAMFILES64\Corvane\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
; The updater and the uninstall key need an administrator, as does writing Program Files.
RequestExecutionLevel admin

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Install"
  SetRegView 64
  SetOutPath "$INSTDIR"
  File "${BIN}/VelmoraControl.exe"
  File "${BIN}/VelmoraProUpdater.exe"
  File "${BIN}/dun_fwdl.dll"
  File "${BIN}/velmoractl.exe"
  File "${BIN}/kwf.exe"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\VelmoraControl PRO.lnk" "$INSTDIR\VelmoraControl.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Corvane"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\VelmoraControl.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The user's default mixes and settings stay: they are the user's, not the program's.
Section "Uninstall"
  SetRegView 64
  Delete "$INSTDIR\VelmoraControl.exe"
  Delete "$INSTDIR\VelmoraProUpdater.exe"
  Delete "$INSTDIR\dun_fwdl.dll"
  Delete "$INSTDIR\velmoractl.exe"
  Delete "$INSTDIR\kwf.exe"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}\VelmoraControl PRO.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
