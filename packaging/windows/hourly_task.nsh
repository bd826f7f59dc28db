; The hourly task, registered from an XML file and removed through the system's own schtasks.exe,
; named in full. For one user, it runs as that user; for every user, a task of its own name runs
; for whoever signs in. The setup and the uninstaller each have their own copy of what they use.

!define TASK_XML "$PLUGINSDIR\tovrel-task.xml"
; The Users group, as Windows names it in every language.
!define USERS_GROUP "S-1-5-32-545"

Var task_name

!macro NAME_TASK un
  Function ${un}NameTask
    ${If} $all_users == 1
      StrCpy $task_name "Tovrel (모든 사용자)"
    ${Else}
      StrCpy $task_name "Tovrel"
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro NAME_TASK ""
!insertmacro NAME_TASK "un."

!macro DELETE_TASK un
  Function ${un}DeleteTask
    nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Delete /TN "$task_name" /F'
    Pop $0
  FunctionEnd
!macroend
!insertmacro DELETE_TASK ""
!insertmacro DELETE_TASK "un."

; Pushes schtasks' exit status: 0 when registered.
Function RegisterTask
  Call WriteTaskXml
  nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Create /TN "$task_name" /XML "${TASK_XML}" /F'
FunctionEnd

${StrRep}

; Pops a text, pushes it as XML text.
Function XmlText
  Exch $0
  ${StrRep} $0 $0 "&" "&amp;"
  ${StrRep} $0 $0 "<" "&lt;"
  ${StrRep} $0 $0 ">" "&gt;"
  ${StrRep} $0 $0 '"' "&quot;"
  ${StrRep} $0 $0 "'" "&apos;"
  Exch $0
FunctionEnd

; The task, in the order of Task Scheduler's schema (UTF-16 with its byte-order mark): every hour
; on the hour and at sign-in, without administrator rights, on battery too, starting the alarm
; from its folder; an hour missed while the PC slept or was off starts as soon as it is back. No
; short run-time limit: the alarm's message box waits for its answer.
Function WriteTaskXml
  Push $INSTDIR
  Call XmlText
  Pop $1
  ${If} $all_users == 1
    StrCpy $3 ""
    StrCpy $4 "<GroupId>${USERS_GROUP}</GroupId>"
  ${Else}
    ReadEnvStr $2 USERDOMAIN
    ReadEnvStr $3 USERNAME
    Push "$2\$3"
    Call XmlText
    Pop $2
    StrCpy $3 "<UserId>$2</UserId>"
    StrCpy $4 "<UserId>$2</UserId><LogonType>InteractiveToken</LogonType>"
  ${EndIf}
  InitPluginsDir
  FileOpen $0 "${TASK_XML}" w
  FileWriteUTF16LE /BOM $0 '<?xml version="1.0" encoding="UTF-16"?>$\r$\n'
  FileWriteUTF16LE $0 '<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">$\r$\n'
  FileWriteUTF16LE $0 '  <RegistrationInfo><Description>Tovrel: 매시 정각과 로그인할 때 알람 시각을 확인합니다. / Checks the alarm hour at the start of every hour and at sign-in.</Description></RegistrationInfo>$\r$\n'
  FileWriteUTF16LE $0 '  <Triggers>$\r$\n'
  FileWriteUTF16LE $0 '    <TimeTrigger><Enabled>true</Enabled><StartBoundary>2000-01-01T00:00:00</StartBoundary><Repetition><Interval>PT1H</Interval><StopAtDurationEnd>false</StopAtDurationEnd></Repetition></TimeTrigger>$\r$\n'
  FileWriteUTF16LE $0 '    <LogonTrigger><Enabled>true</Enabled>$3</LogonTrigger>$\r$\n'
  FileWriteUTF16LE $0 '  </Triggers>$\r$\n'
  FileWriteUTF16LE $0 '  <Principals><Principal id="Author">$4<RunLevel>LeastPrivilege</RunLevel></Principal></Principals>$\r$\n'
  FileWriteUTF16LE $0 '  <Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy><DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries><StopIfGoingOnBatteries>false</StopIfGoingOnBatteries><StartWhenAvailable>true</StartWhenAvailable><Enabled>true</Enabled></Settings>$\r$\n'
  FileWriteUTF16LE $0 '  <Actions Context="Author"><Exec><Command>$1\Tovrel.exe</Command><WorkingDirectory>$1</WorkingDirectory></Exec></Actions>$\r$\n'
  FileWriteUTF16LE $0 '</Task>$\r$\n'
  FileClose $0
FunctionEnd
