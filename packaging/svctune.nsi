; setup.exe: installs svctune, registers its two control libraries (on 64-bit Windows the
; 64-bit libraries as well, in the 64-bit registry view), optionally the control gallery, adds
; the Start-menu shortcuts and the Add/Remove Programs entry; its uninstaller takes all of it
; back and leaves the user's saved choices in the registry.
;
; makensis -INPUTCHARSET UTF8 -DVERSION=a.b.c.d -DSTAGE=<folder> -DGALLERY_ART=<file.nsh>
;          -DICON=<file.ico> -DOUTFILE=<setup.exe> svctune.nsi
; STAGE holds svctune.exe, Lamina.dll, Vellum.dll, TQSE.ini and tqpass.txt, the 64-bit
; libraries in x64\ and the gallery in gallery\. GALLERY_ART defines the macros
; InstallGalleryArt and RemoveGalleryArt for the gallery's pictures.
;
; Exit codes: 0 done; 1 cancelled by the user; 2 stopped by an error of NSIS itself; 3 a
; control library could not be registered; 4 svctune is running (nothing was changed); 5 a
; file of the installed copy is in use by another program and cannot be replaced or removed
; (nothing was changed); 740 no administrator rights.

Unicode true
; The file is called setup.exe on purpose: Windows treats it as an installer, which asks for
; administrator rights anyway.
!pragma warning disable 9000
Target x86-unicode

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include Sections.nsh
!include x64.nsh

!define PRODUCT "Trevane 系统服务优化"
!define PUBLISHER "Hollin Soft"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\svctune"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
!define GALLERY_SHORTCUT "$SMPROGRAMS\Trevane 控件示例.lnk"
; How a running svctune is found: its main window's class and its one-instance mutex.
!define SVCTUNE_WINDOW_CLASS "svctune.formhome"
!define SVCTUNE_MUTEX "Global\svctune.formhome.instance"
!define EXIT_REGISTRATION_FAILED 3
!define EXIT_SVCTUNE_RUNNING 4
!define EXIT_FILE_IN_USE 5

!include "${GALLERY_ART}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
SetCompressor /SOLID lzma
RequestExecutionLevel admin
InstallDir "$PROGRAMFILES\svctune"
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
!define MUI_COMPONENTSPAGE_SMALLDESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\svctune.exe"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} 已从您的计算机中删除。$\r$\n$\r$\n您保存的服务设置和密码仍保留在注册表中，重新安装后继续有效。"
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "SimpChinese"

!macro RequireAdministrator
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_ICONSTOP "安装和卸载 ${PRODUCT} 需要管理员权限。" /SD IDOK
    SetErrorLevel 740
    Quit
  ${EndIf}
!macroend

