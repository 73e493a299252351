; The Windows installer of Kestrum. scripts/windows-installer.sh runs:
;   makensis -DVERSION=1.0.0.1 -DSTAGE=<the zip's folder> -DICON=<res/icons/kestrum.ico> -DOUTFILE=<setup.exe> kestrum.nsi
; Installed for all users into Program Files; "setup.exe /S" installs silently.
Unicode true
Target amd64-unicode
!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrum"
; A verb on every .bsp file, whichever program opens it by default: it adds Kestrum
; without taking the double click from a game or an editor.
!define OPEN_WITH_KEY "Software\Classes\SystemFileAssociations\.bsp\shell\Kestrum"

Name "Kestrum ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Kestrum"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}"
VIAddVersionKey "ProductName" "Kestrum"
VIAddVersionKey "FileDescription" "Kestrum setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 Kestrum developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetShellVarContext all
FunctionEnd

Section "Kestrum (required)"
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}\Kestrum.exe"
  File "${STAGE}\kestrum-cli.exe"
  File "${STAGE}\README.txt"
  File "${STAGE}\windows-licences.txt"
  File /r "${STAGE}\licences"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Kestrum.lnk" "$INSTDIR\Kestrum.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Kestrum"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Kestrum developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Kestrum.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Open with Kestrum for .bsp maps"
  WriteRegStr HKLM "${OPEN_WITH_KEY}" "" "Open with Kestrum"
  WriteRegStr HKLM "${OPEN_WITH_KEY}" "Icon" "$INSTDIR\Kestrum.exe,0"
  WriteRegStr HKLM "${OPEN_WITH_KEY}\command" "" '"$INSTDIR\Kestrum.exe" "%1"'
  ; Tells Explorer that file associations changed (SHCNE_ASSOCCHANGED).
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\Kestrum.lnk"
  DeleteRegKey HKLM "${OPEN_WITH_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Kestrum.exe"
  Delete "$INSTDIR\kestrum-cli.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\windows-licences.txt"
  RMDir /r "$INSTDIR\licences"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
