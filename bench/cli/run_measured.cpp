// Runs a command and prints its wall time and peak resident memory:
// run_measured [--out FILE] -- COMMAND [ARGS...]  prints "wall_ns=N maxrss_kib=N status=N".
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <ctime>

int main(int argc, char** argv) {
  const char* out = "/dev/null";
  int first = 1;
  if (argc > 2 && std::strcmp(argv[1], "--out") == 0) {
    out = argv[2];
    first = 3;
  }
  if (first >= argc || std::strcmp(argv[first], "--") != 0 || first + 1 >= argc) {
    std::fprintf(stderr, "usage: run_measured [--out FILE] -- COMMAND [ARGS...]\n");
    return 2;
  }
  timespec start{}, end{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  const pid_t child = fork();
  if (child == 0) {
    const int fd = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || dup2(fd, STDOUT_FILENO) < 0) _exit(127);
    execvp(argv[first + 1], argv + first + 1);
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) < 0) return 2;
  clock_gettime(CLOCK_MONOTONIC, &end);
  const long long ns = (end.tv_sec - start.tv_sec) * 1000000000LL + (end.tv_nsec - start.tv_nsec);
  std::printf("wall_ns=%lld maxrss_kib=%ld status=%d\n", ns, usage.ru_maxrss,
              WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
  return 0;
}
