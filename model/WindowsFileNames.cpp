#include "WindowsFileNames.h"

#include <algorithm>
#include <array>

namespace {

// The system's path limit without the \\?\ mark, counting the terminating null.
constexpr size_t kMaxPath = 260;

constexpr std::wstring_view kLocalDevice = LR"(\\.\)";
constexpr std::wstring_view kVerbatim = LR"(\\?\)";
constexpr std::wstring_view kVerbatimShare = LR"(\\?\UNC\)";
// The system's own name for the object space that \\?\ and \\.\ lead to.
constexpr std::wstring_view kObjectSpace = LR"(\??\)";

wchar_t Upper(wchar_t letter) {
  return letter >= L'a' && letter <= L'z' ? static_cast<wchar_t>(letter - L'a' + L'A') : letter;
}

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view start) {
  return text.size() >= start.size() &&
         std::equal(start.begin(), start.end(), text.begin(),
                    [](wchar_t a, wchar_t b) { return Upper(a) == Upper(b); });
}

bool EqualsIgnoringCase(std::wstring_view text, std::wstring_view other) {
  return text.size() == other.size() && StartsWithIgnoringCase(text, other);
}

bool IsDrive(std::wstring_view name) {
  return name.size() >= 2 && Upper(name[0]) >= L'A' && Upper(name[0]) <= L'Z' && name[1] == L':';
}

// The system ignores an extension, a stream after a colon, and blanks before them.
bool IsReservedName(std::wstring_view component) {
  component = component.substr(0, component.find_first_of(L".:"));
  while (!component.empty() && component.back() == L' ') component.remove_suffix(1);
  constexpr std::array<std::wstring_view, 6> kNames = {L"CON", L"PRN",    L"AUX",
                                                       L"NUL", L"CONIN$", L"CONOUT$"};
  if (std::any_of(kNames.begin(), kNames.end(), [component](std::wstring_view name) {
        return EqualsIgnoringCase(component, name);
      })) {
    return true;
  }
  if (component.size() != 4 ||
      !(StartsWithIgnoringCase(component, L"COM") || StartsWithIgnoringCase(component, L"LPT"))) {
    return false;
  }
  const wchar_t digit = component[3];
  return (digit >= L'0' && digit <= L'9') || digit == L'\u00b9' || digit == L'\u00b2' ||
         digit == L'\u00b3';
}

// Names after \\?\ lead to the system's object space; only these are files.
bool LeadsToFiles(std::wstring_view verbatim) {
  return IsDrive(verbatim) || StartsWithIgnoringCase(verbatim, LR"(UNC\)") ||
         StartsWithIgnoringCase(verbatim, L"Volume{");
}

// \\server\pipe\... names the pipes of that server, and the server may be this machine under
// any of its names (localhost, 127.0.0.1, its own name); a share that only holds a folder named
// pipe further down is an ordinary share.
bool NamesPipeShare(std::wstring_view name) {
  if (StartsWithIgnoringCase(name, kVerbatimShare)) {
    name.remove_prefix(kVerbatimShare.size());
  } else if (name.starts_with(LR"(\\)")) {
    name.remove_prefix(2);
  } else {
    return false;
  }
  const size_t server = name.find(L'\\');
  if (server == std::wstring_view::npos) return false;
  const std::wstring_view share = name.substr(server + 1);
  return EqualsIgnoringCase(share.substr(0, share.find(L'\\')), L"PIPE");
}

bool IsSeparator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

std::wstring WithBackslashes(std::wstring_view name) {
  std::wstring slashed(name);
  std::replace(slashed.begin(), slashed.end(), L'/', L'\\');
  return slashed;
}

std::wstring Normal(const std::filesystem::path& path) {
  return path.lexically_normal().make_preferred().native();
}

// The name made absolute and normal, with backslashes. libstdc++ takes \\server\share for a
// name relative to the current drive, so a share's name is made normal below its two leading
// separators.
std::wstring AbsoluteNormal(const std::filesystem::path& path, std::error_code& error) {
  const std::wstring& given = path.native();
  if (given.size() > 2 && IsSeparator(given[0]) && IsSeparator(given[1])) {
    return LR"(\\)" + Normal(given.substr(2));
  }
  return Normal(std::filesystem::absolute(path, error));
}

}  // namespace

bool NamesDevice(std::wstring_view path) {
  const std::wstring name = WithBackslashes(path);
  if (name.starts_with(kLocalDevice) || name.starts_with(kObjectSpace)) return true;
  if (NamesPipeShare(name)) return true;
  if (name.starts_with(kVerbatim) && !LeadsToFiles(std::wstring_view(name).substr(4))) return true;
  std::wstring_view last(name);
  if (IsDrive(last)) last.remove_prefix(2);
  const size_t separator = last.find_last_of(L'\\');
  if (separator != std::wstring_view::npos) last.remove_prefix(separator + 1);
  return IsReservedName(last);
}

std::wstring Win32Name(const std::filesystem::path& path) {
  const std::wstring& given = path.native();
  // The system takes \\?\ names as they are, but only with backslashes.
  const std::wstring slashed = WithBackslashes(given);
  if (slashed.starts_with(kVerbatim) || slashed.starts_with(kLocalDevice)) return slashed;
  std::error_code error;
  const std::wstring name = AbsoluteNormal(path, error);
  if (error || name.size() < kMaxPath) return given;
  if (name.starts_with(LR"(\\)")) return std::wstring(kVerbatim) + LR"(UNC\)" + name.substr(2);
  return std::wstring(kVerbatim) + name;
}
