; PrismataSetup.exe: installs the Prismata screen saver. Built by the Windows build with makensis:
;   makensis -DPRISMATA_SCR=<Prismata.scr> -DPOSTINSTALL_EXE=<PrismataPostInstall.exe>
;            -DHELP_FILE=<Prismata.hlp> -DHTML_HELP_FILE=<Prismata.chm> -DAPP_ICON=<Prismata.ico>
;            -DOUTFILE=<PrismataSetup.exe> Prismata.nsi
; Silent install: PrismataSetup.exe /S [/D=C:\Target Folder]    Silent uninstall: Uninstall.exe /S

!ifndef PRISMATA_SCR | POSTINSTALL_EXE | HELP_FILE | HTML_HELP_FILE | APP_ICON | OUTFILE
    !error "define PRISMATA_SCR, POSTINSTALL_EXE, HELP_FILE, HTML_HELP_FILE, APP_ICON and OUTFILE"
!endif

; The programs are 32-bit, as Windows has Direct3D 8 for 32-bit programs only; so is the installer, which then
; sees what they see on 64-bit Windows: Program Files (x86) and the 32-bit view of the registry.
Unicode true
Target x86-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include LogicLib.nsh
!include x64.nsh

; Prismata finds its folder through this entry and value, the ones an Inno Setup installer makes.
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Prismata_is1"
!define APP_PATH_VALUE "Inno Setup: App Path"
!define VERSION "0.5.0"
; The Users group by its well-known SID, which every language of Windows knows by the same name.
!define USERS_SID "*S-1-5-32-545"

Name "Prismata"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Prismata"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "${APP_PATH_VALUE}"
Icon "${APP_ICON}"
UninstallIcon "${APP_ICON}"
ShowInstDetails show
ShowUninstDetails show
BrandingText "Prismata ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Prismata"
VIAddVersionKey "FileDescription" "Prismata Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" ""

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The 64-bit Prismata 0.4's folder, when this installs over it; empty otherwise.
Var Win64Folder
; Where the screen-saver settings find a 32-bit screen saver: the 32-bit system folder.
Var ScreenSaverFolder

!macro FindScreenSaverFolder
    ${If} ${RunningX64}
        StrCpy $ScreenSaverFolder "$WINDIR\SysWOW64"
    ${Else}
        StrCpy $ScreenSaverFolder "$SYSDIR"
    ${EndIf}
!macroend

Function .onInit
    !insertmacro FindScreenSaverFolder
    ${If} ${RunningX64}
        SetRegView 64
        ReadRegStr $Win64Folder HKLM "${UNINSTALL_KEY}" "${APP_PATH_VALUE}"
        SetRegView 32
    ${EndIf}
    ; An upgrade from the 64-bit version stays in its folder unless told otherwise: the picture list names
    ; the converted copies there by their full paths.
    ${If} $Win64Folder != ""
    ${AndIf} $INSTDIR == "$PROGRAMFILES\Prismata"
        StrCpy $INSTDIR $Win64Folder
    ${EndIf}
FunctionEnd

Function un.onInit
    !insertmacro FindScreenSaverFolder
FunctionEnd

; Gives the Users group the rights on a file or folder, through the system's icacls (Vista and later),
; named by its full path so that no other icacls.exe is found first.
!macro GrantUsers path rights
    nsExec::ExecToLog '"$SYSDIR\icacls.exe" "${path}" /grant ${USERS_SID}:${rights}'
    Pop $0
    ${If} $0 != 0
        DetailPrint "Standard users may not be able to change ${path} (icacls: $0)."
    ${EndIf}
!macroend

