// Runs one command with its standard output thrown away and prints, on one line, its wall time
// in seconds, its peak memory in KiB and its exit status:
//   bench-runner COMMAND [ARG...]   ->   0.412871 1081344 0
// On Unix the peak is the resident memory, from the kernel's accounting of that one child, so no
// `time` package is needed. On Windows it is the peak commit charge (PeakPagefileUsage): memory
// only reserved costs nothing there, and memory committed counts even once paged out.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>

#ifdef _WIN32
#include <windows.h>
// windows.h first: psapi.h relies on its types.
#include <psapi.h>

#include <algorithm>
#include <string>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace {

struct ChildUsage {
  uint64_t peakKib = 0;
  int exitStatus = 0;
};

#ifdef _WIN32

// This program's command line less its own name, so that the child gets its arguments quoted
// exactly as they were given.
std::wstring ChildCommandLine() {
  const wchar_t* line = GetCommandLineW();
  const bool quoted = *line == L'"';
  line += quoted ? 1 : 0;
  while (*line != L'\0' && (quoted ? *line != L'"' : *line != L' ' && *line != L'\t')) ++line;
  if (*line == L'"') ++line;
  while (*line == L' ' || *line == L'\t') ++line;
  return line;
}

uint64_t PeakCommitKib(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return 0;
  return counters.PeakPagefileUsage / 1024;
}

std::optional<ChildUsage> RunChild(char**) {
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  const HANDLE devNull = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     &inherited, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = devNull;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::wstring command = ChildCommandLine();
  PROCESS_INFORMATION child{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &child)) {
    std::fprintf(stderr, "bench-runner: cannot run the command (error %lu)\n", GetLastError());
    return std::nullopt;
  }
  CloseHandle(devNull);
  // Wine keeps no peak and tells a process's counters only while it runs, so the peak is also
  // taken from samples along the way; on Windows the last query alone holds it.
  ChildUsage usage;
  while (WaitForSingleObject(child.hProcess, 10) == WAIT_TIMEOUT) {
    usage.peakKib = std::max(usage.peakKib, PeakCommitKib(child.hProcess));
  }
  usage.peakKib = std::max(usage.peakKib, PeakCommitKib(child.hProcess));
  DWORD exitCode = 0;
  GetExitCodeProcess(child.hProcess, &exitCode);
  usage.exitStatus = static_cast<int>(exitCode);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  return usage;
}

#else

[[noreturn]] void ExecCommand(char** command) {
  const int devNull = open("/dev/null", O_WRONLY);
  if (devNull < 0 || dup2(devNull, STDOUT_FILENO) < 0) _exit(126);
  close(devNull);
  execvp(command[0], command);
  std::fprintf(stderr, "bench-runner: cannot run %s: %s\n", command[0], std::strerror(errno));
  _exit(127);
}

int ExitStatus(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + WTERMSIG(status);
}

std::optional<ChildUsage> RunChild(char** command) {
  const pid_t child = fork();
  if (child < 0) {
    std::perror("bench-runner: fork");
    return std::nullopt;
  }
  if (child == 0) ExecCommand(command);

  int status = 0;
  rusage usage{};
  while (wait4(child, &status, 0, &usage) < 0) {
    if (errno != EINTR) {
      std::perror("bench-runner: wait4");
      return std::nullopt;
    }
  }
  return ChildUsage{static_cast<uint64_t>(usage.ru_maxrss), ExitStatus(status)};
}

#endif

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: bench-runner COMMAND [ARG...]\n", stderr);
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const std::optional<ChildUsage> usage = RunChild(argv + 1);
  if (!usage) return 1;
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  std::printf("%.6f %llu %d\n", wall.count(), static_cast<unsigned long long>(usage->peakKib),
              usage->exitStatus);
  return 0;
}
