@echo off
rem Written in code page 949, as cmd.exe reads a script on Korean Windows. The system's own
rem schtasks.exe is named in full: a stray one in this folder must not run instead.
rem Starts Tovrel.exe from this folder at the start of every hour, for the current user.
rem No administrator rights are needed: the task runs only while you are signed in.
"%SystemRoot%\System32\schtasks.exe" /Create /TN "Tovrel" /TR "\"%~dp0Tovrel.exe\"" /SC HOURLY /MO 1 /ST 00:00 /F
if errorlevel 1 (
  echo Tovrel: 작업을 등록하지 못했습니다. / The task could not be registered.
  exit /b 1
)
echo Tovrel: 매시 정각에 실행됩니다. / Tovrel now runs at the start of every hour.
