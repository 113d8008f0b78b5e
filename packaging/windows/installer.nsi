; The writer's installer: 砚舟文匣 for one Windows user, no administrator rights needed.
; Built by packaging/make-installer, which defines VERSION, PROGRAM (yanzhou.exe), DEPLOYMENT (the
; deployment.ini baked in), ICON and OUTFILE.
;
; The program keeps its configuration, auto-save and lock files beside itself, so it goes into the
; user's own %LOCALAPPDATA%\Programs, where the user may write, and never under Program Files.
; Installed are yanzhou.exe, deployment.ini, uninstall.exe, the Start-menu shortcut, the optional
; desktop shortcut and the per-user uninstall key; the uninstaller removes exactly those. Whatever
; else the folder holds (documents, .kkjx files, the configuration, the auto-save, the rescue
; folder) is the writer's: it stays, and so does the folder while it holds anything.
;
; Silent use: setup.exe /S [/DESKTOP] [/D=FOLDER] installs (with a desktop shortcut only when
; /DESKTOP is given); uninstall.exe /S removes. A running copy stops both with exit code 2.

Unicode true
; The 32-bit stub does nothing at all under a 64-bit-only Wine; the program is 64-bit anyway.
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define PRODUCT "砚舟文匣"
!define PUBLISHER "霁川软件"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\YanzhouWenxia"
; The program's own lock file when the deployment file names none.
!define DEFAULT_LOCK_FILE "c:\ymtrop"
!define SHORTCUT "${PRODUCT}.lnk"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the writer installed before.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PUBLISHER}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"

!define MUI_WELCOMEPAGE_TEXT "此程序将把 ${PRODUCT} ${VERSION} 安装到您自己的用户文件夹里，不需要管理员权限。$\r$\n$\r$\n\
    如果${PRODUCT}正在运行，请先保存好正在写的内容并关闭它。安装新版本时，您的文档、配置、自动存档和备份文件夹都会原样保留。$\r$\n$\r$\n\
    点击 [下一步(N)] 继续。"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\yanzhou.exe"
!define MUI_FINISHPAGE_RUN_TEXT "立即启动${PRODUCT}"
!define MUI_FINISHPAGE_SHOWREADME ""
!define MUI_FINISHPAGE_SHOWREADME_TEXT "在桌面上放一个${PRODUCT}的快捷方式"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION MakeDesktopShortcut
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"

; Running-copy check, for the installer and the uninstaller alike. A running copy holds its lock
; file open without sharing for its whole run, so opening that file fails while it runs; after a
; crash or a normal end the file stays but opens. The lock file is the one the deployment file
; names (the key lock_file), else the program's default.
; Stack in: the deployment file; stack out: 1 when a running copy holds the lock, else 0.
!macro DEFINE_LOCK_HELD PREFIX
Function ${PREFIX}LockHeld
    Exch $0
    Push $1
    ReadINIStr $1 "$0" "deployment" "lock_file"
    ${If} $1 == ""
        StrCpy $1 "${DEFAULT_LOCK_FILE}"
    ${EndIf}
    StrCpy $0 0
    ${If} ${FileExists} "$1"
        ClearErrors
        FileOpen $1 "$1" r
        ${If} ${Errors}
            StrCpy $0 1
        ${Else}
            FileClose $1
        ${EndIf}
    ${EndIf}
    Pop $1
    Exch $0
FunctionEnd
!macroend
!insertmacro DEFINE_LOCK_HELD ""
!insertmacro DEFINE_LOCK_HELD "un."

; Sets $R1 to 1 when a running copy holds the lock named by DEPLOYMENT_FILE.
!macro CHECK_LOCK PREFIX DEPLOYMENT_FILE
    Push "${DEPLOYMENT_FILE}"
    Call ${PREFIX}LockHeld
    Pop $R0
    IntOp $R1 $R1 | $R0
!macroend

; Asks the writer to close the running copy until it is closed. Cancel, and a silent run, which
; cannot ask, end with exit code 2 before anything is changed.
!macro ASK_TO_CLOSE_RUNNING_COPY RETRY_LABEL
    ${If} $R1 == 1
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "${PRODUCT}正在运行。请先把正在写的内容保存好，关闭${PRODUCT}，再点“重试”。" \
            /SD IDCANCEL IDRETRY ${RETRY_LABEL}
        SetErrorLevel 2
        Quit
    ${EndIf}
!macroend

Var desktop_shortcut_wanted

Function .onInit
    ; A silent install puts a shortcut on the desktop only when asked to with /DESKTOP.
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/DESKTOP" $R1
    ${IfNot} ${Errors}
        StrCpy $desktop_shortcut_wanted 1
    ${EndIf}
FunctionEnd

Function MakeDesktopShortcut
    SetOutPath "$INSTDIR"
    CreateShortCut "$DESKTOP\${SHORTCUT}" "$INSTDIR\yanzhou.exe" "" "$INSTDIR\yanzhou.exe" 0
FunctionEnd

Section
    InitPluginsDir
    File "/oname=$PLUGINSDIR\deployment.ini" "${DEPLOYMENT}"
    ; An upgrade is held back by a running copy of the old version as well as of this deployment.
  check_running_copy:
    StrCpy $R1 0
    !insertmacro CHECK_LOCK "" "$INSTDIR\deployment.ini"
    !insertmacro CHECK_LOCK "" "$PLUGINSDIR\deployment.ini"
    !insertmacro ASK_TO_CLOSE_RUNNING_COPY check_running_copy

    SetOutPath "$INSTDIR"
    File "/oname=yanzhou.exe" "${PROGRAM}"
    File "/oname=deployment.ini" "${DEPLOYMENT}"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; Shortcuts start in the program's folder, where it keeps its files.
    CreateShortCut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\yanzhou.exe" "" "$INSTDIR\yanzhou.exe" 0
    ${If} $desktop_shortcut_wanted == 1
    ${OrIf} ${FileExists} "$DESKTOP\${SHORTCUT}"
        Call MakeDesktopShortcut
    ${EndIf}

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\yanzhou.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize 0 $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  check_running_copy:
    StrCpy $R1 0
    !insertmacro CHECK_LOCK "un." "$INSTDIR\deployment.ini"
    !insertmacro ASK_TO_CLOSE_RUNNING_COPY check_running_copy

    Delete "$INSTDIR\yanzhou.exe"
    Delete "$INSTDIR\deployment.ini"
    Delete "$INSTDIR\uninstall.exe"
    ; Removed only when empty: the writer's files keep the folder.
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${SHORTCUT}"
    Delete "$DESKTOP\${SHORTCUT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
