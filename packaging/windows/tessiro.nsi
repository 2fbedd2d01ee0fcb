; Tessiro installer: the program under Program Files, a Start-menu entry and an
; uninstaller. The layout (bin\ and share\tessiro\) is the one the program takes
; for an installed copy: it then keeps MASTER, PROJECTS and its INI file in the
; user's data folder (%LOCALAPPDATA%\tessiro), which the uninstaller leaves alone.
; makensis -DVERSION=… -DSTAGE=<portable folder> -DOUTFILE=<setup.exe> [-DICON=<.ico>]
; A 64-bit installer for a 64-bit program (it also runs under a 64-bit-only Wine).
Target amd64-unicode
!include "MUI2.nsh"
!include "x64.nsh"

Name "Tessiro ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Tessiro"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
!ifdef ICON
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!endif

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessiro"

; The Start-menu entry is for every user of the machine, as the program is.
Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Tessiro"
  SetOutPath "$INSTDIR\bin"
  File /r /x help2.dat /x README.txt "${STAGE}\*.*"
  SetOutPath "$INSTDIR\share\tessiro"
  File "${STAGE}\help2.dat"
  File "${STAGE}\README.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\Tessiro"
  CreateShortcut "$SMPROGRAMS\Tessiro\Tessiro.lnk" "$INSTDIR\bin\tessiro.exe" "" "$INSTDIR\bin\tessiro.exe" 0
  CreateShortcut "$SMPROGRAMS\Tessiro\Uninstall Tessiro.lnk" "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "Tessiro"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\bin\tessiro.exe"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

; Only what the installer put there: projects live in the user's data folder.
Section "Uninstall"
  RMDir /r "$INSTDIR\bin"
  Delete "$INSTDIR\share\tessiro\help2.dat"
  Delete "$INSTDIR\share\tessiro\README.txt"
  RMDir "$INSTDIR\share\tessiro"
  RMDir "$INSTDIR\share"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tessiro\Tessiro.lnk"
  Delete "$SMPROGRAMS\Tessiro\Uninstall Tessiro.lnk"
  RMDir "$SMPROGRAMS\Tessiro"
  DeleteRegKey HKLM "${UNINST_KEY}"
SectionEnd
