; The installer of the Windows program: mehrfachausgabe.exe into Program
; Files, a start-menu entry, an uninstaller and its entry in the system's list
; of programs. Built by the Windows build (gui/win32/CMakeLists.txt):
;   makensis -DVERSION=0.1.0 -DPROGRAM=...\mehrfachausgabe.exe -DOUTFILE=...\mehrfachausgabe-setup.exe mehrfachausgabe.nsi
; Silent: mehrfachausgabe-setup.exe /S [/D=C:\Ziel], uninstall.exe /S.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "x64.nsh"

!define NAME "Mehrfachausgabe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Mehrfachausgabe"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${NAME}"
InstallDirRegKey HKLM "Software\Werkbank\${NAME}" "InstallDir"
RequestExecutionLevel admin
BrandingText "${NAME} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1031 "ProductName" "${NAME}"
VIAddVersionKey /LANG=1031 "FileDescription" "${NAME} – Installation"
VIAddVersionKey /LANG=1031 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "CompanyName" "Werkbank"
VIAddVersionKey /LANG=1031 "LegalCopyright" "Werkbank"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Programm"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "/oname=mehrfachausgabe.exe" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\${NAME}"
  CreateShortcut "$SMPROGRAMS\${NAME}\${NAME}.lnk" "$INSTDIR\mehrfachausgabe.exe" "" "$INSTDIR\mehrfachausgabe.exe" 0
  WriteRegStr HKLM "Software\Werkbank\${NAME}" "InstallDir" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Werkbank"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\mehrfachausgabe.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The program's own files only: the entries and settings files belong to the
; user and the suite and stay where they are.
Section "Uninstall"
  SetShellVarContext all
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\Werkbank\${NAME}"
  DeleteRegKey /ifempty HKLM "Software\Werkbank"
  Delete "$SMPROGRAMS\${NAME}\${NAME}.lnk"
  RMDir "$SMPROGRAMS\${NAME}"
  Delete "$INSTDIR\mehrfachausgabe.exe"
  Delete "$INSTDIR\uninstall.exe"
  ; Last: the folder going away tells that the uninstaller is done.
  RMDir "$INSTDIR"
SectionEnd
