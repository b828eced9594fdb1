# Provides GTest::gtest_main for the target system. Debian's libgtest-dev is built for the host
# only, so a cross build compiles GoogleTest from the source Debian ships with it.
if(CMAKE_CROSSCOMPILING)
  set(MLD_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH
      "GoogleTest source to compile when cross-compiling")
  if(NOT EXISTS ${MLD_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest source in ${MLD_GOOGLETEST_SOURCE_DIR} (Debian: googletest)")
  endif()
  set(BUILD_GMOCK OFF CACHE BOOL "")
  set(INSTALL_GTEST OFF CACHE BOOL "")
  add_subdirectory(${MLD_GOOGLETEST_SOURCE_DIR} ${PROJECT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)
