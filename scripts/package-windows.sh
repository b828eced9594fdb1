#!/usr/bin/env bash
# Makes the Windows zip and NSIS installer into build-windows/ (or $MLD_WINDOWS_BUILD_DIR): the
# viewer and its console twin, the Qt and runtime DLLs they import, Qt's Windows platform and
# style plugins, and the sample log. Builds the programs first; Qt for Windows comes from
# scripts/build-qt-windows.sh.
# With a code-signing certificate in the environment, every program and DLL of the packages,
# the installer and its uninstaller are signed (osslsigncode); without one, the packages are
# unsigned:
#   MLD_SIGN_CERT       the certificate: PEM or SPC with MLD_SIGN_KEY, or a .pfx/.p12 file alone
#   MLD_SIGN_KEY        its private key
#   MLD_SIGN_PASSWORD   the password of the key or the .pfx/.p12 file, if it has one
#   MLD_SIGN_TIMESTAMP  a time-stamping server (RFC 3161), for signatures that outlive the
#                       certificate
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-windows.sh message-log-display message-log-display-cli
build=${MLD_WINDOWS_BUILD_DIR:-build-windows}
# CPack and makensis sign from folders of their own.
for file in MLD_SIGN_CERT MLD_SIGN_KEY; do
  [ -z "${!file:-}" ] || export "$file=$(realpath "${!file}")"
done
(cd "$build" && cpack -G "ZIP;NSIS" -B "$PWD")
ls -l "$build"/message-log-display-*-windows-x64.{zip,exe}
