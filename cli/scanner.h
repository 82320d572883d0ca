// Finds the numbers that stand alone in any text, read in blocks: CSV of any shape, logs,
// documents, in ASCII or full-width letters and digits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "rules/id_kinds.h"

namespace cli {

// A number in the text: the letter, the second character (a letter or digit) and eight digits,
// each in ASCII or full width, with no letter or digit of either width touching it.
struct Found {
  std::uint64_t offset = 0;  // of its first byte in the input
  std::uint64_t line = 1;    // counted from 1
  std::uint64_t column = 1;  // counted from 1 in characters, after a byte-order mark that opens
                             // the input; each byte that is not UTF-8 is a character of its own
  std::string_view text;     // as it stands in the input, from its letter to its last digit
  char ascii[10] = {};       // its characters in ASCII, case kept
  rules::IdVerdict verdict;  // of the ASCII form
};

// An identity number as --redact writes it: its letter kept, the nine characters after it
// asterisks of their own width, so columns and line lengths stay as they were. Invisible
// formatting characters inside it stay as they are.
std::string Masked(std::string_view number);

// Characters, as columns count them, in `text`: each well-formed UTF-8 sequence is one, and so is
// each byte that is not part of one.
std::uint64_t CharacterCount(std::string_view text);

// The full-width letter or digit of the three bytes at `p` (EF BC/BD xx), in ASCII; 0 for none.
constexpr char FullWidthForm(const unsigned char* p) {
  if (p[0] != 0xEF) return 0;
  if (p[1] == 0xBC && p[2] >= 0x90 && p[2] <= 0x99) return static_cast<char>('0' + p[2] - 0x90);
  if (p[1] == 0xBC && p[2] >= 0xA1 && p[2] <= 0xBA) return static_cast<char>('A' + p[2] - 0xA1);
  if (p[1] == 0xBD && p[2] >= 0x81 && p[2] <= 0x9A) return static_cast<char>('a' + p[2] - 0x81);
  return 0;
}

// The ASCII character that the three bytes at `p` stand for: a full-width form (U+FF01 to U+FF5E:
// letters, digits and punctuation), or the ideographic space as a space; 0 for none.
constexpr char WideAscii(const unsigned char* p) {
  if (p[0] == 0xEF && p[1] == 0xBC && p[2] >= 0x81 && p[2] <= 0xBF) return static_cast<char>('!' + p[2] - 0x81);
  if (p[0] == 0xEF && p[1] == 0xBD && p[2] >= 0x80 && p[2] <= 0x9E) return static_cast<char>('`' + p[2] - 0x80);
  return p[0] == 0xE3 && p[1] == 0x80 && p[2] == 0x80 ? ' ' : 0;
}

// Eight bytes at a time: the high bit of each byte of a word that is a digit, or that is zero.
constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighs = 0x8080808080808080u;

inline std::uint64_t wordAt(const unsigned char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// The high bit of each byte of `word` that is zero, and of no other.
constexpr std::uint64_t zeroBytes(std::uint64_t word) {
  return ~(((word & ~kHighs) + ~kHighs) | word | ~kHighs);
}

// The high bit of each byte that is an ASCII digit.
constexpr std::uint64_t digitBytes(std::uint64_t word) {
  // Digits become 0 to 9, and a byte below 10 has neither its own high bit nor, after adding
  // 0x76 to its low seven bits, that sum's.
  const std::uint64_t shifted = word ^ (kOnes * 0x30);
  return ~(((shifted & ~kHighs) + kOnes * 0x76) | shifted) & kHighs;
}

struct ScanOptions {
  rules::KindSet kinds = rules::kIdentityKinds;
  bool nearMisses = false;  // report every shape of a number, valid or not
  bool normalize = false;   // invisible formatting characters inside a number do not break it,
                            // and lower-case letters count as capitals
  bool positions = true;    // count the line and column of each number found
  bool text = true;         // hand the text between numbers to the sink too
  bool labelled = false;    // business numbers, certificates and donation codes only with a label
};

class Scanner {
 public:
  static constexpr std::size_t kBlockSize = 64 * 1024;

  // Fills `into` with up to `size` bytes; returns how many, 0 at the end, -1 on an error (errno).
  using Source = std::function<long(char* into, std::size_t size)>;
  // Receives the input in order, in pieces: plain text with `number` null, or the bytes of one
  // number with `number` set.
  using Sink = std::function<void(std::string_view bytes, const Found* number)>;

  Scanner(Source source, const ScanOptions& options, std::size_t blockSize = kBlockSize);

  // Reads the whole input through `sink`; the errno of a read error, or 0.
  int run(const Sink& sink);

 private:
  bool refill(const Sink& sink);
  void scanBlock(const Sink& sink);
  void consider(const unsigned char* start, std::size_t digits, const unsigned char* last,
                const unsigned char* next, const Sink& sink);
  template <bool kSkipHidden>
  void consider(const unsigned char* start, std::size_t digits, const unsigned char* last,
                const Sink& sink);
  std::size_t formatCharacterAt(const unsigned char* p) const;
  void countUpTo(std::uint64_t offset);
  void pass(const unsigned char* upTo, const Sink& sink);

  Source m_source;
  ScanOptions m_options;
  std::size_t m_capacity;
  std::unique_ptr<unsigned char[]> m_buffer;
  unsigned char* m_end;        // the end of the bytes read
  unsigned char* m_next;       // where scanning goes on
  const unsigned char* m_passed;  // the bytes before it have gone to the sink
  std::uint64_t m_base = 0;    // the input offset of m_buffer[0]
  bool m_ended = false;
  bool m_escapes = false;  // the bytes held hold an ESC
  int m_error = 0;

  // The run of digits being read: its first byte, the end of its last digit and its length in
  // digits.
  const unsigned char* m_runStart = nullptr;
  const unsigned char* m_runEnd = nullptr;
  std::size_t m_run = 0;

  // Lines and columns are counted lazily, up to m_counted.
  std::uint64_t m_counted = 0;
  std::uint64_t m_line = 1;
  std::uint64_t m_column = 0;  // characters since the line's start, up to m_counted
};

}  // namespace cli