Section "Prismata"
    SetOutPath "$INSTDIR"
    ; The settings of a 64-bit Prismata in another folder come along when this folder has none.
    ${If} $Win64Folder != ""
    ${AndIfNot} ${FileExists} "$INSTDIR\Prismata.ini"
    ${AndIf} ${FileExists} "$Win64Folder\Prismata.ini"
        CopyFiles /SILENT "$Win64Folder\Prismata.ini" "$INSTDIR\Prismata.ini"
    ${EndIf}
    File "/oname=Prismata.scr" "${PRISMATA_SCR}"
    File "/oname=PrismataPostInstall.exe" "${POSTINSTALL_EXE}"
    ; Both settings dialogs open one of them from the install folder: the .chm where the system has no
    ; WinHelp (Vista and later), the .hlp elsewhere.
    File "/oname=Prismata.hlp" "${HELP_FILE}"
    File "/oname=Prismata.chm" "${HTML_HELP_FILE}"
    CreateDirectory "$INSTDIR\ImageCache"
    ; The settings file a reinstall finds is the user's and stays as it is.
    ${IfNot} ${FileExists} "$INSTDIR\Prismata.ini"
        FileOpen $0 "$INSTDIR\Prismata.ini" w
        FileClose $0
    ${EndIf}
    ; Prismata runs as the user, who may not write in Program Files: the user may change the settings and
    ; the cache, and nothing else here. The folder, the programs and the help stay the administrator's.
    !insertmacro GrantUsers "$INSTDIR\Prismata.ini" "(M)"
    !insertmacro GrantUsers "$INSTDIR\ImageCache" "(OI)(CI)(M)"
    ; The screen-saver settings list the screen savers they find in the system folders; a 32-bit one in the
    ; 32-bit system folder, SysWOW64 on 64-bit Windows.
    SetOutPath "$ScreenSaverFolder"
    File "/oname=Prismata.scr" "${PRISMATA_SCR}"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    Call RemoveWin64Prismata

    WriteRegStr HKLM "${UNINSTALL_KEY}" "${APP_PATH_VALUE}" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Prismata"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Prismata.scr"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR\"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; What the 64-bit Prismata 0.4 left that this one does not replace: its copy in the 64-bit system folder, its
; programs in another folder and its uninstall entry in the 64-bit view. Its settings and converted pictures
; stay where they are, still named by the picture list.
Function RemoveWin64Prismata
    ${If} $Win64Folder == ""
        Return
    ${EndIf}
    ${DisableX64FSRedirection}
    Delete "$WINDIR\System32\Prismata.scr"
    ${EnableX64FSRedirection}
    ${If} $Win64Folder != $INSTDIR
        Delete "$Win64Folder\Prismata.scr"
        Delete "$Win64Folder\PrismataPostInstall.exe"
        Delete "$Win64Folder\Prismata.hlp"
        Delete "$Win64Folder\Prismata.chm"
        Delete "$Win64Folder\Prismata.GID"
        Delete "$Win64Folder\Uninstall.exe"
    ${EndIf}
    SetRegView 64
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    SetRegView 32
    DetailPrint "Replaced the 64-bit Prismata in $Win64Folder."
FunctionEnd

; The welcome and the Display Properties come once the files are in place; a silent install shows nothing.
Function .onInstSuccess
    IfSilent done
    Push "$INSTDIR\PrismataPostInstall.exe"
    Call StartAsDesktopUser
done:
FunctionEnd

!define CLSID_ShellWindows "{9BA05972-F6A8-11CF-A442-00A0C90A8F39}"
!define IID_IShellWindows "{85CB6900-4D95-11CF-960C-0080C7F4EE85}"
!define IID_IServiceProvider "{6D5140C1-7436-11CE-8034-00AA006009FA}"
!define SID_STopLevelBrowser "{4C96BE40-915C-11CF-99D3-00AA004AE837}"
!define IID_IShellBrowser "{000214E2-0000-0000-C000-000000000046}"
!define IID_IDispatch "{00020400-0000-0000-C000-000000000046}"
!define IID_IShellFolderViewDual "{E7A1AF80-4D96-11CF-960C-0080C7F4EE85}"
!define IID_IShellDispatch2 "{A4C6892C-3BA9-11D2-9DEA-00C04FB16162}"

