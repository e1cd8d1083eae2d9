; Installer of the Tarnwick data source: the 32-bit source into twain_32, and on 64-bit Windows
; the 64-bit source into twain_64. makensis -DDS32=<i686 tarnwick.ds> -DDS64=<x86_64 tarnwick.ds>
; -DOUTFILE=<installer>; -DAMD64 builds the same installer as a 64-bit program.
Unicode true
!ifdef AMD64
Target amd64-unicode
!endif

; LogicLib's own labels of ${If} blocks without an ${Else} are reported as unused.
!pragma warning disable 6012
!include LogicLib.nsh
!include x64.nsh

!ifndef OUTFILE
!define OUTFILE "tarnwick-setup.exe"
!endif
!define PRODUCT "Tarnwick"
!define VERSION "1.37"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarnwick"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
    ${If} ${RunningX64}
        SetRegView 64
    ${EndIf}
FunctionEnd

Function un.onInit
    ${If} ${RunningX64}
        SetRegView 64
    ${EndIf}
FunctionEnd

Section "Tarnwick data source"
    ; A 32-bit installer on 64-bit Windows must not be redirected away from the real folders.
    ${DisableX64FSRedirection}
    SetOutPath "$WINDIR\twain_32\${PRODUCT}"
    File "/oname=tarnwick.ds" "${DS32}"
    ${If} ${RunningX64}
        SetOutPath "$WINDIR\twain_64\${PRODUCT}"
        File "/oname=tarnwick.ds" "${DS64}"
    ${EndIf}
    ${EnableX64FSRedirection}

    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} TWAIN data source"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    ${DisableX64FSRedirection}
    Delete "$WINDIR\twain_32\${PRODUCT}\tarnwick.ds"
    RMDir "$WINDIR\twain_32\${PRODUCT}"
    ${If} ${RunningX64}
        Delete "$WINDIR\twain_64\${PRODUCT}\tarnwick.ds"
        RMDir "$WINDIR\twain_64\${PRODUCT}"
    ${EndIf}
    ${EnableX64FSRedirection}
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
