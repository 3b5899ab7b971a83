; The setup program of TIPENZO 10 for Windows, built by scripts/windows/build.sh:
;
;   makensis -DSTAGING=<install tree> -DBUILD=<build folder> -DOUTFILE=<setup.exe> tipenzo10.nsi
;
; <install tree> is what `cmake --install` laid out (bin\, share\tipenzo10\); the build folder
; holds version.nsh and the lists of files to install and to remove (files.nsh, unfiles.nsh).
;
; An administrator installs for every user of the PC into Program Files; anyone else, or
; /CurrentUser, for herself into her own programs folder. /S installs and uninstalls without
; a window, for a lab's deployment. The pupils' data live in each user's AppData (or in the
; shared folder a lab's tipenzo10.ini names) and are never removed.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel highest
ManifestDPIAware true

!include "${BUILD}/version.nsh"
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define APP "TIPENZO 10"
!define EXE "tipenzo10.exe"
!define UNINSTALLER "desinstalar.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TIPENZO10"

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\TIPENZO10"
BrandingText "${APP} ${VERSION}"

VIProductVersion "${VERSION_NUMBERS}"
VIFileVersion "${VERSION_NUMBERS}"
VIAddVersionKey /LANG=1034 "ProductName" "${APP}"
VIAddVersionKey /LANG=1034 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1034 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1034 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1034 "FileDescription" "Instalación de ${APP}"
VIAddVersionKey /LANG=1034 "LegalCopyright" "© ${PUBLISHER}"

!define MUI_ICON "${ICON_FILE}"
!define MUI_UNICON "${ICON_FILE}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Este asistente instalará ${APP} ${VERSION}, el curso de mecanografía con los diez dedos.$\r$\n$\r$\nSi lo instala un administrador, queda para todos los usuarios del equipo; si no, solo para usted.$\r$\n$\r$\nPulse Siguiente para continuar."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\bin\${EXE}"
!define MUI_FINISHPAGE_RUN_TEXT "Abrir ${APP} ahora"
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "Se quitará ${APP} de este equipo. El progreso de los alumnos, sus resultados y sus textos se conservan: nada de la carpeta de datos se borra."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Spanish"

Var AllUsers

; Every user of the PC (an administrator) or only the one who installs.
Function ChooseInstallMode
  UserInfo::GetAccountType
  Pop $0
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/CurrentUser" $2
  ${If} $0 == "Admin"
  ${AndIf} ${Errors}
    StrCpy $AllUsers 1
    SetShellVarContext all
  ${Else}
    StrCpy $AllUsers 0
    SetShellVarContext current
    StrCpy $INSTDIR "$LOCALAPPDATA\Programs\TIPENZO10"
  ${EndIf}
FunctionEnd

Function .onInit
  SetRegView 64
  Call ChooseInstallMode
  ; Installing again goes where the program already is.
  ${If} $AllUsers == 1
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${Else}
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $0 != ""
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

; The entry of the installed programs, in the hive of the mode installed.
!macro UninstallEntry HIVE
  WriteRegStr ${HIVE} "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr ${HIVE} "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr ${HIVE} "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr ${HIVE} "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\${EXE},0"
  WriteRegStr ${HIVE} "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr ${HIVE} "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr ${HIVE} "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD ${HIVE} "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD ${HIVE} "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD ${HIVE} "${UNINSTALL_KEY}" "NoRepair" 1
!macroend

Section "${APP}"
  SetOverwrite on
  !include "${BUILD}/files.nsh"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  SetOutPath "$INSTDIR\bin"
  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\bin\${EXE}" "" "$INSTDIR\bin\${EXE}" 0
  CreateShortcut "$DESKTOP\${APP}.lnk" "$INSTDIR\bin\${EXE}" "" "$INSTDIR\bin\${EXE}" 0

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  ${If} $AllUsers == 1
    !insertmacro UninstallEntry HKLM
  ${Else}
    !insertmacro UninstallEntry HKCU
  ${EndIf}
SectionEnd

Function un.onInit
  SetRegView 64
  ; The mode of the installation this uninstaller belongs to: the hive whose entry names its
  ; folder.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    StrCpy $AllUsers 1
    SetShellVarContext all
  ${Else}
    StrCpy $AllUsers 0
    SetShellVarContext current
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${APP}.lnk"
  Delete "$DESKTOP\${APP}.lnk"
  ; Only what the setup put there: a settings file or anything else added to the folder stays.
  !include "${BUILD}/unfiles.nsh"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  ${If} $AllUsers == 1
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${Else}
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd
