#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// How the Windows file reader names files to the system.

// Whether Windows would take `path` for a device rather than a file: a \\.\ or \??\ name, a
// \\?\ name that leads to no drive, share or volume (GLOBALROOT, pipes, ports), a server's pipes
// (\\server\pipe\..., also as \\?\UNC\server\pipe\...), or a last component that is one of the
// reserved names CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-COM9 and LPT0-LPT9 (the superscript
// digits ¹²³ too), in any letter case, with or without an extension. Such names are never
// opened: opening a port raises its control lines, which resets some lab devices, and opening a
// pipe connects to its server.
bool NamesDevice(std::wstring_view path);

// The name to hand CreateFileW for `path`. Names of MAX_PATH characters and more open only when
// absolute and marked with \\?\, and the system then takes every character literally, so such a
// name is first made absolute and normal (backslashes, no "." or ".."); shorter names keep the
// ordinary route.
std::wstring Win32Name(const std::filesystem::path& path);
