; Whom the setup installs for: the user who runs it, with no administrator rights, into
; %LOCALAPPDATA%\Programs\Tovrel (the default, /CurrentUser); or every user of the PC, with them,
; into %ProgramFiles%\Tovrel (/AllUsers). Without either option its first page asks. Only the
; latter asks for administrator rights: the setup then runs itself again elevated and waits. The
; uninstaller belongs to every user when the machine's Apps entry names its folder.

; 1 when the command line chose the scope, or /D= the folder.
Var scope_given
Var folder_given
; "Admin" when the setup runs with administrator rights.
Var account
Var all_users_button

Function .onInit
  ${If} $INSTDIR != ""
    StrCpy $folder_given 1
  ${EndIf}
  UserInfo::GetAccountType
  Pop $account
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AllUsers" $0
  ${IfNot} ${Errors}
    StrCpy $all_users 1
    StrCpy $scope_given 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/CurrentUser" $0
  ${IfNot} ${Errors}
    StrCpy $all_users ""
    StrCpy $scope_given 1
  ${EndIf}
  ; The page proposes the scope of the install there is.
  ReadRegStr $0 HKLM "${APPS_ENTRY}" "InstallLocation"
  ReadRegStr $1 HKCU "${APPS_ENTRY}" "InstallLocation"
  ${If} $scope_given != 1
  ${AndIfNot} ${Silent}
  ${AndIf} $0 != ""
  ${AndIf} $1 == ""
    StrCpy $all_users 1
  ${EndIf}
  Call ApplyScope

  ${If} $all_users == 1
  ${AndIf} $scope_given == 1
  ${AndIf} $account != "Admin"
    Call RunElevated
    MessageBox MB_ICONSTOP "관리자 권한이 없어 모든 사용자용으로 설치할 수 없습니다.$\r$\nInstalling for all users needs administrator rights." /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}
FunctionEnd

; The folder of the install there is in this scope, or the scope's own, unless /D= chose one; the
; hourly task as the last install there chose, unless /Hourly=0 or /Hourly=1 chooses.
Function ApplyScope
  ${If} $all_users == 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
  Call NameTask
  ReadRegStr $previous_folder SHCTX "${APPS_ENTRY}" "InstallLocation"
  ${If} $folder_given != 1
    StrCpy $INSTDIR $previous_folder
  ${EndIf}
  ${If} $INSTDIR == ""
  ${AndIf} $all_users == 1
    StrCpy $INSTDIR "$PROGRAMFILES64\Tovrel"
  ${ElseIf} $INSTDIR == ""
    StrCpy $INSTDIR "$LOCALAPPDATA\Programs\Tovrel"
  ${EndIf}

  ReadRegDWORD $0 SHCTX "${APPS_ENTRY}" "HourlyTask"
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/Hourly=" $2
  ${IfNot} ${Errors}
    StrCpy $0 $2
  ${EndIf}
  ${If} $0 == "0"
    !insertmacro UnselectSection ${hourly}
  ${Else}
    !insertmacro SelectSection ${hourly}
  ${EndIf}
FunctionEnd

Function ScopePage
  ${If} $scope_given == 1
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "설치 대상" "누가 Tovrel을 사용할지 고르세요."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateRadioButton} 0 0 100% 12u "나만 사용 (관리자 권한이 필요 없습니다)"
  Pop $1
  ${NSD_CreateRadioButton} 0 18u 100% 12u "이 PC의 모든 사용자 (관리자 권한이 필요합니다)"
  Pop $all_users_button
  ${NSD_CreateLabel} 12u 34u -12u 40u "모든 사용자용으로 설치하면 사용자마다 자신의 설정을 %LOCALAPPDATA%\Tovrel\SETUP.INI에 두고, 매시 작업은 로그인한 사용자를 위해 알람을 실행합니다."
  Pop $0
  ${If} $all_users == 1
    StrCpy $1 $all_users_button
  ${EndIf}
  ${NSD_Check} $1
  ${NSD_SetFocus} $1
  nsDialogs::Show
FunctionEnd

Function ScopePageLeave
  ${NSD_GetState} $all_users_button $0
  ${If} $0 == ${BST_CHECKED}
    ${If} $account != "Admin"
      Call RunElevated
      MessageBox MB_ICONEXCLAMATION "관리자 권한이 없어 모든 사용자용으로 설치할 수 없습니다."
      Abort
    ${EndIf}
    StrCpy $all_users 1
  ${Else}
    StrCpy $all_users ""
  ${EndIf}
  Call ApplyScope
FunctionEnd

Function un.onInit
  ; A copy left to delete the uninstaller does that alone (uninstall_in_place.nsh).
  Call un.RemoveLeftUninstaller
  ReadRegStr $0 HKLM "${APPS_ENTRY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    StrCpy $all_users 1
    SetShellVarContext all
    UserInfo::GetAccountType
    Pop $account
    ${If} $account != "Admin"
      Call un.RunElevated
      MessageBox MB_ICONSTOP "관리자 권한이 없어 모든 사용자용 Tovrel을 제거할 수 없습니다.$\r$\nUninstalling Tovrel for all users needs administrator rights." /SD IDOK
      SetErrorLevel 740
      Quit
    ${EndIf}
  ${EndIf}
  Call un.NameTask
FunctionEnd

; Runs this setup, or uninstaller, again with administrator rights and the same options, for
; every user; waits for it and ends with its exit code. Returns if the rights were refused.
!macro RUN_ELEVATED un
  Function ${un}RunElevated
    ${GetParameters} $R0
    !if "${un}" == ""
      ; /D= must come last.
      ${If} $folder_given == 1
        StrCpy $R0 "$R0 /D=$INSTDIR"
      ${EndIf}
      StrCpy $R0 "/AllUsers $R0"
    !else
      StrCpy $R0 "$R0 _?=$INSTDIR"
    !endif
    ; SHELLEXECUTEINFOW (112 bytes on x64): SEE_MASK_NOCLOSEPROCESS, verb runas, SW_SHOWNORMAL.
    System::Call '*(i 112, i 0x40, p $HWNDPARENT, w "runas", w "$EXEPATH", w R0, p 0, i 1, i 0, \
      p 0, p 0, p 0, p 0, i 0, i 0, p 0, p 0) p .R1'
    System::Call 'shell32::ShellExecuteExW(p R1) i .R2'
    System::Call '*$R1(i, i, p, p, p, p, p, i, i, p, p, p, p, i, i, p, p .R3)'
    System::Free $R1
    ${If} $R2 == 0
      Return
    ${EndIf}
    HideWindow
    System::Call 'kernel32::WaitForSingleObject(p R3, i -1) i'
    System::Call 'kernel32::GetExitCodeProcess(p R3, *i .R4)'
    System::Call 'kernel32::CloseHandle(p R3)'
    SetErrorLevel $R4
    Quit
  FunctionEnd
!macroend
!insertmacro RUN_ELEVATED ""
!insertmacro RUN_ELEVATED "un."
