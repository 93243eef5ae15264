; Brenvik's per-user installer: no administrator rights, everything in the
; user's profile and under HKEY_CURRENT_USER. Built by the i686 build:
;   makensis -DVERSION=1.0.0 -DEXE=/path/Brenvik.exe -DOUTFILE=/path/Brenvik-1.0.0-setup.exe Brenvik.nsi
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Brenvik"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Morvane"
!define MAIN_FORM "FormMain4D643DD6BD8E447C9291EEDF0A10BE65"
!define MAIN_WINDOW_CLASS "T${MAIN_FORM}"
!define SYNCHRONIZE 0x00100000

Name "Brenvik"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Brenvik"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

!define MUI_ICON "../src/app/resources/Brenvik.ico"
!define MUI_UNICON "../src/app/resources/Brenvik.ico"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Brenvik.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Polish"
!include /CHARSET=CP1250 "Texts.nsh"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_POLISH} "ProductName" "Brenvik"
VIAddVersionKey /LANG=${LANG_POLISH} "CompanyName" "Morvane"
VIAddVersionKey /LANG=${LANG_POLISH} "FileDescription" "Brenvik ${VERSION} setup"
VIAddVersionKey /LANG=${LANG_POLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_POLISH} "LegalCopyright" "Copyright (C) 2026 Morvane"

; Brenvik.exe cannot be replaced or removed while it runs. Each running copy
; is closed the way its tray menu closes it, which also saves its settings;
; one that does not end leaves the choice to the user (cancel when silent).
!macro CLOSE_RUNNING_BRENVIK un
Function ${un}CloseRunningBrenvik
  ${Do}
    FindWindow $0 "${MAIN_WINDOW_CLASS}"
    ${IfThen} $0 = 0 ${|} ${ExitDo} ${|}
    System::Call "user32::GetWindowThreadProcessId(p r0, *i .r1)"
    System::Call "kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r1) p .r2"
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    System::Call "kernel32::WaitForSingleObject(p r2, i 10000) i .r3"
    System::Call "kernel32::CloseHandle(p r2)"
    ${If} $3 <> 0
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY retry
      Abort
      retry:
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_BRENVIK ""
!insertmacro CLOSE_RUNNING_BRENVIK "un."

Section "!$(SectionProgram)" SecProgram
  SectionIn RO
  Call CloseRunningBrenvik
  SetOutPath "$INSTDIR"
  File "/oname=Brenvik.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Brenvik.lnk" "$INSTDIR\Brenvik.exe"
  ; An update without the start-up option must not keep the old one.
  DeleteRegValue HKCU "${RUN_KEY}" "Brenvik"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Brenvik"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Morvane"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Brenvik.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "$(SectionAutostart)" SecAutostart
  WriteRegStr HKCU "${RUN_KEY}" "Brenvik" '"$INSTDIR\Brenvik.exe" /tray'
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} $(SectionProgramInfo)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecAutostart} $(SectionAutostartInfo)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; The import journals under %LOCALAPPDATA%\Brenvik stay: they are the record
; of what was scanned. The settings stay unless the user asks otherwise.
Section "Uninstall"
  Call un.CloseRunningBrenvik
  Delete "$INSTDIR\Brenvik.exe"
  Delete "$INSTDIR\Brenvik.clog"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Brenvik.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "Brenvik"
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(RemoveSettings)" /SD IDNO IDNO keep
    DeleteRegKey HKCU "${SETTINGS_KEY}\${MAIN_FORM}"
    DeleteRegKey /ifempty HKCU "${SETTINGS_KEY}"
    DeleteRegValue HKCU "Software\SaveForms" "${MAIN_WINDOW_CLASS}.${MAIN_FORM}"
    DeleteRegKey /ifempty HKCU "Software\SaveForms"
  keep:
  ; Last, so that Programs and Features lists Brenvik until it is gone.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
