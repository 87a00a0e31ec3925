; Linewick's Windows installer: a per-user install into the user's local
; programs folder, without administrator rights.
;
; makensis -DVERSION=X.Y.Z -DSTAGE=DIR -DICON=FILE -DOUTFILE=FILE [-DSIGN=CMD]
;   STAGE holds linewick.exe; SIGN, when given, is run on the uninstaller
;   ("CMD FILE") before it is packed, so it is signed like the rest.
;
; The updater starts it with /SILENT /SUPPRESSMSGBOXES /NORESTART /UPDATE=1:
; no pages and no message boxes, wait for the running program to end, then
; start the new version. Nothing here ever needs a restart, so /NORESTART
; only has to be accepted. NSIS's own /S works as well.

!ifndef VERSION | STAGE | ICON | OUTFILE
  !error "VERSION, STAGE, ICON and OUTFILE must be defined"
!endif

; The program is 64-bit only, and so is the installer: Windows on x64
; (and Wine without 32-bit support) runs it directly.
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!define APP_NAME "Linewick"
!define PUBLISHER "Quorvane Co., Ltd."
!define WINDOW_CLASS "Linewick.Main"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Linewick"

Name "${APP_NAME}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Linewick"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${APP_NAME} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${APP_NAME}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${APP_NAME} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

!ifdef SIGN
  !uninstfinalize '${SIGN} "%1"'
!endif

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\linewick.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Korean"

LangString StillRunning ${LANG_ENGLISH} "Linewick is still running. Close it, then choose Retry."
LangString StillRunning ${LANG_KOREAN} "Linewick이 아직 실행 중입니다. 종료한 뒤 다시 시도를 누르세요."

Var Update      ; 1: started by the updater
Var NoBoxes     ; 1: never show a message box

; Reads the updater's switches from the command line.
!macro ReadSwitches
  ${GetParameters} $R0
  StrCpy $Update 0
  StrCpy $NoBoxes 0
  ClearErrors
  ${GetOptions} $R0 "/SILENT" $R1
  ${IfNot} ${Errors}
    SetSilent silent
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/VERYSILENT" $R1
  ${IfNot} ${Errors}
    SetSilent silent
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/SUPPRESSMSGBOXES" $R1
  ${IfNot} ${Errors}
    StrCpy $NoBoxes 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/UPDATE=" $R1
  ${IfNot} ${Errors}
  ${AndIf} $R1 == "1"
    StrCpy $Update 1
  ${EndIf}
  ${If} ${Silent}
    StrCpy $NoBoxes 1
  ${EndIf}
!macroend

; Waits until no Linewick window is left and linewick.exe can be written.
; A program that is closing (the updater ends it right after starting us)
; gets up to a minute; after that the user is asked, or, without message
; boxes, the setup gives up with exit code 2 and leaves the files alone.
!macro WaitForProgram un
  Function ${un}WaitForProgram
    StrCpy $R2 0
    ${Do}
      FindWindow $R3 "${WINDOW_CLASS}"
      ${If} $R3 == 0
        ${IfNot} ${FileExists} "$INSTDIR\linewick.exe"
          ${Break}
        ${EndIf}
        ClearErrors
        FileOpen $R4 "$INSTDIR\linewick.exe" a
        ${IfNot} ${Errors}
          FileClose $R4
          ${Break}
        ${EndIf}
      ${EndIf}
      IntOp $R2 $R2 + 1
      ${If} $R2 > 240
        ${If} $NoBoxes == 1
          SetErrorLevel 2
          Quit
        ${EndIf}
        ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY`
          SetErrorLevel 2
          Quit
        ${EndIf}
        StrCpy $R2 0
      ${EndIf}
      Sleep 250
    ${Loop}
  FunctionEnd
!macroend
!insertmacro WaitForProgram ""
!insertmacro WaitForProgram "un."

Function .onInit
  SetShellVarContext current
  !insertmacro ReadSwitches
FunctionEnd

Section "Linewick" SecProgram
  SectionIn RO
  Call WaitForProgram
  SetOutPath "$INSTDIR"
  File "${STAGE}\linewick.exe"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Linewick.lnk" "$INSTDIR\linewick.exe" "" "$INSTDIR\linewick.exe" 0

  ; The entry in the user's installed apps.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${APP_NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\linewick.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "https://hollent.com/"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $R0 $R1 $R2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$R0"

  ${If} $Update == 1
    Exec '"$INSTDIR\linewick.exe"'
  ${EndIf}
SectionEnd

Function un.onInit
  SetShellVarContext current
  !insertmacro ReadSwitches
FunctionEnd

Section "Uninstall"
  Call un.WaitForProgram
  ; The program forgets its stored settings itself.
  ${If} ${FileExists} "$INSTDIR\linewick.exe"
    ExecWait '"$INSTDIR\linewick.exe" --unregister'
  ${EndIf}
  Delete "$INSTDIR\linewick.exe"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Linewick.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
