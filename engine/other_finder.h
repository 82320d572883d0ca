// Finds the other kinds of number in text: 統一編號, 自然人憑證, 手機條碼, 捐贈碼 and mobile
// numbers, each character in ASCII or full width. It reads a stream of pieces: the text between
// the identity numbers that an IdentityFinder passes on, or the whole input read in blocks when no
// identity kind is asked for.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/positions.h"
#include "engine/scan.h"

namespace engine {

class OtherFinder {
 public:
  // A character as the finder reads it: its ASCII form (a full-width form narrowed, the
  // ideographic space a space), 0 for any other, and its size in bytes, 0 past what is held.
  struct Character {
    char ascii = 0;
    unsigned size = 0;
  };

  OtherFinder(const ScanOptions& options, Sink sink);

  // The next piece of the input as an IdentityFinder's sink receives it: text, or an identity number,
  // which goes on as it came.
  void take(std::string_view bytes, const Found* number);
  // Finds what the end of the input completes, and passes the rest of the text on.
  void finish();
  // Reads the whole of `source` through take and finish; the errno of a read error, or 0.
  int run(const Source& source) {
    long got = 0;
    while ((got = read(source)) > 0) {
    }
    return got < 0 ? errno : 0;
  }
  // Reads one block of `source` (at most kBlockSize bytes) and finds what it completes; at the end
  // of the input, or at a read error (-1, errno set), finishes too. Returns what the read did.
  long read(const Source& source);

 private:
  void advance();
  void scan(bool final, bool wordAfterEnd);
  std::size_t tryRun(std::size_t start, std::size_t end, std::size_t digits, bool wordAfterEnd);
  std::size_t tryMobile(std::size_t start, bool wordAfterEnd);
  std::size_t tryCarrier(std::size_t start, bool wordAfterEnd);
  bool named(std::size_t start, rules::IdKind kind);
  bool labelled(std::size_t start, rules::IdKind kind);
  bool labelledBefore(std::size_t start, rules::IdKind kind) const;
  void readHeader(bool final);
  std::size_t fieldAt(std::size_t at);
  bool alone(std::size_t start, std::size_t end, std::size_t digits, bool wordAfterEnd) const;
  std::size_t digitsBefore(std::size_t at) const;
  std::size_t digitsFrom(std::size_t at) const;
  // ASCII at once; the rest out of line.
  Character charAt(std::size_t i) const {
    if (i < m_buffer.size() && *at(i) < 0x80) return {static_cast<char>(*at(i)), 1};
    return wideAt(i);
  }
  Character charBefore(std::size_t i) const {
    if (i > 0 && *at(i - 1) < 0x80) return {static_cast<char>(*at(i - 1)), 1};
    return wideBefore(i);
  }
  Character wideAt(std::size_t at) const;
  Character wideBefore(std::size_t at) const;
  bool wordBefore(std::size_t at) const;
  bool wordAt(std::size_t at, bool wordAfterEnd) const;
  std::string asciiOf(std::size_t start, std::size_t end, std::size_t letters) const;
  void emit(std::size_t start, std::size_t end, const rules::IdVerdict& verdict);
  void pass(std::size_t upTo);
  void compact();
  bool asked(rules::IdKind kind) const { return (m_options.kinds & rules::KindBit(kind)) != 0; }
  const unsigned char* at(std::size_t i) const {
    return reinterpret_cast<const unsigned char*>(m_buffer.data()) + i;
  }

  ScanOptions m_options;
  Sink m_sink;
  std::string m_buffer;        // the bytes held, some already passed on as history
  std::size_t m_next = 0;      // where scanning goes on
  std::size_t m_passed = 0;    // the bytes before it have gone to the sink
  std::uint64_t m_base = 0;    // the input offset of m_buffer[0]
  bool m_inLongRun = false;    // the digits at m_next continue a run too long for any number
  Positions m_positions;

  // With --labelled, the kinds that the first line, a CSV or TSV header, names in each column,
  // and the field that the bytes up to m_fieldAt end in.
  bool m_headerRead = false;
  char m_delimiter = 0;
  std::vector<rules::KindSet> m_columns;
  std::uint64_t m_headerEnd = 0;  // the input offset of the line after the header
  std::size_t m_fieldAt = 0;
  std::size_t m_field = 0;
  bool m_quoted = false;
};

}  // namespace engine