; Functions the installer and the uninstaller both need (NSIS keeps the two apart by the
; prefix "un."). They stop with Abort, which ends the run from .onInit and stops the
; installation from a section, with the exit code set before.
!macro SharedFunctions UN
  ; Waits until no svctune runs: a running copy holds its files and would write TQSE.ini and
  ; TQSE.ini.bak into the folder after the change. The user closes it and retries, or cancels;
  ; a silent run cancels at once. Cancelling stops with nothing changed.
  Function ${UN}WaitUntilSvctuneEnds
    ${Do}
      System::Call 'user32::FindWindowW(w "${SVCTUNE_WINDOW_CLASS}", p 0) p .r0'
      ${If} $0 = 0
        ; SYNCHRONIZE; refused (5) means a copy in another session holds it.
        System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${SVCTUNE_MUTEX}") p .r0 ?e'
        Pop $1
        ${If} $0 <> 0
          System::Call 'kernel32::CloseHandle(p r0)'
        ${ElseIf} $1 <> 5
          ${Break}
        ${EndIf}
      ${EndIf}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} 正在运行。$\r$\n$\r$\n请先关闭它，再点“重试”；点“取消”退出，不做任何更改。" /SD IDCANCEL IDRETRY retry
      SetErrorLevel ${EXIT_SVCTUNE_RUNNING}
      Abort
    retry:
    ${Loop}
  FunctionEnd

  ; Stops with nothing changed when the file named on the stack exists and cannot be opened
  ; for writing (another program uses it, e.g. a host that has loaded a control library):
  ; replacing or removing only the other files would leave mixed versions behind.
  Function ${UN}RequireFileFree
    Exch $0
    Push $1
    ${Do}
      ${IfNot} ${FileExists} "$0"
        ${Break}
      ${EndIf}
      ClearErrors
      FileOpen $1 "$0" a
      ${IfNot} ${Errors}
        FileClose $1
        ${Break}
      ${EndIf}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$0$\r$\n$\r$\n这个文件正被其他程序使用，无法替换或删除。请关闭使用它的程序，再点“重试”；点“取消”退出，不做任何更改。" /SD IDCANCEL IDRETRY retry
      SetErrorLevel ${EXIT_FILE_IN_USE}
      Abort
    retry:
    ${Loop}
    Pop $1
    Pop $0
  FunctionEnd

  ; The program files of the installed copy, checked before anything is changed. (Not
  ; uninstall.exe: the uninstaller may be running from it, or have just started its copy.)
  Function ${UN}RequireInstalledFilesFree
    !insertmacro RequireFree "${UN}" "$INSTDIR\svctune.exe"
    !insertmacro RequireFree "${UN}" "$INSTDIR\Lamina.dll"
    !insertmacro RequireFree "${UN}" "$INSTDIR\Vellum.dll"
    !insertmacro RequireFree "${UN}" "$INSTDIR\tqpass.txt"
    !insertmacro RequireFree "${UN}" "$INSTDIR\x64\Lamina.dll"
    !insertmacro RequireFree "${UN}" "$INSTDIR\x64\Vellum.dll"
    !insertmacro RequireFree "${UN}" "$INSTDIR\gallery\gallery.exe"
  FunctionEnd

  ; Runs the 64-bit regsvr32 silently with the arguments on the stack ("/u" first to
  ; unregister); it writes the 64-bit registry view. Leaves its exit code on the stack, "error"
  ; when it could not be started.
  Function ${UN}RegSvr64
    Exch $0
    Push $1
    StrCpy $1 "error"
    ${DisableX64FSRedirection}
    ExecWait '"$SYSDIR\regsvr32.exe" /s $0' $1
    ${EnableX64FSRedirection}
    Exch $1
    Exch
    Pop $0
  FunctionEnd
!macroend

!macro RequireFree UN FILE
  Push "${FILE}"
  Call ${UN}RequireFileFree
!macroend

!insertmacro SharedFunctions ""
!insertmacro SharedFunctions "un."

; Extracts one file; a file that cannot be written stops the installation rather than leave
; an older one beside the new ones.
!macro InstallFile SOURCE NAME
  ClearErrors
  File "${SOURCE}"
  ${If} ${Errors}
    MessageBox MB_ICONSTOP "无法写入 $OUTDIR\${NAME}，安装未完成。" /SD IDOK
    SetErrorLevel ${EXIT_FILE_IN_USE}
    Abort
  ${EndIf}
!macroend

!macro InstallStaged PATH NAME
  !insertmacro InstallFile "${STAGE}/${PATH}${NAME}" "${NAME}"
!macroend

!macro RegistrationFailed LIBRARY
  MessageBox MB_ICONSTOP "无法注册 ${LIBRARY}，安装未完成。" /SD IDOK
  SetErrorLevel ${EXIT_REGISTRATION_FAILED}
  Abort
!macroend

!macro RegisterLibrary LIBRARY
  ClearErrors
  RegDLL "$INSTDIR\${LIBRARY}"
  ${If} ${Errors}
    !insertmacro RegistrationFailed "${LIBRARY}"
  ${EndIf}
!macroend

!macro RegisterLibrary64 LIBRARY
  Push '"$INSTDIR\x64\${LIBRARY}"'
  Call RegSvr64
  Pop $0
  ${If} $0 != 0
    !insertmacro RegistrationFailed "x64\${LIBRARY}"
  ${EndIf}
!macroend

