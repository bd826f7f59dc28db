; The uninstaller run in place (_?=), as the quiet uninstall runs it, so that it returns only when
; done: it cannot delete itself. Windows lets it move out of the folder, into TEMP, to be deleted
; when Windows next starts. Where it cannot (TEMP on another drive; Wine), a copy of it in TEMP
; deletes it, and the folder if then empty, once it has ended: "/LeftUninstaller _?=folder".

Function un.LeaveFolder
  GetTempFileName $0
  Delete $0
  ClearErrors
  Rename "$INSTDIR\uninstall.exe" $0
  ${If} ${Errors}
    CopyFiles /SILENT "$INSTDIR\uninstall.exe" "$0.exe"
    Exec '"$0.exe" /S /LeftUninstaller _?=$INSTDIR'
  ${Else}
    Delete /REBOOTOK $0
  ${EndIf}
FunctionEnd

Function un.RemoveLeftUninstaller
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/LeftUninstaller" $0
  ${If} ${Errors}
    Return
  ${EndIf}
  ; For up to half a minute, until the uninstaller has ended.
  ${For} $1 1 300
    ClearErrors
    Delete "$INSTDIR\uninstall.exe"
    ${IfNot} ${Errors}
      ${ExitFor}
    ${EndIf}
    Sleep 100
  ${Next}
  RMDir "$INSTDIR"
  Delete /REBOOTOK "$EXEPATH"
  Quit
FunctionEnd
