@echo off
rem Written in code page 949, as cmd.exe reads a script on Korean Windows. The system's own
rem schtasks.exe is named in full: a stray one in this folder must not run instead.
rem Removes the task that register-hourly.cmd made.
"%SystemRoot%\System32\schtasks.exe" /Delete /TN "Tovrel" /F
if errorlevel 1 (
  echo Tovrel: 등록된 작업이 없습니다. / There was no task to remove.
  exit /b 1
)
echo Tovrel: 매시 실행을 해제했습니다. / Tovrel no longer runs every hour.
