// Finds the other numbers of a form in text: 統一編號, 自然人憑證, 手機條碼, 捐贈碼 and mobile
// numbers, each character in ASCII or full width. It reads a stream of pieces: the text between
// the identity numbers that a Scanner passes on, or the whole input read in blocks when no
// identity kind is asked for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/scanner.h"

namespace cli {

// A number of the other kinds as --redact writes it, each masked character an asterisk of its own
// width: a mobile number keeps its 09 or +886 9 and its last three digits, a business number its
// last three digits, a certificate its two letters and last three digits, a carrier its "/" and
// last two characters, a donation code its last digit. Separators stay.
std::string FormMasked(std::string_view number, rules::IdKind kind);

// A number of any kind as --redact writes it: Masked for an identity number, else FormMasked.
std::string MaskedNumber(std::string_view number, rules::IdKind kind);

// Reads the whole of `source` through `sink`, as Scanner::run does: the identity numbers found by
// a Scanner, the other kinds by a FormFinder over the text between them, or by a FormFinder
// alone when no identity kind is asked for. The errno of a read error, or 0.
int ScanWith(const ScanOptions& options, const Scanner::Source& source, const Scanner::Sink& sink);

// The kinds that --labelled finds only where a label names them: each is mostly noise without one.
inline constexpr rules::KindSet kNeedLabels = rules::KindBit(rules::IdKind::Business) |
                                              rules::KindBit(rules::IdKind::Certificate) |
                                              rules::KindBit(rules::IdKind::Donation);

// The words that label a number of a kind, before it on its line or the line before, or in the
// header of its column.
struct Label {
  std::string_view word;
  rules::IdKind kind;
};
inline constexpr Label kLabels[] = {
    {"統一編號", rules::IdKind::Business}, {"統編", rules::IdKind::Business},
    {"UBN", rules::IdKind::Business},       {"憑證", rules::IdKind::Certificate},
    {"捐贈碼", rules::IdKind::Donation},   {"愛心碼", rules::IdKind::Donation},
    {"捐贈代碼", rules::IdKind::Donation}};

class FormFinder {
 public:
  // A character as the finder reads it: its ASCII form (a full-width form narrowed, the
  // ideographic space a space), 0 for any other, and its size in bytes, 0 past what is held.
  struct Character {
    char ascii = 0;
    unsigned size = 0;
  };

  FormFinder(const ScanOptions& options, Scanner::Sink sink);

  // The next piece of the input as a Scanner's sink receives it: text, or an identity number,
  // which goes on as it came.
  void take(std::string_view bytes, const Found* number);
  // Finds what the end of the input completes, and passes the rest of the text on.
  void finish();
  // Reads the whole of `source` through take and finish; the errno of a read error, or 0.
  int run(const Scanner::Source& source);

 private:
  void advance();
  void scan(bool final, bool wordAfterEnd);
  std::size_t tryRun(std::size_t start, std::size_t end, std::size_t digits, bool wordAfterEnd);
  std::size_t tryMobile(std::size_t start, bool wordAfterEnd);
  std::size_t tryCarrier(std::size_t start, bool wordAfterEnd);
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
  void countUpTo(std::uint64_t offset);
  void compact();
  bool asked(rules::IdKind kind) const { return (m_options.kinds & rules::KindBit(kind)) != 0; }
  const unsigned char* at(std::size_t i) const {
    return reinterpret_cast<const unsigned char*>(m_buffer.data()) + i;
  }

  ScanOptions m_options;
  Scanner::Sink m_sink;
  std::string m_buffer;        // the bytes held, some already passed on as history
  std::size_t m_next = 0;      // where scanning goes on
  std::size_t m_passed = 0;    // the bytes before it have gone to the sink
  std::uint64_t m_base = 0;    // the input offset of m_buffer[0]
  bool m_inLongRun = false;    // the digits at m_next continue a run too long for any number
  std::uint64_t m_counted = 0; // lines and columns are counted lazily, up to here
  std::uint64_t m_line = 1;
  std::uint64_t m_column = 0;

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

}  // namespace cli
