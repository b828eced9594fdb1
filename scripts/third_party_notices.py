#!/usr/bin/env python3
"""Writes THIRD-PARTY-NOTICES.txt for the Windows package from what the package really holds.

The Qt DLLs and plugins in the package folder name the Qt build targets that made them; the Qt
build's own dependency records (ninja -t deps) say which sources and headers those targets
compiled. A third-party part of Qt (its qt_attribution.json) goes into the notices when a shipped
target compiled one of its files, so a Qt built with other features or system libraries gets
other notices without anyone keeping a list. The compiler runtime and winpthreads come with
their Debian copyright files.
"""
import argparse
import json
import os
import re
import subprocess
import sys
from pathlib import Path

RULE = re.compile(r"^build ([^:]*\.dll)[^:]*: \w+?__(\w+)_Release (.*)$")
CUSTOM = re.compile(r"^build (.*?): CUSTOM_COMMAND (.*?)(?: \||$)")


def shipped_targets(build, package):
    """The Qt targets whose DLLs are in the package, and the static parts linked into them."""
    dlls = {p.name.lower() for p in package.rglob("*.dll")}
    targets, generated = set(), {}
    for line in (build / "build.ninja").read_text(errors="replace").splitlines():
        match = RULE.match(line)
        if match and Path(match.group(1).split()[0]).name.lower() in dlls:
            targets.add(match.group(2))
            targets.update(re.findall(r"lib/libQt6(Bundled\w+)\.a", match.group(3)))
        custom = CUSTOM.match(line)
        if custom:
            for output in custom.group(1).replace("${cmake_ninja_workdir}", "").split():
                generated[output.replace("$", "")] = custom.group(2).split()
    return targets, generated


def used_files(build, targets, generated):
    """Every file that an object of a shipped target was compiled from, with the inputs of the
    generated sources among them (Qt's resources)."""
    deps = subprocess.run(["ninja", "-C", str(build), "-t", "deps"], check=True,
                          capture_output=True, text=True).stdout
    used, take = set(), False
    for line in deps.splitlines():
        if not line.startswith(" "):
            target = re.search(r"CMakeFiles/(\w+?)(?:_resources_\d+)?\.dir/", line)
            take = bool(target) and target.group(1) in targets
        elif take:
            used.add(os.path.normpath(build / line.strip()))
    for output, inputs in generated.items():
        if os.path.normpath(build / output) in used:
            used.update(os.path.normpath(build / i) for i in inputs)
    return used


def attributions(source, used):
    """The entries of Qt's attribution files whose files a shipped target compiled."""
    for path in sorted(source.glob("src/**/qt_attribution.json")):
        entries = json.loads(path.read_text(errors="replace"), strict=False)
        for entry in entries if isinstance(entries, list) else [entries]:
            folder = path.parent / entry.get("Path", "")
            files = entry.get("Files", "")
            files = files.split() if isinstance(files, str) else files
            wanted = [os.path.normpath(folder / f) for f in files] or [str(folder) + os.sep]
            if any(u == w or u.startswith(w) for u in used for w in wanted):
                yield path.parent, entry


def section(title, text):
    return f"{'=' * 78}\n{title}\n{'=' * 78}\n\n{text.rstrip()}\n\n"


def qt_sections(source, used, debian_version):
    licenses = source / "LICENSES"
    out = [section("Qt " + source.name.split("-")[2].split("+")[0] + " (Qt Core, Qt Gui, Qt Widgets"
                   " and what else of Qt is in this folder)", f"""\
The Qt libraries (Qt6*.dll and the plugins beside them) are used under the GNU Lesser General
Public License version 3 (LGPL-3.0), whose text and that of the GNU General Public License
version 3 it refers to follow. They are linked dynamically: you may replace them with your own
build of the same Qt version, or a compatible one, by putting your DLLs in their place.

The source of these Qt libraries is Debian's qt6-base source package, version
{debian_version} (https://sources.debian.org/src/qt6-base/{debian_version}/, or
`apt-get source qt6-base={debian_version}`), built for Windows with no changes of ours by
scripts/build-qt-windows.sh of Message Log Display, which also lists the build's options. Qt's
upstream source is at https://download.qt.io/archive/qt/ and
https://code.qt.io/cgit/qt/qtbase.git/. The GNU General Public License version 3 text below is
also the one that the GCC runtime's license, further down, refers to.""")]
    for name in ("LGPL-3.0-only.txt", "GPL-3.0-only.txt"):
        out.append(section("Qt: " + name[:-4], (licenses / name).read_text(errors="replace")))
    # License files are named from the attribution file's folder.
    for folder, entry in attributions(source, used):
        names = entry.get("LicenseFiles") or entry.get("LicenseFile", "")
        names = names.split() if isinstance(names, str) else names
        texts = "\n".join((folder / n).read_text(errors="replace") for n in names)
        head = "\n".join(f"{key}: {entry[key]}" for key in
                         ("Name", "Version", "Homepage", "License", "Copyright") if entry.get(key))
        out.append(section(f"Qt third-party part: {entry.get('Name', folder.name)}",
                           head + "\n\n" + texts))
    return out


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--package", required=True, type=Path, help="the package's folder")
    parser.add_argument("--qt-source", required=True, type=Path)
    parser.add_argument("--qt-build", required=True, type=Path)
    parser.add_argument("--qt-debian-version", required=True)
    parser.add_argument("--runtime-copyright", action="append", default=[], metavar="TITLE=FILE",
                        help="a compiler runtime part and its copyright file")
    parser.add_argument("--output", required=True, type=Path)
    args = parser.parse_args()
    targets, generated = shipped_targets(args.qt_build, args.package)
    if "Core" not in targets:
        sys.exit(f"third_party_notices: no Qt6Core.dll of {args.qt_build} in {args.package}")
    used = used_files(args.qt_build, targets, generated)
    parts = ["""\
Message Log Display ships with the third-party software below, each under its own license.

"""]
    parts += qt_sections(args.qt_source.resolve(), used, args.qt_debian_version)
    for item in args.runtime_copyright:
        title, file = item.split("=", 1)
        parts.append(section(title, Path(file).read_text(errors="replace")))
    args.output.write_text("".join(parts), newline="\r\n")


if __name__ == "__main__":
    main()
