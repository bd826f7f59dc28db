@echo off
rem Written in code page 949, as cmd.exe reads a script on Korean Windows.
rem Registers a Task Scheduler task for the current user, without administrator rights, that
rem starts Tovrel.exe from this folder at the start of every hour and when the user signs in.
setlocal DisableDelayedExpansion
rem cmd reads each line of a script in the console's code page: 949 here, whatever the console
rem had, which gets its own back at the end.
for /f "tokens=2 delims=:." %%c in ('chcp') do set "console_cp=%%c"
chcp 949 >nul

rem Names are set inside quotes and expanded once, so that no character in them (&, ^, %,
rem parentheses, !) is taken for part of a command; they go into the task as XML text.
set "text=%~dp0"
call :xml_text
set "alarm=%text%Tovrel.exe"
rem The folder without its last backslash, as Windows writes a start folder, but for a root.
if "%text:~-2%"==":\" (set "folder=%text%") else set "folder=%text:~0,-1%"
set "text=%USERDOMAIN%\%USERNAME%"
call :xml_text
set "user=%text%"

rem The task, in the order of Task Scheduler's schema: every hour on the hour, and at sign-in;
rem an hour missed while the PC slept or was off starts as soon as it is back.
set "xml_1=<?xml version='1.0' encoding='UTF-16'?>"
set "xml_2=<Task version='1.2' xmlns='http://schemas.microsoft.com/windows/2004/02/mit/task'>"
set "xml_3=  <RegistrationInfo><Description>Tovrel: 매시 정각과 로그인할 때 알람 시각을 확인합니다. / Checks the alarm hour at the start of every hour and at sign-in.</Description></RegistrationInfo>"
set "xml_4=  <Triggers>"
set "xml_5=    <TimeTrigger><Enabled>true</Enabled><StartBoundary>2000-01-01T00:00:00</StartBoundary><Repetition><Interval>PT1H</Interval><StopAtDurationEnd>false</StopAtDurationEnd></Repetition></TimeTrigger>"
set "xml_6=    <LogonTrigger><Enabled>true</Enabled><UserId>%user%</UserId></LogonTrigger>"
set "xml_7=  </Triggers>"
set "xml_8=  <Principals><Principal id='Author'><UserId>%user%</UserId><LogonType>InteractiveToken</LogonType><RunLevel>LeastPrivilege</RunLevel></Principal></Principals>"
set "xml_9=  <Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy><DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries><StopIfGoingOnBatteries>false</StopIfGoingOnBatteries><StartWhenAvailable>true</StartWhenAvailable><Enabled>true</Enabled></Settings>"
set "xml_10=  <Actions Context='Author'><Exec><Command>%alarm%</Command><WorkingDirectory>%folder%</WorkingDirectory></Exec></Actions>"
set "xml_11=</Task>"

rem UTF-16 with its byte-order mark, as Windows writes a task and schtasks reads one: the mark
rem is "яю" written in code page 1251 (bytes FF FE), and the lines are written by a cmd of
rem their own in UTF-16 (/u), which takes them from the environment after its command line
rem is parsed (/v:on).
set "xml=%TEMP%\tovrel-task-%RANDOM%.xml"
(chcp 1251 >nul & <nul set /p "=яю" >"%xml%" & chcp 949 >nul)
cmd /d /u /v:on /c "echo !xml_1!&echo !xml_2!&echo !xml_3!&echo !xml_4!&echo !xml_5!&echo !xml_6!&echo !xml_7!&echo !xml_8!&echo !xml_9!&echo !xml_10!&echo !xml_11!">>"%xml%"

rem The system's own schtasks.exe, named in full: a stray one in this folder must not run.
"%SystemRoot%\System32\schtasks.exe" /Create /TN "Tovrel" /XML "%xml%" /F
set "status=%errorlevel%"
del "%xml%"
if %status% neq 0 (
  echo Tovrel: 작업을 등록하지 못했습니다.
  echo The task could not be registered.
) else (
  echo Tovrel: 매시 정각과 로그인할 때 실행됩니다.
  echo Tovrel now runs at the start of every hour and when you sign in.
)
rem Started by a double-click, the window closes as the script ends.
pause
chcp %console_cp% >nul
exit /b %status%

rem Escapes the text variable for XML.
:xml_text
set "text=%text:&=&amp;%"
set "text=%text:<=&lt;%"
set "text=%text:>=&gt;%"
set "text=%text:'=&apos;%"
set "text=%text:"=&quot;%"
exit /b
