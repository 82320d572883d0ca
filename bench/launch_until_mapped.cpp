// Starts a program and reports how long until its window is mapped and its peak resident memory.
//
//   launch_until_mapped [--hold] -- PROGRAM [ARGS...]
//
// Prints "window=ID startup_us=N hwm_kib=N": the time from spawning the program to the map of its
// first window, and its peak memory once it has settled. A _NET_WM_PING is answered only after the
// program has handled everything queued before it, so the peak is read after pings until two in a
// row leave it where it was. With --hold the program keeps running and each line "ping" on
// standard input prints "hwm_kib=N", settled the same way; end of input stops it. Exit status 0
// only when all of that worked.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPatienceMs = 20000;
constexpr int kMaxSettlingPings = 50;

struct Child {
  pid_t pid = -1;
  ~Child() {
    if (pid > 0) {
      ::kill(pid, SIGTERM);
      int status = 0;
      ::waitpid(pid, &status, 0);
    }
  }
};

// Thrown rather than exiting on the spot, so the child is stopped on the way out.
struct Failure {
  std::string why;
};

[[noreturn]] void fail(const std::string& why) { throw Failure{why}; }

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
  const auto cookie =
      xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
      xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
  if (!reply) fail(std::string("cannot intern ") + name);
  return reply->atom;
}

long peakResidentKib(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  fail("no VmHWM for the program");
}

class Watcher {
 public:
  Watcher() : m_connection(xcb_connect(nullptr, nullptr)) {
    if (xcb_connection_has_error(m_connection)) fail("cannot open the X display");
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    // Without a window manager every top-level map shows up as a MapNotify on the root; Qt sends
    // its ping answers to the root's structure listeners.
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    m_pidAtom = atom(m_connection, "_NET_WM_PID");
    m_protocols = atom(m_connection, "WM_PROTOCOLS");
    m_ping = atom(m_connection, "_NET_WM_PING");
    xcb_flush(m_connection);
  }
  ~Watcher() { xcb_disconnect(m_connection); }

  // The first window of `pid` to be mapped, once it is.
  xcb_window_t waitForMap(const Child& child) {
    for (;;) {
      xcb_generic_event_t* event = nextEvent(child);
      std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
      if ((event->response_type & 0x7F) != XCB_MAP_NOTIFY) continue;
      const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
      if (!map->override_redirect && windowPid(map->window) == child.pid) return map->window;
    }
  }

  // _NET_WM_PING: the answer comes back only after the program has handled everything queued
  // before it, the expose of its first paint included.
  void ping(const Child& child, xcb_window_t window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = m_protocols;
    message.data.data32[0] = m_ping;
    message.data.data32[1] = ++m_serial;
    message.data.data32[2] = window;
    xcb_send_event(m_connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(m_connection);
    for (;;) {
      xcb_generic_event_t* event = nextEvent(child);
      std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
      if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE) continue;
      const auto* reply = reinterpret_cast<xcb_client_message_event_t*>(event);
      if (reply->data.data32[0] == m_ping && reply->data.data32[1] == m_serial) return;
    }
  }

  // Peak resident memory once two pings in a row leave it where it was.
  long settledPeak(const Child& child, xcb_window_t window) {
    ping(child, window);
    long peak = peakResidentKib(child.pid);
    int unchanged = 0;
    for (int round = 0; round < kMaxSettlingPings && unchanged < 2; ++round) {
      ping(child, window);
      const long now = peakResidentKib(child.pid);
      unchanged = now == peak ? unchanged + 1 : 0;
      peak = now;
    }
    if (unchanged < 2) fail("the program's memory did not settle");
    return peak;
  }

 private:
  xcb_generic_event_t* nextEvent(const Child& child) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(kPatienceMs);
    for (;;) {
      if (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) return event;
      if (xcb_connection_has_error(m_connection)) fail("lost the X display");
      int status = 0;
      if (::waitpid(child.pid, &status, WNOHANG) == child.pid) {
        fail("the program ended before it answered (status " + std::to_string(status) + ")");
      }
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      if (left.count() <= 0) fail("the program did not answer in time");
      // Short waits, so a program that dies is noticed; the X socket wakes us at once otherwise.
      pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
      ::poll(&fd, 1, static_cast<int>(std::min<long>(left.count(), 50)));
    }
  }

  pid_t windowPid(xcb_window_t window) {
    const auto cookie =
        xcb_get_property(m_connection, 0, window, m_pidAtom, XCB_ATOM_CARDINAL, 0, 1);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(m_connection, cookie, nullptr), &std::free);
    if (!reply || xcb_get_property_value_length(reply.get()) < 4) return -1;
    return static_cast<pid_t>(*static_cast<std::uint32_t*>(xcb_get_property_value(reply.get())));
  }

  xcb_connection_t* m_connection;
  xcb_window_t m_root = 0;
  xcb_atom_t m_pidAtom = 0;
  xcb_atom_t m_protocols = 0;
  xcb_atom_t m_ping = 0;
  std::uint32_t m_serial = 0;
};

}  // namespace

int run(int argc, char* argv[]) {
  bool hold = false;
  int first = 1;
  for (; first < argc && std::strcmp(argv[first], "--") != 0; ++first) {
    if (std::strcmp(argv[first], "--hold") == 0) {
      hold = true;
    } else {
      fail(std::string("unknown option ") + argv[first]);
    }
  }
  if (first + 1 >= argc) fail("usage: launch_until_mapped [--hold] -- PROGRAM [ARGS...]");
  char** program = argv + first + 1;

  Watcher watcher;
  Child child;
  const auto started = Clock::now();
  if (posix_spawn(&child.pid, program[0], nullptr, nullptr, program, environ) != 0) {
    child.pid = -1;
    fail(std::string("cannot start ") + program[0]);
  }
  const xcb_window_t window = watcher.waitForMap(child);
  const auto mapped = Clock::now();
  // The first answer can come before the window has been activated and its text box has taken
  // the focus, which loads more; ping until the peak stops moving.
  long peak = watcher.settledPeak(child, window);

  const auto startup = std::chrono::duration_cast<std::chrono::microseconds>(mapped - started);
  std::printf("window=%u startup_us=%lld hwm_kib=%ld\n", window,
              static_cast<long long>(startup.count()), peak);
  std::fflush(stdout);

  std::string line;
  while (hold && std::getline(std::cin, line)) {
    if (line != "ping") fail("unknown command " + line);
    std::printf("hwm_kib=%ld\n", watcher.settledPeak(child, window));
    std::fflush(stdout);
  }
  return 0;
}

int main(int argc, char* argv[]) {
  try {
    return run(argc, argv);
  } catch (const Failure& failure) {
    std::fprintf(stderr, "launch_until_mapped: %s\n", failure.why.c_str());
    return 1;
  }
}
