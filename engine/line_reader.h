// Splits input into lines, read in large blocks, keeping only the head of a line too long to hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>

namespace engine {

struct Line {
  std::string_view text;  // without its line end (LF, or CR LF)
  bool cut = false;       // text is only the first LineReader::kKeep bytes of a longer line
};

class LineReader {
 public:
  static constexpr std::size_t kBlockSize = 64 * 1024;
  // Enough bytes for a line's first 64 characters and for knowing whether more follow.
  static constexpr std::size_t kKeep = 4 * 64 + 4;

  // Fills `into` with up to `size` bytes; returns how many, 0 at the end, -1 on an error (errno).
  using Source = std::function<long(char* into, std::size_t size)>;

  explicit LineReader(Source source, std::size_t blockSize = kBlockSize);

  // Puts the next line in `line` and returns true; false at the end of the input or after a read
  // error. The last line needs no line end; the text stays valid until the next call.
  bool next(Line& line) {
    // A ten-byte line, the usual number, is found without a search.
    constexpr std::size_t kTen = 10;
    if (m_end - m_pos > static_cast<std::ptrdiff_t>(kTen) && m_pos[kTen] == '\n' &&
        m_pos[kTen - 1] != '\r' && !hasNewline(m_pos)) {
      line = {{m_pos, kTen}, false};
      m_pos += kTen + 1;
      return true;
    }
    auto* end =
        static_cast<char*>(std::memchr(m_pos, '\n', static_cast<std::size_t>(m_end - m_pos)));
    if (end == nullptr) return nextFromMore(line);
    line = lineOf(m_pos, end);
    m_pos = end + 1;
    return true;
  }

  // The errno of a read error that ended the input, 0 if it ended normally.
  int error() const noexcept { return m_error; }

 private:
  static Line lineOf(const char* begin, const char* end) noexcept {
    if (end > begin && end[-1] == '\r') --end;
    const auto size = static_cast<std::size_t>(end - begin);
    return size > kKeep ? Line{{begin, kKeep}, true} : Line{{begin, size}, false};
  }
  bool nextFromMore(Line& line);

  // Whether the ten bytes at `p` hold a line feed: a byte of the word XOR '\n' is zero.
  static bool hasNewline(const char* p) noexcept {
    std::uint64_t word;
    std::uint16_t tail;
    std::memcpy(&word, p, sizeof word);
    std::memcpy(&tail, p + sizeof word, sizeof tail);
    constexpr std::uint64_t kOnes = 0x0101010101010101u, kNewlines = kOnes * '\n';
    word ^= kNewlines;
    const std::uint64_t zeroByte = (word - kOnes) & ~word & (kOnes << 7);
    return zeroByte != 0 || (tail & 0xFF) == '\n' || (tail >> 8) == '\n';
  }

  Source m_source;
  std::size_t m_capacity;
  std::unique_ptr<char[]> m_buffer;
  char* m_pos;           // the start of the next line
  char* m_end;           // the end of the bytes read
  char m_head[kKeep];    // the head of a line longer than the buffer
  bool m_long = false;   // the current line outgrew the buffer; its head is in m_head
  bool m_ended = false;  // the source has nothing more
  int m_error = 0;
};

}  // namespace engine
