# THIRD-PARTY-NOTICES.txt beside the viewer, written when the package folder is made (install
# time, also under CPack) by scripts/third_party_notices.py from the DLLs that are in it. Qt's
# build folder, which says what Qt compiled, and Qt's source, which holds the license files,
# are found from the Qt in use; the compiler runtime's notices are Debian's copyright files.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
file(STRINGS ${mld_qt_bin}/../lib/Qt6Core.prl mld_qt_build_dir REGEX "^QMAKE_PRL_BUILD_DIR")
string(REGEX REPLACE "^QMAKE_PRL_BUILD_DIR = (.*)/src/corelib$" "\\1" mld_qt_build_dir
                     "${mld_qt_build_dir}")
file(STRINGS ${mld_qt_build_dir}/CMakeCache.txt mld_qt_source_dir
     REGEX "^CMAKE_HOME_DIRECTORY:INTERNAL=")
string(REGEX REPLACE "^[^=]*=" "" mld_qt_source_dir "${mld_qt_source_dir}")
file(STRINGS ${mld_qt_source_dir}/debian/changelog mld_qt_debian_version LIMIT_COUNT 1)
string(REGEX REPLACE "^[^(]*\\(([^)]*)\\).*" "\\1" mld_qt_debian_version
                     "${mld_qt_debian_version}")
set(mld_notices_command
    "${Python3_EXECUTABLE}" "${PROJECT_SOURCE_DIR}/scripts/third_party_notices.py"
    --qt-source "${mld_qt_source_dir}" --qt-build "${mld_qt_build_dir}"
    --qt-debian-version "${mld_qt_debian_version}"
    --runtime-copyright
    "GCC runtime (libgcc_s_seh-1.dll, libstdc++-6.dll): GPL-3.0 with the GCC Runtime Library Exception=/usr/share/doc/gcc-mingw-w64-base/copyright"
    --runtime-copyright
    "mingw-w64 and winpthreads (libwinpthread-1.dll)=/usr/share/doc/mingw-w64-common/copyright")
list(TRANSFORM mld_notices_command REPLACE "^(.+)$" "\"\\1\"")
list(JOIN mld_notices_command " " mld_notices_command)
install(CODE "
  set(package \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  execute_process(COMMAND ${mld_notices_command} --package \"\${package}\"
                          --output \"\${package}/${CMAKE_INSTALL_BINDIR}/THIRD-PARTY-NOTICES.txt\"
                  COMMAND_ERROR_IS_FATAL ANY)")
