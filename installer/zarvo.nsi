; The Windows installer, ZarvoSetup-<version>.exe. It carries both builds of
; Zarvo.scr and puts the one that matches Windows in the system folder, where
; the screen-saver settings list it. makensis gets the version and the files:
;   makensis -DVERSION=1.0.0 -DSCR32=... -DSCR64=... -DOUTFILE=... zarvo.nsi
; Command line of the installer: /S silent, /CURRENT make Zarvo the current
; screen saver (the check box's default when not silent).
; Of the uninstaller: /S silent, /REMOVESETTINGS also remove the stored settings.
Unicode true
SetCompressor /SOLID lzma
; Installed files get the time they are written; the installer stores none,
; so two builds from the same files are the same bytes.
SetDateSave off
RequestExecutionLevel admin
ManifestSupportedOS all

!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zarvo"
!define SETTINGS_KEY "Software\Quillmark\ScreenSavers\Zarvo"
!define DESKTOP_KEY "Control Panel\Desktop"

Name "Zarvo ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
BrandingText "Zarvo ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 ProductName "Zarvo"
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 FileDescription "Zarvo screen saver setup"
VIAddVersionKey /LANG=1033 CompanyName "Quillmark"
VIAddVersionKey /LANG=1033 LegalCopyright "Copyright (c) 2026 Zarvo's authors (MIT licence)"

Var MakeCurrent
Var CurrentBox
Var SaverPath

Page custom ChooseCurrentPage ChooseCurrentLeave
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The 64-bit system folder on 64-bit Windows, where a 32-bit installer only
; sees it with file-system redirection off and the 64-bit registry view.
!macro UseNativeViews
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
    SetRegView 64
  ${EndIf}
!macroend

Function .onInit
  !insertmacro UseNativeViews
  ${If} ${RunningX64}
    StrCpy $INSTDIR "$PROGRAMFILES64\Zarvo"
  ${Else}
    StrCpy $INSTDIR "$PROGRAMFILES\Zarvo"
  ${EndIf}
  StrCpy $SaverPath "$WINDIR\System32\Zarvo.scr"
  StrCpy $MakeCurrent 1
  ${If} ${Silent}
    StrCpy $MakeCurrent 0
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/CURRENT" $R1
  ${IfNot} ${Errors}
    StrCpy $MakeCurrent 1
  ${EndIf}
FunctionEnd

Function ChooseCurrentPage
  nsDialogs::Create 1018
  Pop $R0
  ${NSD_CreateLabel} 0 0 100% 24u "Zarvo ${VERSION} will be installed into $WINDIR\System32, where the screen-saver settings list it."
  Pop $R0
  ${NSD_CreateCheckBox} 0 32u 100% 12u "Make Zarvo the current screen saver"
  Pop $CurrentBox
  ${If} $MakeCurrent == 1
    ${NSD_Check} $CurrentBox
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ChooseCurrentLeave
  ${NSD_GetState} $CurrentBox $MakeCurrent
  ${If} $MakeCurrent == ${BST_CHECKED}
    StrCpy $MakeCurrent 1
  ${Else}
    StrCpy $MakeCurrent 0
  ${EndIf}
FunctionEnd

Section "Zarvo"
  SetOutPath "$WINDIR\System32"
  ${If} ${RunningX64}
    File "/oname=Zarvo.scr" "${SCR64}"
  ${Else}
    File "/oname=Zarvo.scr" "${SCR32}"
  ${EndIf}
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Zarvo screen saver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Zarvo's authors"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SaverPath"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ${If} $MakeCurrent == 1
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$SaverPath"
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  ${EndIf}
SectionEnd

Function un.onInit
  !insertmacro UseNativeViews
  StrCpy $SaverPath "$WINDIR\System32\Zarvo.scr"
FunctionEnd

Section "Uninstall"
  Delete "$SaverPath"
  ; A current screen saver that is no longer there would leave the desktop
  ; naming a missing file.
  ReadRegStr $R0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} $R0 == $SaverPath
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}
  ; The stored settings are the person's: they stay unless asked for.
  ${GetParameters} $R1
  ClearErrors
  ${GetOptions} $R1 "/REMOVESETTINGS" $R2
  ${If} ${Errors}
    MessageBox MB_YESNO|MB_DEFBUTTON2 "Also remove your Zarvo settings?" /SD IDNO IDNO keep
  ${EndIf}
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  keep:
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
