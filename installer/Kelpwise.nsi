; Setup program of Tarnwell Kelpwise, one per build. The build passes:
;   KW_BITS     32 or 64: which program the setup carries and the stub it uses
;   KW_STAGE    a pristine copy of the build's program folder (no backups)
;   KW_FILES    the list of its files, "!insertmacro KW_PROGRAM_FILE dir path"
;               lines (cmake/InstallerFiles.cmake)
;   KW_ICON     the program's icon
;   KW_OUTFILE  the setup program to write
; It installs every file of the folder and an empty backup folder, adds the
; Start-menu entries and the entry in the list of installed programs, and lets
; the Users group modify the folder, as Kelpwise and its starter write their
; settings there. The uninstaller keeps the backups unless asked otherwise.

Unicode true
!if ${KW_BITS} == 64
  Target amd64-unicode
  !define KW_DISPLAY_NAME "Tarnwell Kelpwise (64-bit)"
  !define KW_PROGRAM_FILES "$PROGRAMFILES64"
!else
  Target x86-unicode
  !define KW_DISPLAY_NAME "Tarnwell Kelpwise"
  !define KW_PROGRAM_FILES "$PROGRAMFILES"
!endif

!define KW_PRODUCT "Tarnwell Kelpwise"
!define KW_PUBLISHER "Tarnwell"
!define KW_VERSION "1.0.0.0"
!define KW_UNINSTALLER "Uninstall.exe"
!define KW_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TarnwellKelpwise"
!define KW_RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define KW_MENU_FOLDER "$SMPROGRAMS\${KW_DISPLAY_NAME}"
; The Users group by its well-known SID, which holds in every language.
!define KW_USERS_SID "*S-1-5-32-545"

!include "MUI2.nsh"
!include "x64.nsh"

Name "${KW_DISPLAY_NAME}"
OutFile "${KW_OUTFILE}"
InstallDir "${KW_PROGRAM_FILES}\${KW_PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
BrandingText "${KW_PRODUCT} ${KW_VERSION}"

VIProductVersion "${KW_VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${KW_PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${KW_PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${KW_PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${KW_DISPLAY_NAME} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${KW_VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${KW_VERSION}"

!define MUI_ICON "${KW_ICON}"
!define MUI_UNICON "${KW_ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; The registry view of the program's own build.
!macro KW_USE_VIEW
  !if ${KW_BITS} == 64
    SetRegView 64
  !endif
!macroend

Function .onInit
  !if ${KW_BITS} == 64
    ${IfNot} ${RunningX64}
      MessageBox MB_OK|MB_ICONSTOP "${KW_DISPLAY_NAME} needs a 64-bit Windows; install the 32-bit setup instead." /SD IDOK
      Abort
    ${EndIf}
  !endif
  !insertmacro KW_USE_VIEW
FunctionEnd

Function un.onInit
  !insertmacro KW_USE_VIEW
FunctionEnd

; One file of the program folder: its folder below the program folder ("" for
; the folder itself) and its path there. The settings and the ignore list of an
; earlier installation stay as the user left them.
!macro KW_PROGRAM_FILE DIR PATH
  SetOutPath "$INSTDIR\${DIR}"
  !if "${PATH}" == "config.ini"
    SetOverwrite off
  !else if "${PATH}" == "blacklist.ini"
    SetOverwrite off
  !endif
  File "${KW_STAGE}/${PATH}"
  SetOverwrite on
!macroend

Section "${KW_PRODUCT}" SecProgram
  SectionIn RO
  !include "${KW_FILES}"
  CreateDirectory "$INSTDIR\backup"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${KW_UNINSTALLER}"

  ; Kelpwise.exe runs with administrator rights, but KpwStarter.exe runs as the
  ; user who logs on and rewrites config.ini (a temporary file beside it, then
  ; renamed): the Users group may modify the folder and what it holds.
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$INSTDIR" /grant ${KW_USERS_SID}:(OI)(CI)M'
  Pop $0
  ${If} $0 != 0
    DetailPrint "icacls could not give the Users group write access to $INSTDIR ($0)."
  ${EndIf}

  SetShellVarContext all
  CreateDirectory "${KW_MENU_FOLDER}"
  CreateShortcut "${KW_MENU_FOLDER}\${KW_PRODUCT}.lnk" "$INSTDIR\Kelpwise.exe"
  !if /FileExists "${KW_STAGE}/help.chm"
    CreateShortcut "${KW_MENU_FOLDER}\${KW_PRODUCT} Help.lnk" "$INSTDIR\help.chm"
  !endif

  WriteRegStr HKLM "${KW_UNINSTALL_KEY}" "DisplayName" "${KW_DISPLAY_NAME}"
  WriteRegStr HKLM "${KW_UNINSTALL_KEY}" "DisplayVersion" "${KW_VERSION}"
  WriteRegStr HKLM "${KW_UNINSTALL_KEY}" "Publisher" "${KW_PUBLISHER}"
  WriteRegStr HKLM "${KW_UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Kelpwise.exe,0"
  WriteRegStr HKLM "${KW_UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${KW_UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${KW_UNINSTALLER}"'
  WriteRegStr HKLM "${KW_UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${KW_UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${KW_UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${KW_UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Unchecked by default, and never chosen in silent mode: the backups are the
; only way back to the entries Kelpwise deleted.
Section /o "un.Backup files (backup folder)" SecBackups
  RMDir /r "$INSTDIR\backup"
SectionEnd

; The uninstaller goes through the same list, removing each file.
!macroundef KW_PROGRAM_FILE
!macro KW_PROGRAM_FILE DIR PATH
  Delete "$INSTDIR\${PATH}"
  RMDir "$INSTDIR\${DIR}"
!macroend

Section "un.${KW_PRODUCT}" SecUnProgram
  SectionIn RO
  !include "${KW_FILES}"
  ; What the programs write beside the shipped files.
  Delete "$INSTDIR\config.ini.tmp"
  Delete "$INSTDIR\blacklist.ini.tmp"

  DeleteRegValue HKCU "${KW_RUN_KEY}" "Kelpwise"
  SetShellVarContext all
  Delete "${KW_MENU_FOLDER}\${KW_PRODUCT}.lnk"
  Delete "${KW_MENU_FOLDER}\${KW_PRODUCT} Help.lnk"
  RMDir "${KW_MENU_FOLDER}"
  DeleteRegKey HKLM "${KW_UNINSTALL_KEY}"

  Delete "$INSTDIR\${KW_UNINSTALLER}"
  RMDir "$INSTDIR\backup"
  RMDir "$INSTDIR"
SectionEnd
