; Setup program of Tarnwell Kelpwise, one per build. The build passes:
;   KW_BITS     32 or 64: which program the setup carries and the stub it uses
;   KW_STAGE    a pristine copy of the build's program folder (no backups)
;   KW_FILES    the list of its files, "!insertmacro KW_PROGRAM_FILE dir path"
;               lines (cmake/InstallerFiles.cmake)
;   KW_ICON     the program's icon
;   KW_OUTFILE  the setup program to write
;   KW_VERSION  MAJOR.MINOR.PATCH, from the file VERSION
; It installs every file of the folder and an empty backup folder, adds the
; Start-menu entries and the entry in the list of installed programs. Only
; administrators and SYSTEM may change the folder: Kelpwise.exe runs elevated,
; and the starter only reads config.ini. Below Program Files the folder keeps
; the rights it inherits; elsewhere the setup program sets the same rights
; itself. The uninstaller keeps the backups unless asked otherwise
; ("Backup files", or /BACKUPS in silent mode).
; Both end with exit code 0 only when everything was done: deployment tools
; run them silently, wait for the process and read nothing else. The
; registered uninstall commands run the uninstaller in place (_?=), so that
; its process ends only when the folder is gone.

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
!ifndef KW_VERSION
  !error "KW_VERSION (MAJOR.MINOR.PATCH) not given"
!endif
!define KW_UNINSTALLER "Uninstall.exe"
!define KW_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TarnwellKelpwise"
!define KW_RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define KW_MENU_FOLDER "$SMPROGRAMS\${KW_DISPLAY_NAME}"

!include "MUI2.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"

Name "${KW_DISPLAY_NAME}"
OutFile "${KW_OUTFILE}"
InstallDir "${KW_PROGRAM_FILES}\${KW_PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
BrandingText "${KW_PRODUCT} ${KW_VERSION}"

VIProductVersion "${KW_VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${KW_PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${KW_PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${KW_PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${KW_DISPLAY_NAME} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${KW_VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${KW_VERSION}"

Var KwFailed  ; 1: something could not be written or removed
Var KwLeft    ; what the uninstaller could not remove, one line each

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

; $0 = 1 when PATH exists and is a reparse point (a junction or a symbolic
; link, FILE_ATTRIBUTE_REPARSE_POINT): it leads somewhere else, whatever is
; there belongs to someone else.
!macro KW_IS_LINK PATH
  System::Call 'kernel32::GetFileAttributesW(w "${PATH}") i .r0'
  ${If} $0 = -1
    StrCpy $0 0
  ${Else}
    IntOp $0 $0 & 0x400
    ${If} $0 <> 0
      StrCpy $0 1
    ${EndIf}
  ${EndIf}
!macroend

; Stops the setup before it copies anything, with a box (silent: none) and a
; non-zero exit code.
!macro KW_REFUSE TEXT
  MessageBox MB_OK|MB_ICONSTOP "${TEXT}" /SD IDOK
  SetErrorLevel 2
  Abort
!macroend

; Runs icacls.exe of the system with ARGS; stops the setup when it cannot run
; or reports a failure (with /C it goes on past a file and still fails): a
; folder only half made safe must not receive programs that run elevated.
; Under Wine icacls.exe is a stub that changes nothing and exits with 0 (Wine
; enforces no ACLs anyway); nothing here asks which system this is.
!macro KW_ICACLS ARGS
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" ${ARGS}'
  Pop $0
  ${If} $0 != 0
    !insertmacro KW_REFUSE "Setup could not set the access rights of $INSTDIR (icacls: $0). Nothing was installed."
  ${EndIf}
!macroend

