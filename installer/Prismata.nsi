; PrismataSetup.exe: installs the Prismata screen saver. Built by the Windows build with makensis:
;   makensis -DPRISMATA_SCR=<Prismata.scr> -DPOSTINSTALL_EXE=<PrismataPostInstall.exe>
;            -DHELP_FILE=<Prismata.hlp> -DHTML_HELP_FILE=<Prismata.chm> -DAPP_ICON=<Prismata.ico>
;            -DOUTFILE=<PrismataSetup.exe> Prismata.nsi
; Silent install: PrismataSetup.exe /S [/D=C:\Target Folder]    Silent uninstall: Uninstall.exe /S

!ifndef PRISMATA_SCR | POSTINSTALL_EXE | HELP_FILE | HTML_HELP_FILE | APP_ICON | OUTFILE
    !error "define PRISMATA_SCR, POSTINSTALL_EXE, HELP_FILE, HTML_HELP_FILE, APP_ICON and OUTFILE"
!endif

; The programs are 64-bit: so is the installer, which then sees the 64-bit system folder and registry.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

; Prismata finds its folder through this entry and value, the ones an Inno Setup installer makes.
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Prismata_is1"
!define APP_PATH_VALUE "Inno Setup: App Path"
!define VERSION "0.4.1"

Name "Prismata"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Prismata"
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

Section "Prismata"
    SetRegView 64
    SetOutPath "$INSTDIR"
    File "/oname=Prismata.scr" "${PRISMATA_SCR}"
    File "/oname=PrismataPostInstall.exe" "${POSTINSTALL_EXE}"
    ; Both settings dialogs open one of them from the install folder: the .chm where the system has no
    ; WinHelp (Vista and later), the .hlp elsewhere.
    File "/oname=Prismata.hlp" "${HELP_FILE}"
    File "/oname=Prismata.chm" "${HTML_HELP_FILE}"
    CreateDirectory "$INSTDIR\ImageCache"
    ; The Display Properties list the screen savers they find in the system folder.
    SetOutPath "$SYSDIR"
    File "/oname=Prismata.scr" "${PRISMATA_SCR}"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

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

; The welcome and the Display Properties come once the files are in place; a silent install shows nothing.
Function .onInstSuccess
    IfSilent done
    Exec '"$INSTDIR\PrismataPostInstall.exe"'
done:
FunctionEnd

Section "Uninstall"
    SetRegView 64
    Delete "$SYSDIR\Prismata.scr"
    Delete "$INSTDIR\Prismata.scr"
    Delete "$INSTDIR\PrismataPostInstall.exe"
    Delete "$INSTDIR\Prismata.hlp"
    Delete "$INSTDIR\Prismata.chm"
    ; The help viewer's own index of the file, which it writes beside it.
    Delete "$INSTDIR\Prismata.GID"
    Delete "$INSTDIR\Prismata.ini"
    ; Only the converted copies Prismata made: it never accepts its cache folder as a picture folder.
    Delete "$INSTDIR\ImageCache\*.bmp"
    RMDir "$INSTDIR\ImageCache"
    Delete "$INSTDIR\Uninstall.exe"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ; Never recursive: the user may keep pictures in this folder, and then it stays.
    RMDir "$INSTDIR"
SectionEnd
