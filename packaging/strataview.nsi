; Strataview installer. make-package.sh stages the files and passes:
;   VERSION  program version, for example 1.0.0
;   ARCH     win32 or win64
;   STAGE    folder holding Strataview.exe, the .hpi plug-ins, the manual and Strataview.url
;   OUTFILE  the installer to write
;   ICON     the program's icon, for the installer and the uninstaller
; No plug-in is enabled here: the program starts with every plug-in disabled.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh

!define PRODUCT "Strataview"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define SETTINGS_KEY "Software\tarvo\${PRODUCT}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
!if "${ARCH}" == "win64"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} (${ARCH}) setup"
VIAddVersionKey /LANG=0 "CompanyName" "tarvo"
VIAddVersionKey /LANG=0 "LegalCopyright" "tarvo"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Strataview.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\Strataview.html"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The installer speaks the system's language when it is one of these, else Japanese.
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"

Function .onInit
!if "${ARCH}" == "win64"
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "This package needs 64-bit Windows. Use the win32 package instead."
    Abort
  ${EndIf}
  SetRegView 64
!endif
FunctionEnd

Section "Strataview" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}\Strataview.exe"
  File /nonfatal "${STAGE}\*.hpi"
  File "${STAGE}\Strataview.hlp"
  File "${STAGE}\Strataview.html"
  File "${STAGE}\Strataview.url"
  WriteUninstaller "$INSTDIR\unins000.exe"

  ; The program group, as the program's own shortcut dialog makes it (all users).
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Strataview.lnk" "$INSTDIR\Strataview.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall Strataview.lnk" "$INSTDIR\unins000.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Strataview on the Web.lnk" "$INSTDIR\Strataview.url"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION} (${ARCH})"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "tarvo"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Strataview.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\unins000.exe"'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
!if "${ARCH}" == "win64"
  SetRegView 64
!endif
FunctionEnd

; Removes the shortcuts the installer or the program's shortcut dialog made in
; the current shell context.
!macro RemoveShortcuts
  Delete "$DESKTOP\Strataview.lnk"
  Delete "$STARTMENU\Strataview.lnk"
  Delete "$SMSTARTUP\Strataview.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Strataview.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall Strataview.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Strataview on the Web.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
!macroend

Section "Uninstall"
  SetShellVarContext all
  !insertmacro RemoveShortcuts
  SetShellVarContext current
  !insertmacro RemoveShortcuts

  Delete "$INSTDIR\Strataview.exe"
  Delete "$INSTDIR\Kavlore.hpi"
  Delete "$INSTDIR\Pendrix.hpi"
  Delete "$INSTDIR\Sorvane.hpi"
  Delete "$INSTDIR\Tamsele.hpi"
  Delete "$INSTDIR\Brindol.hpi"
  Delete "$INSTDIR\Luscane.hpi"
  Delete "$INSTDIR\Voltane.hpi"
  Delete "$INSTDIR\Strataview.hlp"
  Delete "$INSTDIR\Strataview.html"
  Delete "$INSTDIR\Strataview.url"
  Delete "$INSTDIR\unins000.exe"
  RMDir "$INSTDIR"

  ; The .hpi file type the program registers at start, only while it is still ours.
  ReadRegStr $0 HKCR ".hpi" ""
  ${If} $0 == "HPI_PlugIn"
    DeleteRegKey HKCR ".hpi"
  ${EndIf}
  DeleteRegKey HKCR "HPI_PlugIn"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\tarvo"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
