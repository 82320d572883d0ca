// The operating system under taloma-id: POSIX here, Windows (mingw-w64) below.
#include "cli/platform.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cli::platform {

std::vector<std::string> start(int argc, char** argv) {
  // A parent may have left SIGPIPE ignored; a closed pipe must end us as it ends `cat`.
  std::signal(SIGPIPE, SIG_DFL);
  return {argv, argv + argc};
}

int openForReading(const std::string& name, int& error) {
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return -1;
  }
  struct stat status {};
  if (::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
    ::close(fd);
    error = EISDIR;
    return -1;
  }
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  return fd;
}

void close(int fd) { ::close(fd); }

long readSome(int fd, char* into, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(fd, into, size);
    if (got >= 0 || errno != EINTR) return got;
  }
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t done = ::write(fd, bytes.data(), bytes.size());
    if (done >= 0) {
      bytes.remove_prefix(static_cast<std::size_t>(done));
    } else if (errno == EPIPE) {
      // SIGPIPE was blocked when we were started: end as it would have ended us.
      quit(128 + SIGPIPE);
    } else if (errno != EINTR) {
      return false;
    }
  }
  return true;
}

bool isTerminal(int fd) { return ::isatty(fd) != 0; }

bool sameTerminal(int first, int second) {
  struct stat a {}, b {};
  return isTerminal(first) && isTerminal(second) && ::fstat(first, &a) == 0 &&
         ::fstat(second, &b) == 0 && a.st_rdev == b.st_rdev;
}

bool exists(const std::string& name) {
  struct stat status {};
  return ::stat(name.c_str(), &status) == 0;
}

namespace {
void (*g_cleanup)() = nullptr;

void runCleanup(int signal) {
  if (g_cleanup != nullptr) g_cleanup();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}
}  // namespace

void onInterrupt(void (*cleanup)()) {
  g_cleanup = cleanup;
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) std::signal(signal, runCleanup);
}

std::string systemLanguage() { return {}; }

void quit(int status) { std::_Exit(status); }

}  // namespace cli::platform

#else
#error "the Windows side of the platform layer comes with the Windows build"
#endif
