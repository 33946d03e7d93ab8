; Lumetra setup: a per-machine installation into Program Files with a Start menu entry and an
; Add/Remove Programs entry, and an uninstaller that removes exactly what was installed.
;
; Built by the CMake target "installer" (installer/CMakeLists.txt), which defines:
;   VERSION    the build's version, e.g. 0.9.0
;   PUBLISHER  the publisher shown in Add/Remove Programs
;   COPYRIGHT  the copyright line of the setup's version information
;   STAGE      folder with Lumetra.exe and lumetra_simdev.dll as they are to be installed
;   SKIN       folder with skins.ini, the skin folder Default and the licence texts (res/skin)
;   ICON       the program's icon
;   SKIN_FILES generated macros InstallSkinFiles and UninstallSkinFiles: one line per skin file
;   OUTFILE    the setup program to write
;
; Command line (besides NSIS's own /S and /D=): /SIMULATED also installs the simulated capture
; devices; the uninstaller takes /REMOVESETTINGS, the same as ticking "Remove my settings".

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "Sections.nsh"
!include "${SKIN_FILES}"

!define PRODUCT "Lumetra"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumetra"
!define SETTINGS_KEY "SOFTWARE\Orvex"
!define SIMDEV_CONTROL_KEY "Software\LumetraSim"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "${COPYRIGHT}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Program Files, the machine's Start menu and Add/Remove Programs need an administrator. Windows asks
; for elevation itself (the manifest of setup and uninstaller); this covers accounts that run without it.
!macro RequireAdministrator
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is installed for all users of this computer: run this program as an administrator." /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}
!macroend

; ------------------------------------------------------------------------------------ install

Section "${PRODUCT} (program and default skin)" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}\Lumetra.exe"
  File "${SKIN}\skins.ini"
  !insertmacro InstallSkinFiles
  SetOutPath "$INSTDIR\Licences"
  File "${SKIN}\licences\Default-skin.txt"
  File "${SKIN}\licences\DejaVu-fonts.txt"

  ; The program reads its skin from its current folder: the shortcut starts it in the install folder.
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Lumetra.exe" "" "$INSTDIR\Lumetra.exe" 0 \
    SW_SHOWNORMAL "" "${PRODUCT} ${VERSION}: live video, recording and playback from USB capture devices"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
SectionEnd

Section /o "Simulated capture devices (demonstration without a camera)" SecSimulated
  SetOutPath "$INSTDIR"
  File "${STAGE}\lumetra_simdev.dll"
  ExecWait '"$SYSDIR\regsvr32.exe" /s "$INSTDIR\lumetra_simdev.dll"' $0
  ${If} $0 != 0
    DetailPrint "regsvr32 ended with $0"
    MessageBox MB_OK|MB_ICONEXCLAMATION \
      "The simulated capture devices could not be registered. ${PRODUCT} is installed without them." /SD IDOK
  ${EndIf}
SectionEnd

; Last: the Add/Remove Programs entry, with the size of everything installed before it.
Section "-Add/Remove Programs entry"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Lumetra.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K /G=1" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function .onInit
  SetRegView 64
  SetShellVarContext all
  !insertmacro RequireAdministrator
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/SIMULATED" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecSimulated}
  ${EndIf}
FunctionEnd

Function StartProgram
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\Lumetra.exe"'
FunctionEnd

; ---------------------------------------------------------------------------------- uninstall

Section "un.${PRODUCT} (program, default skin, Start menu entry)" UnSecProgram
  SectionIn RO
  ; A running program keeps its exe: ask to close it rather than leave half an installation.
  retry_exe:
  ClearErrors
  Delete "$INSTDIR\Lumetra.exe"
  ${If} ${Errors}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is still running. Close it, then click Retry." \
      /SD IDCANCEL IDRETRY retry_exe
    SetErrorLevel 2
    Quit
  ${EndIf}

  ; The simulated devices are unregistered while their DLL is still there.
  ${If} ${FileExists} "$INSTDIR\lumetra_simdev.dll"
    ExecWait '"$SYSDIR\regsvr32.exe" /s /u "$INSTDIR\lumetra_simdev.dll"'
    Delete "$INSTDIR\lumetra_simdev.dll"
    DeleteRegKey /ifempty HKLM "${SIMDEV_CONTROL_KEY}"
  ${EndIf}

  ; Only the files the setup wrote: whatever the user added to these folders stays, and so do the folders.
  Delete "$INSTDIR\skins.ini"
  !insertmacro UninstallSkinFiles
  Delete "$INSTDIR\Licences\Default-skin.txt"
  Delete "$INSTDIR\Licences\DejaVu-fonts.txt"
  RMDir "$INSTDIR\Licences"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd

Section /o "un.Remove my settings (recordings and snapshots are kept)" UnSecSettings
  DeleteRegKey HKLM "${SETTINGS_KEY}"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
SectionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
  !insertmacro RequireAdministrator
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVESETTINGS" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${UnSecSettings}
  ${EndIf}
FunctionEnd

; The entry goes last, so that it stays for another try when anything before failed.
Function un.onUninstSuccess
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
FunctionEnd