; Who may change the program folder. icacls is Windows' own tool for this and
; handles what a hand-made security descriptor would not: the owner and the
; rights of every file below a folder that existed before (an earlier
; Kelpwise that let the Users group modify it, or a folder a user made and
; filled beforehand), with inheritance propagated to what lies below.
; - A folder that existed: Administrators (well-known SID, any language) take
;   ownership of everything below it, then every file and folder gets back
;   the rights it inherits, which drops any grant made earlier. /L works on
;   links themselves, not on what they lead to.
; - Outside Program Files (a user may create folders there and C:\ lets
;   users modify what they create): Administrators own the folder, which gets
;   a protected ACL, inherited by everything below: Administrators and SYSTEM
;   full control, Users read and execute.
; Refused before anything is changed: a folder that is a link, a backup
; folder that is a link, and a folder holding other things than a Kelpwise
; (the whole tree would change owner and rights, Program Files itself among
; the possible mistakes).
Function KwSecureFolder
  ; "." and ".." resolved, "/" made "\", so that the comparison below holds.
  System::Call 'kernel32::GetFullPathNameW(w "$INSTDIR", i ${NSIS_MAX_STRLEN}, w .r1, p 0) i .r0'
  ${If} $0 > 0
    StrCpy $INSTDIR $1
  ${EndIf}
  !insertmacro KW_IS_LINK "$INSTDIR"
  ${If} $0 = 1
    !insertmacro KW_REFUSE "$INSTDIR is a link to another folder. Choose another folder."
  ${EndIf}
  !insertmacro KW_IS_LINK "$INSTDIR\backup"
  ${If} $0 = 1
    !insertmacro KW_REFUSE "$INSTDIR\backup is a link to another folder. Remove it or choose another folder."
  ${EndIf}

  StrCpy $R0 0  ; 1: the folder existed
  ${If} ${FileExists} "$INSTDIR\*.*"
    StrCpy $R0 1
    ${IfNot} ${FileExists} "$INSTDIR\Kelpwise.exe"
    ${AndIfNot} ${FileExists} "$INSTDIR\backup\*.*"
      FindFirst $0 $1 "$INSTDIR\*.*"
      ${Do}  ; the first name other than "." and "..", "" when none
        ${If} $1 != "."
        ${AndIf} $1 != ".."
          ${ExitDo}
        ${EndIf}
        FindNext $0 $1
      ${Loop}
      FindClose $0
      ${If} $1 != ""
        !insertmacro KW_REFUSE "$INSTDIR already holds other files. Choose an empty folder or the folder of an earlier Kelpwise."
      ${EndIf}
    ${EndIf}
  ${EndIf}
  CreateDirectory "$INSTDIR"
  ${If} $R0 = 1
    !insertmacro KW_ICACLS '"$INSTDIR" /setowner *S-1-5-32-544 /T /C /L /Q'
    !insertmacro KW_ICACLS '"$INSTDIR" /reset /T /C /L /Q'
  ${EndIf}

  ; Below Program Files: the program folder path starts with it and a "\"
  ; (StrCmp ignores case), so that "C:\Program Files Evil" is outside.
  StrLen $1 "${KW_PROGRAM_FILES}"
  StrCpy $2 "$INSTDIR" $1
  StrCpy $3 "$INSTDIR" 1 $1
  ${If} $2 != "${KW_PROGRAM_FILES}"
  ${OrIf} $3 != "\"
    !insertmacro KW_ICACLS '"$INSTDIR" /setowner *S-1-5-32-544 /Q'
    !insertmacro KW_ICACLS '"$INSTDIR" /inheritance:r /grant:r *S-1-5-32-544:(OI)(CI)F *S-1-5-18:(OI)(CI)F *S-1-5-32-545:(OI)(CI)RX /Q'
  ${EndIf}
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
  Call KwSecureFolder
  ; From here every command that fails sets the error flag: a file that could
  ; not be written (Kelpwise running, say: in silent mode NSIS ignores it and
  ; goes on), a shortcut or a registry value.
  ClearErrors
  !include "${KW_FILES}"
  CreateDirectory "$INSTDIR\backup"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${KW_UNINSTALLER}"

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
  ; _?= last: the uninstaller runs in place, and its process is the one that
  ; removes the folder (without it, it starts a copy of itself and ends).
  WriteRegStr HKLM "${KW_UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${KW_UNINSTALLER}" _?=$INSTDIR'
  WriteRegStr HKLM "${KW_UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${KW_UNINSTALLER}" /S _?=$INSTDIR'
  WriteRegDWORD HKLM "${KW_UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${KW_UNINSTALL_KEY}" "NoRepair" 1
  ${If} ${Errors}
    StrCpy $KwFailed 1
  ${EndIf}
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  ClearErrors
  WriteRegDWORD HKLM "${KW_UNINSTALL_KEY}" "EstimatedSize" $0  ; KB
  ${If} ${Errors}
  ${OrIf} $KwFailed = 1
    MessageBox MB_OK|MB_ICONSTOP "Setup could not write every file of $INSTDIR or its registration. Close Kelpwise and run Setup again." /SD IDOK
    SetErrorLevel 2
  ${EndIf}
SectionEnd

; Adds PATH to what the uninstaller leaves when it is still there.
!macro KW_CHECK_GONE PATH
  ${If} ${FileExists} "${PATH}"
    StrCpy $KwLeft "$KwLeft$\r$\n${PATH}"
  ${EndIf}
!macroend

; Unchecked by default, and in silent mode chosen only by /BACKUPS: the
; backups are the only way back to the entries Kelpwise deleted. Only the
; files Kelpwise writes, directly in the folder, and nothing when the folder
; is a junction or a symbolic link: it would lead into someone else's files.
Section /o "un.Backup files (backup folder)" SecBackups
  !insertmacro KW_IS_LINK "$INSTDIR\backup"
  ${If} $0 = 0
    Delete "$INSTDIR\backup\backup - *.reg"
    Delete "$INSTDIR\backup\report - *.txt"
    !insertmacro KW_CHECK_GONE "$INSTDIR\backup\backup - *.reg"
    !insertmacro KW_CHECK_GONE "$INSTDIR\backup\report - *.txt"
  ${EndIf}
SectionEnd

