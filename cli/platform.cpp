// The operating system under taloma-id: POSIX first, then Windows (mingw-w64).
#include "cli/platform.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/random.h>
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

int createPrivate(const std::string& name, int& error) {
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
  if (fd < 0) error = errno;
  return fd;
}

bool othersMayRead(int fd) {
  struct stat status {};
  return ::fstat(fd, &status) == 0 && (status.st_mode & (S_IRGRP | S_IROTH)) != 0;
}

void removeFile(const std::string& name) { ::unlink(name.c_str()); }

bool randomBytes(unsigned char* into, std::size_t size) {
  while (size > 0) {
    const ssize_t got = ::getrandom(into, size, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    into += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
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

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#include <bcrypt.h>

#include <climits>
#include <cstdio>

namespace cli::platform {
namespace {

std::wstring wide(std::string_view utf8) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                       nullptr, 0);
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
  return text;
}

std::string narrow(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
  return utf8;
}

HANDLE handleOf(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

// A console, not a file or pipe, and not the NUL device, which _isatty also calls a terminal.
bool isConsole(int fd) {
  DWORD mode = 0;
  return GetConsoleMode(handleOf(fd), &mode) != 0;
}

}  // namespace

std::vector<std::string> start(int /*argc*/, char** /*argv*/) {
  // The arguments as typed, from the wide command line: argv holds them in the ANSI code page,
  // which has no room for most Chinese place names.
  int count = 0;
  wchar_t** wideArgs = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) args.push_back(narrow(wideArgs[i]));
  LocalFree(wideArgs);
  // Bytes as they are: no CR added before LF, and no end of input at a Ctrl+Z byte.
  for (const int fd : {kStandardInput, kStandardOutput, kStandardError}) _setmode(fd, _O_BINARY);
  return args;
}

int openForReading(const std::string& name, int& error) {
  const std::wstring path = wide(name);
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    error = EISDIR;
    return -1;
  }
  const int fd = _wopen(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT | _O_SEQUENTIAL);
  if (fd < 0) error = errno;
  return fd;
}

void close(int fd) { _close(fd); }

long readSome(int fd, char* into, std::size_t size) {
  DWORD got = 0;
  if (ReadFile(handleOf(fd), into, static_cast<DWORD>(size > 1u << 30 ? 1u << 30 : size), &got,
               nullptr)) {
    return static_cast<long>(got);
  }
  // A pipe whose writer has gone is the end of the input, as on Unix.
  const DWORD reason = GetLastError();
  if (reason == ERROR_BROKEN_PIPE || reason == ERROR_HANDLE_EOF) return 0;
  errno = reason == ERROR_ACCESS_DENIED ? EACCES : EIO;
  return -1;
}

bool writeAll(int fd, std::string_view bytes) {
  if (isConsole(fd)) {
    // A console shows UTF-8 as written only when handed the characters.
    const std::wstring text = wide(bytes);
    DWORD written = 0;
    return WriteConsoleW(handleOf(fd), text.data(), static_cast<DWORD>(text.size()), &written,
                         nullptr) != 0;
  }
  while (!bytes.empty()) {
    DWORD done = 0;
    if (WriteFile(handleOf(fd), bytes.data(),
                  static_cast<DWORD>(bytes.size() > 1u << 30 ? 1u << 30 : bytes.size()), &done,
                  nullptr)) {
      bytes.remove_prefix(done);
      continue;
    }
    // A reader that has gone away: end as Unix ends a filter, with the same status.
    const DWORD reason = GetLastError();
    if (reason == ERROR_NO_DATA || reason == ERROR_BROKEN_PIPE || reason == ERROR_PIPE_NOT_CONNECTED) {
      quit(128 + 13);
    }
    errno = reason == ERROR_DISK_FULL || reason == ERROR_HANDLE_DISK_FULL ? ENOSPC : EIO;
    return false;
  }
  return true;
}

bool isTerminal(int fd) { return isConsole(fd); }

// A process has one console at most.
bool sameTerminal(int first, int second) { return isConsole(first) && isConsole(second); }

bool exists(const std::string& name) {
  return GetFileAttributesW(wide(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

int createPrivate(const std::string& name, int& error) {
  const int fd = _wopen(wide(name).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                        _S_IREAD | _S_IWRITE);
  if (fd < 0) error = errno;
  return fd;
}

bool othersMayRead(int /*fd*/) { return false; }

void removeFile(const std::string& name) { _wunlink(wide(name).c_str()); }

bool randomBytes(unsigned char* into, std::size_t size) {
  return size <= ULONG_MAX && BCryptGenRandom(nullptr, into, static_cast<ULONG>(size),
                                              BCRYPT_USE_SYSTEM_PREFERRED_RNG) >= 0;
}

namespace {
void (*g_cleanup)() = nullptr;

BOOL WINAPI runCleanup(DWORD /*event*/) {
  if (g_cleanup != nullptr) g_cleanup();
  return FALSE;  // and let Windows end the program as it would have
}
}  // namespace

void onInterrupt(void (*cleanup)()) {
  g_cleanup = cleanup;
  SetConsoleCtrlHandler(runCleanup, TRUE);
}

std::string systemLanguage() {
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_CHINESE ? "zh-TW" : "en";
}

void quit(int status) {
  std::fflush(nullptr);
  _exit(status);
}

}  // namespace cli::platform

#endif
