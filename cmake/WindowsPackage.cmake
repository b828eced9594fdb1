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
# Signed where they are installed, after CPack's strip (which would break a signature) and
# before CPack packs them.
set(mld_sign_script ${PROJECT_SOURCE_DIR}/cmake/SignWindows.cmake)
foreach(program IN ITEMS message-log-display message-log-display-cli)
  install(CODE "
    set(MLD_SIGN_FILE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}.exe\")
    include(\"${mld_sign_script}\")")
endforeach()
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
# Named from the programs folder (CPACK_NSIS_EXECUTABLES_DIRECTORY, bin).
set(CPACK_NSIS_MUI_FINISHPAGE_RUN "message-log-display.exe")
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
!finalize '"@CMAKE_COMMAND@" "-DMLD_SIGN_FILE=%1" -P "@mld_sign_script@"' = 0
!uninstfinalize '"@CMAKE_COMMAND@" "-DMLD_SIGN_FILE=%1" -P "@mld_sign_script@"' = 0
]=] CPACK_NSIS_DEFINES @ONLY)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# "Open with" for .log files through a ProgID of our own, listed under the type's
# OpenWithProgids and the application's SupportedTypes; the .log type's default program stays
# whatever the user chose. The key of the earlier "Open with" entry goes on install too.
# SHChangeNotify(SHCNE_ASSOCCHANGED) tells Explorer that associations changed.
set(mld_open_command [=[$\"$INSTDIR\bin\message-log-display.exe$\" $\"%1$\"]=])
set(mld_tell_shell [=[System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)']=])
string(CONFIGURE [=[
  WriteRegStr HKCR 'MessageLogDisplay.log' '' 'Vantrel message log'
  WriteRegStr HKCR 'MessageLogDisplay.log\DefaultIcon' '' '$INSTDIR\bin\message-log-display.exe,0'
  WriteRegStr HKCR 'MessageLogDisplay.log\shell\open\command' '' '@mld_open_command@'
  WriteRegNone HKCR '.log\OpenWithProgids' 'MessageLogDisplay.log'
  WriteRegStr HKCR 'Applications\message-log-display.exe\shell\open\command' '' '@mld_open_command@'
  WriteRegStr HKCR 'Applications\message-log-display.exe\SupportedTypes' '.log' ''
  DeleteRegKey HKCR '.log\OpenWithList\message-log-display.exe'
  @mld_tell_shell@
]=] CPACK_NSIS_EXTRA_INSTALL_COMMANDS @ONLY)
string(CONFIGURE [=[
  DeleteRegKey HKCR 'MessageLogDisplay.log'
  DeleteRegValue HKCR '.log\OpenWithProgids' 'MessageLogDisplay.log'
  DeleteRegKey HKCR 'Applications\message-log-display.exe'
  DeleteRegKey HKCR '.log\OpenWithList\message-log-display.exe'
  @mld_tell_shell@
]=] CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS @ONLY)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "ZIP;NSIS")
include(CPack)