; The uninstaller goes through the same list, removing each file.
!macroundef KW_PROGRAM_FILE
!macro KW_PROGRAM_FILE DIR PATH
  Delete "$INSTDIR\${PATH}"
  !insertmacro KW_CHECK_GONE "$INSTDIR\${PATH}"
  RMDir "$INSTDIR\${DIR}"
!macroend

; The uninstaller that runs from the folder (_?=) cannot delete its own file,
; but Windows lets a running program's file be renamed within its volume: it
; moves into the temporary folder, or where that is on another volume, beside
; the program folder, and goes at the next restart. NSIS itself keeps the file
; open for reading without sharing the right to rename it, so that handle is
; closed first: the uninstaller reads nothing more from its file by then (its
; data is unpacked, no page follows that needs it).
Function un.KwRemoveSelf
  StrCpy $R1 "$INSTDIR\${KW_UNINSTALLER}"
  Delete $R1
  ${IfNot} ${FileExists} $R1
    Return
  ${EndIf}
  ${If} $EXEPATH == $R1
    ; The handle of this process whose final path is that of $R1 (opened here
    ; only to read attributes, which every sharing mode allows).
    System::Call 'kernel32::CreateFileW(w R1, i 0x80, i 7, p 0, i 3, i 0, p 0) p .r5'
    System::Call 'kernel32::GetFinalPathNameByHandleW(p r5, w .r6, i ${NSIS_MAX_STRLEN}, i 0) i .r0'
    ${For} $R5 1 4096
      IntOp $R6 $R5 * 4
      ${If} $R6 <> $5
        System::Call 'kernel32::GetFileType(p R6) i .r0'
        ${If} $0 = 1  ; FILE_TYPE_DISK
          System::Call 'kernel32::GetFinalPathNameByHandleW(p R6, w .r7, i ${NSIS_MAX_STRLEN}, i 0) i .r0'
          ${If} $0 <> 0
          ${AndIf} $7 == $6
            System::Call 'kernel32::CloseHandle(p R6)'
          ${EndIf}
        ${EndIf}
      ${EndIf}
    ${Next}
    System::Call 'kernel32::CloseHandle(p r5)'
  ${EndIf}
  ${un.GetParent} "$INSTDIR" $R2
  ${ForEach} $R3 0 1 + 1
    ${If} $R3 = 0
      GetTempFileName $R4
    ${Else}
      GetTempFileName $R4 $R2
    ${EndIf}
    ; MOVEFILE_REPLACE_EXISTING (1), over the empty file just made; no copy
    ; across volumes, which could not delete the running original.
    System::Call 'kernel32::MoveFileExW(w R1, w R4, i 1) i .r0'
    ${If} $0 <> 0
      Delete /REBOOTOK $R4
      Return
    ${EndIf}
    Delete $R4
  ${Next}
FunctionEnd

Section "un.${KW_PRODUCT}" SecUnProgram
  SectionIn RO
  !include "${KW_FILES}"
  ; The temporary files the programs write beside config.ini and
  ; blacklist.ini ("<file>.tmp", "<file> (N).tmp").
  Delete "$INSTDIR\*.tmp"

  DeleteRegValue HKCU "${KW_RUN_KEY}" "Kelpwise"
  SetShellVarContext all
  Delete "${KW_MENU_FOLDER}\${KW_PRODUCT}.lnk"
  Delete "${KW_MENU_FOLDER}\${KW_PRODUCT} Help.lnk"
  RMDir "${KW_MENU_FOLDER}"
  !insertmacro KW_CHECK_GONE "$INSTDIR\*.tmp"
  !insertmacro KW_CHECK_GONE "${KW_MENU_FOLDER}\${KW_PRODUCT}.lnk"
  !insertmacro KW_CHECK_GONE "${KW_MENU_FOLDER}\${KW_PRODUCT} Help.lnk"
  DeleteRegKey HKLM "${KW_UNINSTALL_KEY}"
  ClearErrors
  ReadRegStr $0 HKLM "${KW_UNINSTALL_KEY}" "DisplayName"
  ${IfNot} ${Errors}
    StrCpy $KwLeft "$KwLeft$\r$\nHKEY_LOCAL_MACHINE\${KW_UNINSTALL_KEY}"
  ${EndIf}

  Call un.KwRemoveSelf
  !insertmacro KW_CHECK_GONE "$INSTDIR\${KW_UNINSTALLER}"
  ; What remains are the kept backups and files Kelpwise did not install.
  RMDir "$INSTDIR\backup"
  RMDir "$INSTDIR"
  ${If} $KwLeft != ""
    MessageBox MB_OK|MB_ICONSTOP "These could not be removed (is Kelpwise running?):$KwLeft" /SD IDOK
    SetErrorLevel 2
  ${EndIf}
SectionEnd

; After the sections, which it selects by their index.
Function un.onInit
  !insertmacro KW_USE_VIEW
  ${un.GetParameters} $0
  ClearErrors
  ${un.GetOptions} $0 "/BACKUPS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecBackups}
  ${EndIf}
FunctionEnd
