; setup.exe: installs svctune, registers its two control libraries, adds the Start-menu
; shortcut and the Add/Remove Programs entry; its uninstaller takes all of it back and leaves
; the user's saved choices in the registry.
;
; makensis -INPUTCHARSET UTF8 -DARCH=x86|amd64 -DVERSION=a.b.c.d -DSTAGE=<folder>
;          -DICON=<file.ico> -DOUTFILE=<setup.exe> svctune.nsi
; STAGE holds svctune.exe, Lamina.dll, Vellum.dll, TQSE.ini and tqpass.txt.

Unicode true
; The file is called setup.exe on purpose: Windows treats it as an installer, which asks for
; administrator rights anyway.
!pragma warning disable 9000
!if "${ARCH}" == "amd64"
  Target amd64-unicode
!else if "${ARCH}" == "x86"
  Target x86-unicode
!else
  !error "ARCH must be x86 or amd64"
!endif

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define PRODUCT "Trevane 系统服务优化"
!define PUBLISHER "Hollin Soft"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\svctune"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
SetCompressor /SOLID lzma
RequestExecutionLevel admin
!if "${ARCH}" == "amd64"
  InstallDir "$PROGRAMFILES64\svctune"
!else
  InstallDir "$PROGRAMFILES\svctune"
!endif
; An upgrade goes into the folder of the installed copy.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "Oren Vask, ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\svctune.exe"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} 已从您的计算机中删除。$\r$\n$\r$\n您保存的服务设置和密码仍保留在注册表中，重新安装后继续有效。"
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "SimpChinese"

; The registry view matches the libraries' bitness: a 64-bit build registers its libraries
; and its uninstall entry in the 64-bit view.
!macro UseOwnRegistryView
  !if "${ARCH}" == "amd64"
    SetRegView 64
  !endif
!macroend

!macro RequireAdministrator
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_ICONSTOP "安装和卸载 ${PRODUCT} 需要管理员权限。" /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}
!macroend

Function .onInit
  !insertmacro RequireAdministrator
  !insertmacro UseOwnRegistryView
  SetShellVarContext all
FunctionEnd

Function un.onInit
  !insertmacro RequireAdministrator
  !insertmacro UseOwnRegistryView
  SetShellVarContext all
FunctionEnd

!macro RegisterLibrary LIBRARY
  ClearErrors
  RegDLL "$INSTDIR\${LIBRARY}"
  ${If} ${Errors}
    MessageBox MB_ICONSTOP "无法注册 ${LIBRARY}，安装未完成。" /SD IDOK
    SetErrorLevel 3
    Abort
  ${EndIf}
!macroend

Section "svctune"
  SetOutPath "$INSTDIR"
  File "${STAGE}/svctune.exe"
  File "${STAGE}/Lamina.dll"
  File "${STAGE}/Vellum.dll"
  File "${STAGE}/tqpass.txt"
  ; TQSE.ini holds the user's preset list: an upgrade keeps it.
  SetOverwrite off
  File "${STAGE}/TQSE.ini"
  SetOverwrite on

  !insertmacro RegisterLibrary "Lamina.dll"
  !insertmacro RegisterLibrary "Vellum.dll"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "${SHORTCUT}" "$INSTDIR\svctune.exe" "" "$INSTDIR\svctune.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\svctune.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  ; The libraries unregister themselves while their files are still there.
  UnRegDLL "$INSTDIR\Lamina.dll"
  UnRegDLL "$INSTDIR\Vellum.dll"

  Delete "${SHORTCUT}"
  Delete "$INSTDIR\svctune.exe"
  Delete "$INSTDIR\Lamina.dll"
  Delete "$INSTDIR\Vellum.dll"
  Delete "$INSTDIR\tqpass.txt"
  Delete "$INSTDIR\TQSE.ini"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
