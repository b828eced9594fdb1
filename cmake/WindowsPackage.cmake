# The Windows package: the viewer and its console twin with the Qt and compiler runtime DLLs they
# need, found by CMake from the executables' imports rather than listed by hand, Qt's platform
# and style plugins, and a zip and an NSIS installer made by CPack (`cpack -G "ZIP;NSIS"` in the
# build folder), signed when a certificate is given (see SignWindows.cmake).

# Where the DLLs that the viewer imports live on this machine: Qt's own, and the mingw runtime.
get_target_property(mld_qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
get_filename_component(mld_qt_bin "${mld_qt_core_dll}" DIRECTORY)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE mld_libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(mld_gcc_runtime "${mld_libstdcxx}" DIRECTORY)

# Reading a Windows executable's imports takes mingw's objdump (prefixed on Linux, plain in
# MSYS2). CMake asks for the DLLs by their lowercased names, as Windows would find them; on a
# case-sensitive disk the candidates are therefore copied once under such names, and without the
# debug symbols that make up most of the compiler runtime's size (CPack strips only what this
# project builds).
set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM "windows+pe")
set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL "objdump")
find_program(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND NAMES x86_64-w64-mingw32-objdump objdump
             REQUIRED)
set(mld_dll_dir ${PROJECT_BINARY_DIR}/runtime-dlls)
file(MAKE_DIRECTORY ${mld_dll_dir})
file(GLOB mld_candidate_dlls ${mld_qt_bin}/*.dll ${mld_gcc_runtime}/*.dll
     /usr/x86_64-w64-mingw32/lib/*.dll)
foreach(dll IN LISTS mld_candidate_dlls)
  get_filename_component(name "${dll}" NAME)
  string(TOLOWER "${name}" name)
  if(NOT EXISTS ${mld_dll_dir}/${name})
    file(COPY_FILE "${dll}" ${mld_dll_dir}/${name}.unstripped)
    execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded ${mld_dll_dir}/${name}.unstripped
                    COMMAND_ERROR_IS_FATAL ANY)
    file(RENAME ${mld_dll_dir}/${name}.unstripped ${mld_dll_dir}/${name})
  endif()
endforeach()

install(TARGETS message-log-display message-log-display-cli RUNTIME_DEPENDENCY_SET mld_runtime
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(RUNTIME_DEPENDENCY_SET mld_runtime
        DESTINATION ${CMAKE_INSTALL_BINDIR}
        # Qt's and the compiler's DLLs go with the viewer; Windows brings everything else.
        PRE_INCLUDE_REGEXES "^qt6" "^libstdc" "^libgcc" "^libwinpthread" "^zlib"
        PRE_EXCLUDE_REGEXES ".*"
        DIRECTORIES ${mld_dll_dir})

# Plugins are loaded, not imported, so they are named: the Windows platform, its native style.
foreach(plugin IN ITEMS Qt6::QWindowsIntegrationPlugin Qt6::QWindowsVistaStylePlugin)
  if(TARGET ${plugin})
    get_target_property(mld_plugin_dll ${plugin} IMPORTED_LOCATION_RELEASE)
    get_filename_component(mld_plugin_kind "${mld_plugin_dll}" DIRECTORY)
    get_filename_component(mld_plugin_kind "${mld_plugin_kind}" NAME)
    install(FILES "${mld_plugin_dll}" DESTINATION ${CMAKE_INSTALL_BINDIR}/${mld_plugin_kind})
  endif()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/examples/sample.log DESTINATION examples)
include(${CMAKE_CURRENT_LIST_DIR}/ThirdPartyNotices.cmake)
# Every program and DLL the package holds is signed, where it is installed: Smart App Control
# and application control policies judge each DLL a program loads, and block an unsigned one
# without reputation. Last of the install steps, so after CPack's strip (which would break a
# signature) and before CPack packs them; the files are those this install wrote.
set(mld_sign_script ${PROJECT_SOURCE_DIR}/cmake/SignWindows.cmake)
install(CODE "
  set(MLD_SIGN_FILES \${CMAKE_INSTALL_MANIFEST_FILES})
  list(FILTER MLD_SIGN_FILES INCLUDE REGEX \"[.](exe|dll)\$\")
  include(\"${mld_sign_script}\")")

set(CPACK_PACKAGE_NAME "Message Log Display")
set(CPACK_PACKAGE_VENDOR "Vantrel")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "message-log-display-${PROJECT_VERSION}-windows-x64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Message Log Display")
set(CPACK_PACKAGE_EXECUTABLES "message-log-display" "Message Log Display")
set(CPACK_NSIS_MUI_ICON "${PROJECT_SOURCE_DIR}/ui/window/icons/message-log-display.ico")
set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\message-log-display.exe")
set(CPACK_NSIS_DISPLAY_NAME "Message Log Display")
set(CPACK_NSIS_MUI_UNIICON "${CPACK_NSIS_MUI_ICON}")
set(CPACK_NSIS_WELCOME_TITLE "Message Log Display ${PROJECT_VERSION}")
set(CPACK_NSIS_FINISH_TITLE "Message Log Display is installed")
# One entry in "Installed apps" for every version, so that an installer finds the install
# before it (CPack would put the version in the entry's name).
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Message Log Display")
# The project has no license of its own yet; a LICENSE file, once there, is what the installer
# asks the user to accept, and until then there is no license page at all.
if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
  set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
else()
  set(CPACK_NSIS_IGNORE_LICENSE_PAGE ON)
endif()
# CPack hands every text below to NSIS exactly as written here.
set(CPACK_VERBATIM_VARIABLES ON)
# A 64-bit installer for a 64-bit program: it installs into the 64-bit Program Files and
# registry, and runs where only 64-bit programs can. Its file properties (and its uninstaller's)
# name the program and its version, and the footer of its pages names the program rather than
# NSIS; written here, as CPack's own branding option adds a /TRIM that makensis refuses outside
# Windows. makensis signs the installer and, while it is made, the uninstaller inside it, when
# a certificate is given.
#
# The last page offers to start the viewer through Explorer, which starts it as the user signed
# in to the desktop and without the installer's administrator rights. Started by the installer,
# it would run elevated: Windows would block files dropped from Explorer, the user's mapped
# network drives would be missing and its settings would go to the administrator's profile.
#
# Before any file is copied, the installer makes sure that neither program runs from the
# install folder, nor from that of an earlier install: Windows refuses to open a running
# program's file for writing (renaming it is allowed, so that tells nothing), and so refuses the
# installer's copy of it, which would leave a mix of versions. It asks until both are closed;
# under /S, or when the user cancels, it ends with exit code 32 (ERROR_SHARING_VIOLATION, what
# Windows would have refused it with); the uninstaller does the same before it removes a file.
# Then every earlier install is uninstalled by its own
# uninstaller, so that nothing an earlier version had and this one does not stays behind. The
# earlier uninstallers are found by their entries in "Installed apps": this version's, and those
# of earlier versions, which named theirs with their version ("Message Log Display 2.2.0.1").
# Each runs silently where it is (_?=), which leaves it, and only it, for the installer to
# remove. If one fails, the installer ends with exit code 2, NSIS's own for a stopped install.
string(CONFIGURE [=[
Target amd64-unicode
VIProductVersion @PROJECT_VERSION@
VIFileVersion @PROJECT_VERSION@
VIAddVersionKey /LANG=0 ProductName "Message Log Display"
VIAddVersionKey /LANG=0 ProductVersion "@PROJECT_VERSION@"
VIAddVersionKey /LANG=0 FileVersion "@PROJECT_VERSION@"
VIAddVersionKey /LANG=0 CompanyName "Vantrel"
VIAddVersionKey /LANG=0 FileDescription "Message Log Display Setup"
BrandingText "Message Log Display @PROJECT_VERSION@"
!finalize '"@CMAKE_COMMAND@" "-DMLD_SIGN_FILES=%1" -P "@mld_sign_script@"' = 0
!uninstfinalize '"@CMAKE_COMMAND@" "-DMLD_SIGN_FILES=%1" -P "@mld_sign_script@"' = 0

!include LogicLib.nsh
!include FileFunc.nsh
!define MLD_UNINSTALL_KEYS "Software\Microsoft\Windows\CurrentVersion\Uninstall"

!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartViewerAsUser
Function StartViewerAsUser
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\bin\message-log-display.exe"'
FunctionEnd

!macro MLD_NOTE_IF_RUNNING PROGRAM
  ${If} ${FileExists} "${PROGRAM}"
    ClearErrors
    FileOpen $R7 "${PROGRAM}" a
    ${If} ${Errors}
      StrCpy $R8 running
    ${Else}
      FileClose $R7
    ${EndIf}
  ${EndIf}
!macroend
!macro MLD_CLOSE_VIEWER_IN PREFIX
Function ${PREFIX}CloseViewerIn
  Exch $R9
  Push $R8
  Push $R7
  check:
    StrCpy $R8 ""
    !insertmacro MLD_NOTE_IF_RUNNING "$R9\bin\message-log-display.exe"
    !insertmacro MLD_NOTE_IF_RUNNING "$R9\bin\message-log-display-cli.exe"
    ${If} $R8 != ""
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "Message Log Display is running from $R9.$\n$\nClose all its windows and consoles, then choose Retry." \
        /SD IDCANCEL IDRETRY check
      SetErrorLevel 32
      Quit
    ${EndIf}
  Pop $R7
  Pop $R8
  Pop $R9
FunctionEnd
!macroend
!insertmacro MLD_CLOSE_VIEWER_IN ""
!insertmacro MLD_CLOSE_VIEWER_IN "un."

Function RemoveEarlierInstalls
  StrCpy $R0 0
  ${Do}
    EnumRegKey $R1 HKLM "${MLD_UNINSTALL_KEYS}" $R0
    ${IfThen} $R1 == "" ${|} ${Break} ${|}
    IntOp $R0 $R0 + 1
    StrCpy $R2 "$R1 " 20
    ReadRegStr $R3 HKLM "${MLD_UNINSTALL_KEYS}\$R1" "Publisher"
    ReadRegStr $R4 HKLM "${MLD_UNINSTALL_KEYS}\$R1" "UninstallString"
    StrCpy $R5 $R4 1
    ${IfThen} $R5 == '"' ${|} StrCpy $R4 $R4 -1 1 ${|}
    ${If} $R2 == "Message Log Display "
    ${AndIf} $R3 == "Vantrel"
    ${AndIf} ${FileExists} $R4
      ${GetParent} $R4 $R5
      Push $R5
      Call CloseViewerIn
      ClearErrors
      ExecWait '"$R4" /S _?=$R5' $R6
      ${If} ${Errors}
      ${OrIf} $R6 <> 0
        MessageBox MB_OK|MB_ICONSTOP "The installed Message Log Display in $R5 could not be uninstalled." /SD IDOK
        SetErrorLevel 2
        Quit
      ${EndIf}
      Delete $R4
      ${IfThen} $R5 != $INSTDIR ${|} RMDir $R5 ${|}
      DeleteRegKey HKLM "${MLD_UNINSTALL_KEYS}\$R1"
      ; The entries after it moved up.
      StrCpy $R0 0
    ${EndIf}
  ${Loop}
FunctionEnd
]=] CPACK_NSIS_DEFINES @ONLY)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# "Open with" for .log files through a ProgID of our own, listed under the type's
# OpenWithProgids and the application's SupportedTypes; the .log type's default program stays
# whatever the user chose. All of it goes under HKLM\Software\Classes, for every user of the
# machine: HKCR, written by an installer that runs elevated, may land in the administrator's own
# HKCU\Software\Classes instead, out of sight of the user who signed in.
# SHChangeNotify(SHCNE_ASSOCCHANGED) tells Explorer that associations changed.
set(mld_open_command [=[$\"$INSTDIR\bin\message-log-display.exe$\" $\"%1$\"]=])
set(mld_tell_shell [=[System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)']=])
string(CONFIGURE [=[
  WriteRegStr HKLM 'Software\Classes\MessageLogDisplay.log' '' 'Vantrel message log'
  WriteRegStr HKLM 'Software\Classes\MessageLogDisplay.log\DefaultIcon' '' '$INSTDIR\bin\message-log-display.exe,0'
  WriteRegStr HKLM 'Software\Classes\MessageLogDisplay.log\shell\open\command' '' '@mld_open_command@'
  WriteRegNone HKLM 'Software\Classes\.log\OpenWithProgids' 'MessageLogDisplay.log'
  WriteRegStr HKLM 'Software\Classes\Applications\message-log-display.exe\shell\open\command' '' '@mld_open_command@'
  WriteRegStr HKLM 'Software\Classes\Applications\message-log-display.exe\SupportedTypes' '.log' ''
  @mld_tell_shell@
]=] CPACK_NSIS_EXTRA_INSTALL_COMMANDS @ONLY)
string(CONFIGURE [=[
  Push $INSTDIR
  Call un.CloseViewerIn
  DeleteRegKey HKLM 'Software\Classes\MessageLogDisplay.log'
  DeleteRegValue HKLM 'Software\Classes\.log\OpenWithProgids' 'MessageLogDisplay.log'
  DeleteRegKey HKLM 'Software\Classes\Applications\message-log-display.exe'
  @mld_tell_shell@
]=] CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS @ONLY)
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS [=[
  Push $INSTDIR
  Call CloseViewerIn
  Call RemoveEarlierInstalls
]=])
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "ZIP;NSIS")
include(CPack)
