@echo off
rem Written in code page 949, as cmd.exe reads a script on Korean Windows.
rem Removes the task that register-hourly.cmd made.
setlocal DisableDelayedExpansion
rem cmd reads each line of a script in the console's code page: 949 here, whatever the console
rem had, which gets its own back at the end.
for /f "tokens=2 delims=:." %%c in ('chcp') do set "console_cp=%%c"
chcp 949 >nul

rem The system's own schtasks.exe, named in full: a stray one in this folder must not run.
"%SystemRoot%\System32\schtasks.exe" /Delete /TN "Tovrel" /F
set "status=%errorlevel%"
if %status% neq 0 (
  echo Tovrel: 등록된 작업이 없습니다.
  echo There was no task to remove.
) else (
  echo Tovrel: 매시 실행을 해제했습니다.
  echo Tovrel no longer runs every hour.
)
rem Started by a double-click, the window closes as the script ends.
pause
chcp %console_cp% >nul
exit /b %status%
