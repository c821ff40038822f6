; SPDX-FileCopyrightText: 2026 The Spettro Segnale developers
; SPDX-License-Identifier: GPL-3.0-or-later
;
; The Windows installer of Spettro Segnale, in Italian: for the user alone, with no
; administrator rights, or for every user of the computer. Built by tools/windows/package.sh,
; which stages the program's files and gives:
;   -DVERSION=1.00             the program's version, read from its version record
;   -DSTAGE_DIR=...            the staged folder, installed as it is
;   -DINSTALL_FILES=...        the File lines of the staged files, folder by folder
;   -DUNINSTALL_FILES=...      the Delete and RMDir lines of the same files, deepest first
;   -DICON=...                 the program's icon, taken from the executable
;   -DOUTFILE=...              the installer to write
; Silent: /S installs for the current user, /S /AllUsers for every user (as an administrator).

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true

!define PRODUCT "Spettro Segnale"
!define PUBLISHER "Spettro Segnale"
!define EXE "spettro-segnale.exe"
!define SHORTCUT "Spettro Segnale.lnk"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\SpettroSegnale"
!define HOMEPAGE "https://spettrosegnale.it"

!ifndef VERSION | STAGE_DIR | INSTALL_FILES | UNINSTALL_FILES | ICON | OUTFILE
  !error "Build with tools/windows/package.sh, which gives VERSION, STAGE_DIR, INSTALL_FILES, UNINSTALL_FILES, ICON and OUTFILE"
!endif

Name "${PRODUCT}"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

; The installer's own version record, in Italian like the program's.
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1040 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1040 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1040 "FileDescription" "Installazione di ${PRODUCT}"
VIAddVersionKey /LANG=1040 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1040 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1040 "LegalCopyright" "© 2026 The Spettro Segnale developers"
VIAddVersionKey /LANG=1040 "Comments" "Software libero, secondo la GNU General Public License, versione 3 o successiva (GPL-3.0-or-later)"

; For the user alone by default: that needs no administrator. Whoever is an administrator may
; choose every user (the page below, or /AllUsers); "Highest" asks Windows for the rights the
; account has, so that choice is there. The mode of an earlier installation is the default of
; the next, and its folder too.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_INSTALLMODE_INSTDIR "${PRODUCT}"
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INIT_TEXT_ALLUSERSNOTPOSSIBLE "Questo account non ha i diritti per installare o disinstallare $(^Name) per tutti gli utenti del computer: accedere come amministratore."
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING

!insertmacro MUI_PAGE_WELCOME
; The GPL asks no acceptance to use the program: the page shows it, "Avanti" goes on.
!define MUI_LICENSEPAGE_TEXT_TOP "Spettro Segnale è software libero: chiunque può usarlo, studiarlo, copiarlo e modificarlo."
!define MUI_LICENSEPAGE_TEXT_BOTTOM "Chi ridistribuisce il programma, modificato o no, lo fa secondo questa licenza."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${STAGE_DIR}/LICENSE.txt"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Italian"

Function .onInit
  ; MultiUser.nsh sets the mode's folder; a folder given with /D= comes first.
  StrCpy $0 $INSTDIR
  !insertmacro MULTIUSER_INIT
  ${If} $0 != ""
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
  ; Run by hand, with neither /AllUsers nor /CurrentUser, the uninstaller removes the
  ; installation it belongs to: the one whose key names its folder.
  ${GetParameters} $0
  ${GetOptions} $0 "/AllUsers" $1
  ${If} ${Errors}
    ${GetOptions} $0 "/CurrentUser" $1
    ${If} ${Errors}
      ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
      ReadRegStr $2 HKCU "${UNINSTALL_KEY}" "InstallLocation"
      ${If} $1 == $INSTDIR
      ${AndIf} $2 != $INSTDIR
        ${If} $MultiUser.Privileges != "Admin"
        ${AndIf} $MultiUser.Privileges != "Power"
          MessageBox MB_OK|MB_ICONSTOP "${MULTIUSER_INIT_TEXT_ALLUSERSNOTPOSSIBLE}" /SD IDOK
          Quit
        ${EndIf}
        Call un.MultiUser.InstallMode.AllUsers
      ${ElseIf} $2 == $INSTDIR
        Call un.MultiUser.InstallMode.CurrentUser
      ${EndIf}
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "${PRODUCT}" SectionProgram
  SectionIn RO
  !include "${INSTALL_FILES}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; SetShellVarContext (chosen by the mode) puts the shortcut in the user's Start menu or in
  ; every user's, and SHCTX is HKCU or HKLM to match.
  CreateShortcut "$SMPROGRAMS\${SHORTCUT}" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "URLInfoAbout" "${HOMEPAGE}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${SHORTCUT}"
  ; The files the installer wrote, one by one: a folder that also holds files of the user's
  ; stays, with those alone. A file in use goes at the next start of Windows.
  !include "${UNINSTALL_FILES}"
  Delete /REBOOTOK "$INSTDIR\${UNINSTALLER}"
  RMDir /REBOOTOK "$INSTDIR"
  ; The user's own programs folder, made by the first installation for the user alone, goes
  ; too when it is left empty (RMDir never removes a folder with anything in it).
  ${If} $MultiUser.InstallMode == "CurrentUser"
    ; Where MultiUser.nsh puts it (wine knows no FOLDERID_UserProgramFiles).
    GetKnownFolderPath $0 {5CD7AEE2-2219-4A67-B85D-6C9CE15660CB} ; FOLDERID_UserProgramFiles
    StrCmp $0 "" 0 +2
      StrCpy $0 "$LOCALAPPDATA\Programs"
    ${GetParent} "$INSTDIR" $1
    ${If} $0 == $1
      RMDir "$0"
    ${EndIf}
  ${EndIf}
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"

  ; The uninstaller runs from a copy in a folder ~nsuN.tmp of the temporary files, which it
  ; marks to be removed at the next start of Windows, folder first: the folder, not yet empty
  ; then, would stay. Marked once more, after the copy, it goes too.
  ${GetFileName} "$EXEDIR" $0
  ${GetParent} "$EXEDIR" $1
  StrCpy $0 $0 4
  ${If} $EXEDIR != $INSTDIR
  ${AndIf} $0 == "~nsu"
  ${AndIf} $1 == $TEMP
    RMDir /REBOOTOK "$EXEDIR"
  ${EndIf}
SectionEnd
