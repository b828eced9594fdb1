#!/usr/bin/env bash
# Builds Qt for Windows once, from Debian's own qt6-base source with the mingw-w64 compiler,
# into ${MLD_CACHE_DIR:-~/.cache/message-log-display}/qt6-mingw. A finished build is reused:
# the stamp file is written only after a successful install.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
cache=${MLD_CACHE_DIR:-$HOME/.cache/message-log-display}
prefix=$cache/qt6-mingw
work=$cache/qt6-source
stamp=$prefix/.complete
qt_version=6.4.2

fail() {
  echo "build-qt-windows: $*" >&2
  exit 1
}

if [ -f "$stamp" ]; then
  echo "Qt for Windows is ready in $prefix"
  exit 0
fi

[ "${MLD_SKIP_DEPS:-0}" = 1 ] || scripts/install-deps-windows.sh
host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
[[ $host_version == "$qt_version"* ]] ||
  fail "the host Qt (qt6-base-dev) is '${host_version:-missing}', the cross build needs $qt_version"

# apt-get source needs deb-src entries for the suites the deb entries already name.
add_source_entries() {
  local list=/etc/apt/sources.list.d/mld-qt-source.sources
  grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/ && return
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  [ -f /etc/apt/sources.list.d/debian.sources ] ||
    fail "no deb-src entry and no /etc/apt/sources.list.d/debian.sources to copy one from"
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
    "${sudo[@]}" tee "$list" >/dev/null
  "${sudo[@]}" apt-get update -qq >&2
}

# The unpacked source is reused only when a former fetch got to its end.
fetch_source() {
  if [ ! -f "$work/.fetched" ]; then
    add_source_entries
    rm -rf "$work" && mkdir -p "$work"
    (cd "$work" && apt-get source "qt6-base=$host_version" >/dev/null) ||
      fail "could not fetch Debian's qt6-base $host_version source"
    touch "$work/.fetched"
  fi
  find "$work" -maxdepth 1 -type d -name "qt6-base-$qt_version*" | head -n1
}

source_dir=$(fetch_source)
build_dir=$work/build
echo "Configuring Qt for Windows from $source_dir"
# Debian's source leaves out the Wacom tablet header (its licence forbids changes), so tablet
# events go; the viewer has no use for them. Nor for OpenGL: dynamic OpenGL must be switched off
# by name too, or the Windows platform plugin is compiled for it without OpenGL and fails.
cmake -S "$source_dir" -B "$build_dir" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF \
  -DINPUT_opengl=no -DFEATURE_dynamicgl=OFF -DFEATURE_tabletevent=OFF \
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_openssl=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
  -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF \
  -DFEATURE_system_doubleconversion=OFF ||
  fail "configuring Qt failed; see the output above"
echo "Building Qt for Windows (about 25 minutes on two cores)"
cmake --build "$build_dir" --parallel "${MLD_QT_JOBS:-2}" || fail "building Qt failed"
cmake --install "$build_dir" >/dev/null || fail "installing Qt into $prefix failed"
date -u +%FT%TZ >"$stamp"
echo "Qt for Windows is ready in $prefix"
