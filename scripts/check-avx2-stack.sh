#!/usr/bin/env bash
# Windows aligns the stack to 16 bytes only, so an aligned 256-bit move to or from the stack
# faults unless its function aligns its own frame to 32. Compiles the AVX2 scan for Windows at
# -O0, -O1 and -O2 with the flags CMake compiles it with (from the Windows build's
# compile_commands.json), reads the disassembly and fails on any such move. Debian's mingw-w64
# GCC is patched never to write one, so first the check shows, on the aligned moves an
# unpatched GCC writes, that it finds them and that the assembler option CMake adds removes them.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${MLD_WINDOWS_BUILD_DIR:-build-windows}
source=$PWD/model/TextSearch.cpp
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# CMake's command for the file without its output, dependency and optimisation flags.
mapfile -t compile < <(python3 - "$build/compile_commands.json" "$source" <<'EOF'
import json, shlex, sys
entry = next(e for e in json.load(open(sys.argv[1])) if e["file"] == sys.argv[2])
words, kept = shlex.split(entry["command"]), []
while words:
    word = words.pop(0)
    if word in ("-o", "-c", "-MT", "-MF"):
        words.pop(0)
    elif not (word.startswith("-O") or word == "-MD"):
        kept.append(word)
print("\n".join(kept))
EOF
)

# Prints each aligned 256-bit move to or from the stack in a function that does not align its
# stack to 32 bytes, with the function's name.
aligned_stack_moves() {
  x86_64-w64-mingw32-objdump -d --no-show-raw-insn "$1" | awk '
    function report() { if (!realigned) for (i = 0; i < found; i++) print name ": " moves[i] }
    /^[0-9a-f]+ <.*>:$/ { report(); name = $2; realigned = 0; found = 0; next }
    /and +\$0xffffffffffffffe0,%rsp/ { realigned = 1 }
    /vmov(dqa(32|64)?|aps|apd)[ \t]/ && /%ymm/ && /\(%r[sb]p[,)]/ { moves[found++] = $0 }
    END { report() }'
}

# What an unpatched GCC writes: Debian's patch made its aligned vector moves unaligned.
"${compile[@]}" -O0 -S -o "$work/patched.s" "$source"
sed -E 's/\bvmovdqu\b/vmovdqa/; s/\bvmovup([sd])\b/vmovap\1/' "$work/patched.s" >"$work/unpatched.s"
x86_64-w64-mingw32-as -o "$work/unpatched.o" "$work/unpatched.s"
x86_64-w64-mingw32-as -muse-unaligned-vector-move -o "$work/unaligned.o" "$work/unpatched.s"
if [ -z "$(aligned_stack_moves "$work/unpatched.o")" ]; then
  echo "check-avx2-stack: found no aligned stack move in what an unpatched GCC writes" >&2
  exit 1
fi
if [ -n "$(aligned_stack_moves "$work/unaligned.o")" ]; then
  echo "check-avx2-stack: -muse-unaligned-vector-move left aligned stack moves" >&2
  exit 1
fi

status=0
for level in -O0 -O1 -O2; do
  "${compile[@]}" "$level" -c -o "$work/scan$level.o" "$source"
  moves=$(aligned_stack_moves "$work/scan$level.o")
  if [ -n "$moves" ]; then
    echo "check-avx2-stack: aligned 256-bit stack moves at $level:" >&2
    echo "$moves" | head -20 >&2
    status=1
  fi
done
[ "$status" = 0 ] && echo "check-avx2-stack: no aligned 256-bit stack move at -O0, -O1 or -O2"
exit "$status"
