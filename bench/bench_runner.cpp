// Runs one command with its standard output thrown away and prints, on one line, its wall time
// in seconds, its peak resident memory in KiB and its exit status:
//   bench-runner COMMAND [ARG...]   ->   0.412871 1081344 0
// The peak comes from the kernel's accounting of that one child, so no `time` package is needed.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace {

[[noreturn]] void RunChild(char** command) {
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: bench-runner COMMAND [ARG...]\n", stderr);
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) {
    std::perror("bench-runner: fork");
    return 1;
  }
  if (child == 0) RunChild(argv + 1);

  int status = 0;
  rusage usage{};
  while (wait4(child, &status, 0, &usage) < 0) {
    if (errno != EINTR) {
      std::perror("bench-runner: wait4");
      return 1;
    }
  }
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
  std::printf("%.6f %ld %d\n", wall.count(), usage.ru_maxrss, ExitStatus(status));
  return 0;
}
