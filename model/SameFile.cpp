#include "SameFile.h"

#include <algorithm>
#include <cwctype>
#include <optional>
#include <system_error>

#include "SharedFile.h"

namespace {

std::filesystem::path Resolved(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
  if (error) resolved = std::filesystem::absolute(path, error).lexically_normal();
  return resolved;
}

bool SameName(const std::filesystem::path& a, const std::filesystem::path& b) {
#ifdef _WIN32
  // Windows tells names apart without regard to letter case.
  const std::wstring& left = a.native();
  const std::wstring& right = b.native();
  return std::ranges::equal(left, right, [](wchar_t x, wchar_t y) {
    return std::towlower(static_cast<wint_t>(x)) == std::towlower(static_cast<wint_t>(y));
  });
#else
  return a == b;
#endif
}

}  // namespace

bool NameTheSameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  const std::optional<ProbedFile> left = ProbeFile(a);
  const std::optional<ProbedFile> right = ProbeFile(b);
  if (left && right) return left->Identity == right->Identity;
  return SameName(Resolved(a), Resolved(b));
}
