# Sourced: the Wine setup that runs the Windows build's programs. A prefix of their own in the
# cache folder, the mingw runtime and the cross-built Qt on the DLL search path, no debug
# chatter, and no offer to install Mono or Gecko.
cache=${MLD_CACHE_DIR:-$HOME/.cache/message-log-display}
mingw_dll_dir() {
  dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name="$1")"
}
# MLD_WINEPREFIX lets two builds run their Windows tests side by side.
export WINEPREFIX=${MLD_WINEPREFIX:-$cache/wine}
export WINEPATH="$(mingw_dll_dir libstdc++-6.dll);$(mingw_dll_dir libwinpthread-1.dll);$cache/qt6-mingw/bin"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE=$(command -v wine64 || echo /usr/lib/wine/wine64)
export WINE
