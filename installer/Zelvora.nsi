; The Windows installer. scripts/package.sh compiles it with makensis after
; dist/ is complete:  makensis -DDIST=<dist> -DVERSION=<n> -DOUTFILE=<exe>
;
; Installs the release into Program Files with a second copy of the saver in
; the Windows folder (where the Display control panel lists screen savers and
; where chk.sum's slot 4 expects it), lets the saver create and record the
; user's data folder, registers the uninstaller, and ends by handing over to
; the saver's /z, which selects it in the control panel and opens its settings.

Unicode True
Target amd64-unicode
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!ifndef DIST
  !error "DIST (the release folder) is not defined"
!endif
!ifndef VERSION
  !error "VERSION is not defined"
!endif
!ifndef OUTFILE
  !define OUTFILE "${DIST}\ZelvoraSetup.exe"
!endif

!define PRODUCT "Zelvora: Quorrin"
!define SAVER "ZelvoraPelk.scr"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zelvora"

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
UninstallCaption "${PRODUCT} ${VERSION} Uninstall"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Zelvora"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Zelvora"
  SetOutPath "$INSTDIR"
  File "${DIST}\${SAVER}"
  File "${DIST}\ZelvoraPelk.exe"
  File "${DIST}\Brevatch.exe"
  File "${DIST}\images.bdl"
  File "${DIST}\Orbex.CHM"
  File "${DIST}\LICENSES.txt"
  ; Written from these very files, the Windows-folder copy included.
  File "${DIST}\chk.sum"

  SetOutPath "$WINDIR"
  File "${DIST}\${SAVER}"
  SetOutPath "$INSTDIR"

  ; The data folder of the installing user, recorded so that the uninstaller
  ; finds it again.
  ExecWait '"$INSTDIR\${SAVER}" /initialsecurity'

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "PelkSoft"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${SAVER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; A silent install (/S) is someone else's deployment: it opens nothing.
Function .onInstSuccess
  IfSilent done
  Exec '"$INSTDIR\${SAVER}" /z'
done:
FunctionEnd

Section "Uninstall"
  ; The saver removes every data folder it recorded and the record itself.
  ExecWait '"$INSTDIR\${SAVER}" /uninstall'

  ; Only what the installer put here: a folder the user chose may hold more.
  Delete "$INSTDIR\${SAVER}"
  Delete "$INSTDIR\ZelvoraPelk.exe"
  Delete "$INSTDIR\Brevatch.exe"
  Delete "$INSTDIR\images.bdl"
  Delete "$INSTDIR\Orbex.CHM"
  Delete "$INSTDIR\LICENSES.txt"
  Delete "$INSTDIR\chk.sum"
  Delete "$WINDIR\${SAVER}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The machine key the saver made for its record, unless it holds
  ; machine-wide settings (WebServer) or another product of the maker.
  DeleteRegKey /ifempty HKLM "Software\PelkSoft\PelkSaver\Zelvora"
  DeleteRegKey /ifempty HKLM "Software\PelkSoft\PelkSaver"
  DeleteRegKey /ifempty HKLM "Software\PelkSoft"
SectionEnd
