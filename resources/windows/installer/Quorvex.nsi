; The Windows installer of Quorvex, made by makensis (cmake/WindowsInstaller.cmake).
; It installs for the current user, without administrator rights, under the
; user's local programs folder; for all users under Program Files when it runs
; elevated. /CurrentUser and /AllUsers choose either way; /S runs it silently.
; An installation that is already there is replaced in place.
;
; Defines: VERSION (four numbers), OUTFILE, QUORVEX_EXE and CLI_EXE (the
; programs), ICON, PUBLISHER, and SIGN (a command that signs the file named
; by %1; empty: nothing is signed).

; A 64-bit installer for the 64-bit programs.
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include FileFunc.nsh
!include LogicLib.nsh

!define PRODUCT "Quorvex"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvex"
!define SHORTCUT "$SMPROGRAMS\Quorvex.lnk"
; The mutex a running Quorvex holds (its single-instance guard, named after
; the application title), and how long the installer waits for it to go.
!define INSTANCE_MUTEX "Quorvex"
!define SYNCHRONIZE 0x00100000
!define WAIT_STEP_MS 100
!define WAIT_STEPS 100

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
ShowInstDetails show
ShowUninstDetails show

!if "${SIGN}" != ""
  !finalize '${SIGN}'
  !uninstfinalize '${SIGN}'
!endif

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

Var AllUsers

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; All users when asked with /AllUsers, the current user with /CurrentUser;
; else as the installation already there was made; else all users only when
; elevated. The registry, the Start menu and the default folder follow.
Function .onInit
  SetRegView 64
  ${GetParameters} $0
  UserInfo::GetAccountType
  Pop $1
  StrCpy $AllUsers 0
  ReadRegStr $2 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $3 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $2 == ""
  ${AndIf} $3 != ""
    StrCpy $AllUsers 1
  ${ElseIf} $2 == ""
  ${AndIf} $1 == "Admin"
    StrCpy $AllUsers 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/CurrentUser" $2
  ${IfNot} ${Errors}
    StrCpy $AllUsers 0
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/AllUsers" $2
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
  ${EndIf}
  ${If} $AllUsers == 1
  ${AndIf} $1 != "Admin"
    MessageBox MB_ICONSTOP "Installing for all users needs an administrator prompt." /SD IDOK
    SetErrorLevel 740
    Abort
  ${EndIf}

  ${If} $AllUsers == 1
    SetShellVarContext all
    StrCpy $3 "$PROGRAMFILES64\${PRODUCT}"
  ${Else}
    SetShellVarContext current
    StrCpy $3 "$LOCALAPPDATA\Programs\${PRODUCT}"
  ${EndIf}
  ; /D= names the folder; else where the installation already is; else the default.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $INSTDIR == ""
    StrCpy $INSTDIR $3
  ${EndIf}
FunctionEnd

; Sets $0 to 1 when the file exists and cannot be opened for writing: a
; program whose process has not yet ended keeps its executable so.
!macro FileInUse FILE
  ${If} ${FileExists} "${FILE}"
    ClearErrors
    FileOpen $2 "${FILE}" a
    ${If} ${Errors}
      StrCpy $0 1
    ${Else}
      FileClose $2
    ${EndIf}
  ${EndIf}
!macroend

; The installer's and the uninstaller's functions that wait for a running
; Quorvex (NSIS names the uninstaller's with "un.").
!macro QuorvexWaitFunctions PREFIX
; $0: 1 while Quorvex holds its single-instance mutex or an installed program
; is still in use (a quitting Quorvex lets go of its mutex before its process
; has ended), else 0.
Function ${PREFIX}QuorvexInUse
  System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${INSTANCE_MUTEX}") p .r0'
  ${If} $0 != 0
    System::Call 'kernel32::CloseHandle(p r0)'
    StrCpy $0 1
    Return
  ${EndIf}
  !insertmacro FileInUse "$INSTDIR\quorvex.exe"
  !insertmacro FileInUse "$INSTDIR\quorvex-cli.exe"
FunctionEnd

; Windows can neither replace nor delete the executable of a running program.
; An update starts the installer as the old Quorvex quits: wait for it to
; end, at most ten seconds, then ask to close it (silently: give up, exit
; status 2), before any file is touched.
Function ${PREFIX}WaitForQuorvexToEnd
  retry:
  StrCpy $1 0
  ${Do}
    Call ${PREFIX}QuorvexInUse
    ${If} $0 == 0
      Return
    ${EndIf}
    ${If} $1 >= ${WAIT_STEPS}
      ${Break}
    ${EndIf}
    Sleep ${WAIT_STEP_MS}
    IntOp $1 $1 + 1
  ${Loop}
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Quorvex is running. Close it, then choose Retry." /SD IDCANCEL IDRETRY retry
  SetErrorLevel 2
  Quit
FunctionEnd
!macroend
!insertmacro QuorvexWaitFunctions ""
!insertmacro QuorvexWaitFunctions "un."

Section "Quorvex"
  Call WaitForQuorvexToEnd
  SetOutPath "$INSTDIR"
  File "/oname=quorvex.exe" "${QUORVEX_EXE}"
  File "/oname=quorvex-cli.exe" "${CLI_EXE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The shortcut starts Quorvex in the user's own data folder, where the
  ; messenger's backup is written. For all users each user's own folder is
  ; named by the variable, which the shell expands when the shortcut starts.
  ; The installing user's data folder is made now either way: a shortcut whose
  ; working folder is missing starts in whatever folder the shell is in.
  SetShellVarContext current
  CreateDirectory "$LOCALAPPDATA\${PRODUCT}"
  ${If} $AllUsers == 1
    SetShellVarContext all
    StrCpy $0 "%LOCALAPPDATA%\${PRODUCT}"
  ${Else}
    StrCpy $0 "$LOCALAPPDATA\${PRODUCT}"
  ${EndIf}
  Push $OUTDIR
  StrCpy $OUTDIR $0
  CreateShortcut "${SHORTCUT}" "$INSTDIR\quorvex.exe" "" "$INSTDIR\quorvex.exe" 0
  Pop $OUTDIR

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quorvex.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  IntFmt $1 "0x%08X" $1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

; The uninstaller belongs to the installation whose key names its folder.
Function un.onInit
  SetRegView 64
  SetShellVarContext all
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != $INSTDIR
    SetShellVarContext current
  ${EndIf}
FunctionEnd

; Removes what the installer put in place and nothing else: the user's data
; folder, with the messenger's backups, stays. A running Quorvex would keep
; its program in place while the rest went.
Section "Uninstall"
  Call un.WaitForQuorvexToEnd
  Delete "${SHORTCUT}"
  Delete "$INSTDIR\quorvex.exe"
  Delete "$INSTDIR\quorvex-cli.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
