# Signs the Windows programs and DLLs MLD_SIGN_FILES (a list) in place (Authenticode, SHA-256,
# with osslsigncode) when a certificate is given in the environment, and leaves them as they are
# otherwise: MLD_SIGN_CERT (PEM or SPC with MLD_SIGN_KEY, or a PKCS#12 file alone), MLD_SIGN_KEY
# (PEM, DER or PVK), MLD_SIGN_PASSWORD, MLD_SIGN_TIMESTAMP, as scripts/package-windows.sh
# describes them.
# Run as `cmake -DMLD_SIGN_FILES=<file> -P SignWindows.cmake` or included with MLD_SIGN_FILES
# set: the package's install step signs every program and DLL, makensis the installer and its
# uninstaller.
if(NOT DEFINED ENV{MLD_SIGN_CERT} OR "$ENV{MLD_SIGN_CERT}" STREQUAL "")
  return()
endif()
find_program(MLD_OSSLSIGNCODE osslsigncode REQUIRED)

set(mld_sign_args -h sha256 -n "Message Log Display")
if(DEFINED ENV{MLD_SIGN_KEY} AND NOT "$ENV{MLD_SIGN_KEY}" STREQUAL "")
  list(APPEND mld_sign_args -certs "$ENV{MLD_SIGN_CERT}" -key "$ENV{MLD_SIGN_KEY}")
elseif("$ENV{MLD_SIGN_CERT}" MATCHES "\\.(pfx|p12)$")
  list(APPEND mld_sign_args -pkcs12 "$ENV{MLD_SIGN_CERT}")
else()
  message(FATAL_ERROR "MLD_SIGN_CERT is not a .pfx or .p12 file, and MLD_SIGN_KEY is not set")
endif()
if(DEFINED ENV{MLD_SIGN_TIMESTAMP} AND NOT "$ENV{MLD_SIGN_TIMESTAMP}" STREQUAL "")
  list(APPEND mld_sign_args -ts "$ENV{MLD_SIGN_TIMESTAMP}")
endif()
# The password goes through a file only its owner can read: on the command line any user of
# the machine could read it while osslsigncode runs.
list(GET MLD_SIGN_FILES 0 mld_first_file)
set(mld_password_file "${mld_first_file}.password")
if(DEFINED ENV{MLD_SIGN_PASSWORD})
  file(TOUCH "${mld_password_file}")
  file(CHMOD "${mld_password_file}" PERMISSIONS OWNER_READ OWNER_WRITE)
  file(WRITE "${mld_password_file}" "$ENV{MLD_SIGN_PASSWORD}")
  list(APPEND mld_sign_args -readpass "${mld_password_file}")
endif()

foreach(mld_file IN LISTS MLD_SIGN_FILES)
  execute_process(
    COMMAND ${MLD_OSSLSIGNCODE} sign ${mld_sign_args} -in "${mld_file}" -out "${mld_file}.signed"
    RESULT_VARIABLE mld_sign_result OUTPUT_QUIET)
  if(NOT mld_sign_result EQUAL 0)
    file(REMOVE "${mld_password_file}" "${mld_file}.signed")
    message(FATAL_ERROR "osslsigncode could not sign ${mld_file}")
  endif()
  file(RENAME "${mld_file}.signed" "${mld_file}")
  message(STATUS "Signed: ${mld_file}")
endforeach()
file(REMOVE "${mld_password_file}")