Section "svctune" SecSvctune
  SectionIn RO
  ; Checked again here: the user may have started svctune while the pages were up.
  Call WaitUntilSvctuneEnds
  Call RequireInstalledFilesFree
  !insertmacro RequireFree "" "$INSTDIR\uninstall.exe"
  SetOverwrite try

  SetOutPath "$INSTDIR"
  !insertmacro InstallStaged "" "svctune.exe"
  !insertmacro InstallStaged "" "Lamina.dll"
  !insertmacro InstallStaged "" "Vellum.dll"
  !insertmacro InstallStaged "" "tqpass.txt"
  ; TQSE.ini holds the user's preset list: an upgrade keeps it.
  ${IfNot} ${FileExists} "$INSTDIR\TQSE.ini"
    !insertmacro InstallStaged "" "TQSE.ini"
  ${EndIf}
  ; 64-bit hosts (64-bit Office's VBA, for one) cannot load 32-bit controls.
  ${If} ${RunningX64}
    SetOutPath "$INSTDIR\x64"
    !insertmacro InstallStaged "x64/" "Lamina.dll"
    !insertmacro InstallStaged "x64/" "Vellum.dll"
  ${EndIf}

  !insertmacro RegisterLibrary "Lamina.dll"
  !insertmacro RegisterLibrary "Vellum.dll"
  ${If} ${RunningX64}
    !insertmacro RegisterLibrary64 "Lamina.dll"
    !insertmacro RegisterLibrary64 "Vellum.dll"
  ${EndIf}

  ClearErrors
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ${If} ${Errors}
    MessageBox MB_ICONSTOP "无法写入 $INSTDIR\uninstall.exe，安装未完成。" /SD IDOK
    SetErrorLevel ${EXIT_FILE_IN_USE}
    Abort
  ${EndIf}
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
SectionEnd

; Not picked by a silent install unless /GALLERY is given; kept by an upgrade that finds it.
Section /o "控件示例" SecGallery
  SetOutPath "$INSTDIR\gallery"
  !insertmacro InstallStaged "gallery/" "gallery.exe"
  SetOutPath "$INSTDIR\gallery\art"
  !insertmacro InstallGalleryArt
  SetOutPath "$INSTDIR"
  CreateShortCut "${GALLERY_SHORTCUT}" "$INSTDIR\gallery\gallery.exe" "" \
    "$INSTDIR\gallery\gallery.exe" 0
SectionEnd

!macro RemoveGallery
  Delete "${GALLERY_SHORTCUT}"
  Delete "$INSTDIR\gallery\gallery.exe"
  !insertmacro RemoveGalleryArt
  RMDir "$INSTDIR\gallery\art"
  RMDir "$INSTDIR\gallery"
!macroend

Section "-Finish"
  ; An upgrade without the gallery takes away the gallery of the earlier version.
  ${IfNot} ${SectionIsSelected} ${SecGallery}
    !insertmacro RemoveGallery
  ${EndIf}
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecSvctune} "系统服务优化程序和它的控件库 Lamina、Vellum（在 64 位 Windows 上同时安装并注册 64 位的控件库）。"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecGallery} "控件示例程序：每个控件的用法和事件，附带示例图片，并在开始菜单中添加快捷方式。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  !insertmacro RequireAdministrator
  SetShellVarContext all
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/GALLERY" $1
  ${IfNot} ${Errors}
  ${OrIf} ${FileExists} "$INSTDIR\gallery\gallery.exe"
    !insertmacro SelectSection ${SecGallery}
  ${EndIf}
  Call WaitUntilSvctuneEnds
FunctionEnd

Function un.onInit
  !insertmacro RequireAdministrator
  SetShellVarContext all
  Call un.WaitUntilSvctuneEnds
FunctionEnd

Section "Uninstall"
  Call un.WaitUntilSvctuneEnds
  Call un.RequireInstalledFilesFree
  !insertmacro RequireFree "un." "$INSTDIR\TQSE.ini"

  ; The libraries unregister themselves while their files are still there.
  UnRegDLL "$INSTDIR\Lamina.dll"
  UnRegDLL "$INSTDIR\Vellum.dll"
  ${If} ${FileExists} "$INSTDIR\x64\*.dll"
    Push '/u "$INSTDIR\x64\Lamina.dll"'
    Call un.RegSvr64
    Pop $0
    Push '/u "$INSTDIR\x64\Vellum.dll"'
    Call un.RegSvr64
    Pop $0
  ${EndIf}

  Delete "${SHORTCUT}"
  Delete "$INSTDIR\svctune.exe"
  Delete "$INSTDIR\Lamina.dll"
  Delete "$INSTDIR\Vellum.dll"
  Delete "$INSTDIR\x64\Lamina.dll"
  Delete "$INSTDIR\x64\Vellum.dll"
  RMDir "$INSTDIR\x64"
  !insertmacro RemoveGallery
  Delete "$INSTDIR\tqpass.txt"
  Delete "$INSTDIR\TQSE.ini"
  ; What the program makes beside itself: the copy of a TQSE.ini it could not read whole, and
  ; the temporary file it writes TQSE.ini through (left behind when it was stopped mid-write).
  Delete "$INSTDIR\TQSE.ini.bak"
  Delete "$INSTDIR\tqs*.tmp"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
