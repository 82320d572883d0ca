// Output through one buffer, written to a file descriptor in large blocks.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "cli/words.h"

namespace cli {

// A reader that has gone away ends the program at once and silently, as it would any Unix filter;
// any other write error ends it with a message in the user's language and status 2.
class Output {
 public:
  static constexpr std::size_t kSize = 64 * 1024;

  Output(int fd, const Words& messages);
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  ~Output() { flush(); }

  // Inlined into every row writer: a call per field is a large share of a short row's work.
  [[gnu::always_inline]] void put(std::string_view text) {
    if (text.size() > kSize - m_used) flush();
    if (text.size() > kSize) return write(text);
    std::memcpy(m_data.get() + m_used, text.data(), text.size());
    m_used += text.size();
  }
  [[gnu::always_inline]] void put(char c) {
    if (m_used == kSize) flush();
    m_data[m_used++] = c;
  }
  // Room for `size` bytes (at most kSize) to be filled in place and then passed to commit.
  char* reserve(std::size_t size) {
    if (size > kSize - m_used) flush();
    return m_data.get() + m_used;
  }
  void commit(std::size_t size) { m_used += size; }
  void flush();

  // Each row goes out as soon as it is complete: on a terminal, or when asked to.
  void setLineBuffered(bool lineBuffered) { m_lineBuffered = lineBuffered; }
  void endRow() {
    if (m_lineBuffered) flush();
  }

 private:
  void write(std::string_view bytes);

  int m_fd;
  const Words& m_words;
  std::unique_ptr<char[]> m_data;
  std::size_t m_used = 0;
  bool m_lineBuffered = false;
};

// Appends `number` in decimal.
inline void putNumber(Output& out, std::uint64_t number) {
  char* const at = out.reserve(20);
  out.commit(static_cast<std::size_t>(std::to_chars(at, at + 20, number).ptr - at));
}

}  // namespace cli