; Starts the program on the stack as the user of the desktop, never elevated: the installer runs as an
; administrator, maybe one who typed a password over a standard user's shoulder, and the screen saver is
; to be chosen in the account of the user who sits there. The desktop shell runs as that user, unelevated;
; its Shell object starts the program (IShellDispatch2::ShellExecute), reached through the desktop's window
; (IShellWindows::FindWindowSW) and its folder view. Without a desktop shell nothing is started.
; Methods go by their place in the interface's table.
Function StartAsDesktopUser
    Exch $0 ; the program
    Push $1 ; the shell windows, then each interface on the way
    Push $2 ; the next interface
    Push $3 ; a VARIANT: the desktop's location, CSIDL_DESKTOP as VT_I4
    Push $4 ; an empty VARIANT
    Push $5 ; the program as a BSTR
    Push $6 ; the desktop window's handle
    System::Call 'ole32::CoInitialize(p 0)'
    System::Call '*(&i2 3, &i2 0, &i2 0, &i2 0, p 0, p 0) p .r3'
    System::Call '*(p 0, p 0, p 0) p .r4'
    System::Call 'ole32::CoCreateInstance(g "${CLSID_ShellWindows}", p 0, i 4, g "${IID_IShellWindows}", *p .r1) i .r2'
    ${If} $2 != 0
        StrCpy $1 0
    ${EndIf}
    ; FindWindowSW(location, root, SWC_DESKTOP, window, SWFO_NEEDDISPATCH, dispatch)
    ${If} $1 P<> 0
        StrCpy $2 0
        System::Call '$1->15(p r3, p r4, i 8, *i .r6, i 1, *p .r2)'
        System::Call '$1->2()'
        StrCpy $1 $2
    ${EndIf}
    ${If} $1 P<> 0
        StrCpy $2 0
        System::Call '$1->0(g "${IID_IServiceProvider}", *p .r2)'
        System::Call '$1->2()'
        StrCpy $1 $2
    ${EndIf}
    ; IServiceProvider::QueryService(SID_STopLevelBrowser, IID_IShellBrowser)
    ${If} $1 P<> 0
        StrCpy $2 0
        System::Call '$1->3(g "${SID_STopLevelBrowser}", g "${IID_IShellBrowser}", *p .r2)'
        System::Call '$1->2()'
        StrCpy $1 $2
    ${EndIf}
    ; IShellBrowser::QueryActiveShellView
    ${If} $1 P<> 0
        StrCpy $2 0
        System::Call '$1->15(*p .r2)'
        System::Call '$1->2()'
        StrCpy $1 $2
    ${EndIf}
    ; IShellView::GetItemObject(SVGIO_BACKGROUND, IID_IDispatch)
    ${If} $1 P<> 0
        StrCpy $2 0
        System::Call '$1->15(i 0, g "${IID_IDispatch}", *p .r2)'
        System::Call '$1->2()'
        StrCpy $1 $2
    ${EndIf}
    ${If} $1 P<> 0
        StrCpy $2 0
        System::Call '$1->0(g "${IID_IShellFolderViewDual}", *p .r2)'
        System::Call '$1->2()'
        StrCpy $1 $2
    ${EndIf}
    ; IShellFolderViewDual::get_Application
    ${If} $1 P<> 0
        StrCpy $2 0
        System::Call '$1->7(*p .r2)'
        System::Call '$1->2()'
        StrCpy $1 $2
    ${EndIf}
    ${If} $1 P<> 0
        StrCpy $2 0
        System::Call '$1->0(g "${IID_IShellDispatch2}", *p .r2)'
        System::Call '$1->2()'
        StrCpy $1 $2
    ${EndIf}
    ; IShellDispatch2::ShellExecute(file, arguments, folder, verb, show): a 32-bit stdcall method takes each
    ; VARIANT by value, its 16 bytes on the stack; empty ones (all zero) ask for the defaults.
    ${If} $1 P<> 0
        System::Call 'oleaut32::SysAllocString(w r0) p .r5'
        System::Call '$1->31(p r5, l 0, l 0, l 0, l 0, l 0, l 0, l 0, l 0) i .r2'
        System::Call 'oleaut32::SysFreeString(p r5)'
        System::Call '$1->2()'
        ${If} $2 != 0
            DetailPrint "The desktop did not start $0 ($2)."
        ${EndIf}
    ${Else}
        DetailPrint "No desktop to start $0 from."
    ${EndIf}
    System::Free $3
    System::Free $4
    System::Call 'ole32::CoUninitialize()'
    Pop $6
    Pop $5
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Pop $0
FunctionEnd

Section "Uninstall"
    Delete "$ScreenSaverFolder\Prismata.scr"
    Delete "$INSTDIR\Prismata.scr"
    Delete "$INSTDIR\PrismataPostInstall.exe"
    Delete "$INSTDIR\Prismata.hlp"
    Delete "$INSTDIR\Prismata.chm"
    ; The help viewer's own index of the file, which it writes beside it.
    Delete "$INSTDIR\Prismata.GID"
    Delete "$INSTDIR\Prismata.ini"
    ; Only the converted copies Prismata made: it never accepts its cache folder as a picture folder.
    Delete "$INSTDIR\ImageCache\*.bmp"
    ; A large library's copies also lie in numbered folders 1, 2, ... inside it, made one after the other.
    StrCpy $0 1
    cache_folders:
        IfFileExists "$INSTDIR\ImageCache\$0\*.*" 0 cache_folders_done
        Delete "$INSTDIR\ImageCache\$0\*.bmp"
        RMDir "$INSTDIR\ImageCache\$0"
        IntOp $0 $0 + 1
        Goto cache_folders
    cache_folders_done:
    RMDir "$INSTDIR\ImageCache"
    Delete "$INSTDIR\Uninstall.exe"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; Never recursive: the user may keep pictures in this folder, and then it stays.
    RMDir "$INSTDIR"
SectionEnd
