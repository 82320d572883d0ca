// The other kinds are anchored where they start: a run of digits (統一編號, 捐贈碼, mobile numbers,
// and a certificate's digits after its two letters), a "+" (+886 mobile numbers) or a "/" (手機條碼),
// each in ASCII or full width.
#include "engine/other_finder.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <optional>

#include "engine/bytes.h"
#include "rules/kinds.h"

namespace engine {
namespace {

// A number and what decides whether it stands alone after it fit in kTail bytes (sixteen
// full-width characters and a few more); the bytes kept before where scanning goes on hold a
// label, twenty characters and a line break back.
constexpr std::size_t kTail = 80;
constexpr std::size_t kHistory = 192;
constexpr std::size_t kLongestRun = 16;  // digits
// A certificate starts two letters before its digits, full-width ones three bytes each: the text
// passed on stops that far short of where scanning goes on.
constexpr std::size_t kLettersBefore = 6;
constexpr std::uint64_t kLabelReach = 20;  // characters between a label and its number
// How far the first line is looked for, to read it as a header.
constexpr std::size_t kLongestHeader = 64 * 1024;

constexpr bool isDigit(unsigned c) { return c - '0' <= 9u; }
constexpr bool isLetter(unsigned c) { return (c | 0x20) - 'a' < 26u; }
constexpr bool isWord(char c) { return isDigit(static_cast<unsigned char>(c)) || isLetter(static_cast<unsigned char>(c)); }
constexpr bool isSeparator(char c) { return c == ' ' || c == '-'; }
constexpr char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr bool inCarrier(char c, bool lowerCase) {
  return rules::kCarrierCharacters.find(c) != std::string_view::npos ||
         (lowerCase && c >= 'a' && c <= 'z');
}

// Whether the full-width form at `p` may start a number: a digit, "＋" or "／".
constexpr bool isNumberStart(const unsigned char* p) {
  return p[1] == 0xBC && ((p[2] >= 0x90 && p[2] <= 0x99) || p[2] == 0x8B || p[2] == 0x8F);
}

}  // namespace

OtherFinder::OtherFinder(const ScanOptions& options, Sink sink)
    : m_options(options), m_sink(std::move(sink)) {}

long OtherFinder::read(const Source& source) {
  // The block is read straight into what is held.
  const std::size_t held = m_buffer.size();
  m_buffer.resize(held + kBlockSize);
  const long got = source(m_buffer.data() + held, kBlockSize);
  m_buffer.resize(held + static_cast<std::size_t>(std::max(got, 0L)));
  if (got > 0) {
    advance();
  } else {
    const int error = errno;
    finish();
    errno = error;
  }
  return got;
}

void OtherFinder::take(std::string_view bytes, const Found* number) {
  if (number == nullptr) {
    m_buffer.append(bytes);
    advance();
    return;
  }
  // An identity number starts with a letter, which no number before it may touch.
  scan(true, true);
  pass(m_buffer.size());
  m_sink(bytes, number);
  m_buffer.append(bytes);
  m_next = m_passed = m_buffer.size();
  m_inLongRun = false;
}

// Scans what is held as far as a number cannot still be cut, and passes the text before it on.
void OtherFinder::advance() {
  scan(false, false);
  pass(m_next > kLettersBefore ? m_next - kLettersBefore : 0);
  compact();
}

void OtherFinder::finish() {
  scan(true, false);
  pass(m_buffer.size());
}

OtherFinder::Character OtherFinder::wideAt(std::size_t i) const {
  const std::size_t size = m_buffer.size();
  if (i >= size) return {};
  if (size - i >= 3) {
    if (const char c = WideAscii(at(i))) return {c, 3};
  }
  return {0, 1};
}

OtherFinder::Character OtherFinder::wideBefore(std::size_t i) const {
  if (i == 0) return {};
  if (i >= 3) {
    if (const char c = WideAscii(at(i - 3))) return {c, 3};
  }
  return {0, 1};
}

bool OtherFinder::wordBefore(std::size_t i) const { return isWord(charBefore(i).ascii); }

bool OtherFinder::wordAt(std::size_t i, bool wordAfterEnd) const {
  if (i >= m_buffer.size()) return wordAfterEnd;
  return isWord(charAt(i).ascii);
}

// The digits of either width that end at `i` and start at `i`, as far as five.
std::size_t OtherFinder::digitsBefore(std::size_t i) const {
  std::size_t digits = 0;
  for (Character c = charBefore(i); digits < 5 && isDigit(static_cast<unsigned char>(c.ascii)); c = charBefore(i)) {
    i -= c.size;
    ++digits;
  }
  return digits;
}

std::size_t OtherFinder::digitsFrom(std::size_t i) const {
  std::size_t digits = 0;
  for (Character c = charAt(i); digits < 5 && isDigit(static_cast<unsigned char>(c.ascii)); c = charAt(i)) {
    i += c.size;
    ++digits;
  }
  return digits;
}

constexpr bool isJoiner(char c) { return c == '.' || c == ':' || c == '-' || c == ',' || c == '/'; }

// Whether what joins the run of `digits` digits to the run of `other` digits beside it, `joiner`,
// makes the two one number: a decimal point, a time, a landline's or a date's hyphen always; a
// comma only where it groups digits in threes (1,234,567); a slash only between short runs, as in
// a date or a fraction (2023/12/07, 1/2). Otherwise they are fields of a list: 0912345678,04595257.
static bool joins(char joiner, std::size_t digits, std::size_t other, bool before) {
  switch (joiner) {
    case '.':
    case ':':
    case '-': return true;
    case ',': return before ? digits == 3 && other <= 3 : digits <= 3 && other == 3;
    case '/': return digits <= 4 && other <= 4;
    default: return false;
  }
}

// Digits that stand alone: no letter or digit touches them, and they are no part of a longer
// number such as 1.5, 1,234,567, 02-2345678 or a date.
bool OtherFinder::alone(std::size_t start, std::size_t end, std::size_t digits, bool wordAfterEnd) const {
  const Character before = charBefore(start);
  if (isWord(before.ascii) || before.ascii == '+' || wordAt(end, wordAfterEnd)) return false;
  if (isJoiner(before.ascii)) {
    const std::size_t other = digitsBefore(start - before.size);
    if (other > 0 && joins(before.ascii, digits, other, true)) return false;
  }
  const Character after = charAt(end);
  if (!isJoiner(after.ascii)) return true;
  const std::size_t next = digitsFrom(end + after.size);
  return !(next > 0 && joins(after.ascii, digits, next, false));
}

std::string OtherFinder::asciiOf(std::size_t start, std::size_t end, std::size_t letters) const {
  std::string ascii;
  for (std::size_t i = start; i < end;) {
    const Character c = charAt(i);
    // --normalize takes lower-case letters as capitals, as check --normalize does.
    ascii += m_options.normalize && ascii.size() < letters ? upper(c.ascii) : c.ascii;
    i += c.size;
  }
  return ascii;
}

void OtherFinder::scan(bool final, bool wordAfterEnd) {
  if (m_options.labelled && !m_headerRead) readHeader(final);
  const std::size_t size = m_buffer.size();
  const std::size_t limit = final ? size : (size > kTail ? size - kTail : 0);
  std::size_t p = m_next;
  if (m_inLongRun) {
    for (Character c = charAt(p); isDigit(static_cast<unsigned char>(c.ascii)); c = charAt(p)) p += c.size;
    m_inLongRun = p + 3 > size && !final;
  }
  const bool plus = asked(rules::IdKind::Mobile);
  const bool mobileAlone = (m_options.kinds & rules::kOtherKinds) == rules::KindBit(rules::IdKind::Mobile);
  const bool slash = asked(rules::IdKind::Carrier);
  // The bytes that may start a number: digits, the lead of the full-width forms, and "+" and "/"
  // when asked for; mobile numbers alone start only at a 0 or 8 or at a "+".
  // Eight bytes at a time to the next byte that may start one, on the little-endian machines
  // this runs on: the lowest byte of a word is the first; a borrow runs only upward from a byte
  // that matches, so the lowest flag is exact.
  const auto first = [](std::uint64_t word, unsigned char c) {
    const std::uint64_t x = word ^ (kOnes * c);
    return (x - kOnes) & ~x & kHighs;
  };
  const auto skip = [&](auto interesting) {
    while (std::endian::native == std::endian::little && limit - p >= 8) {
      const std::uint64_t found = interesting(engine::wordAt(at(p)), p);
      if (found != 0) {
        p += static_cast<std::size_t>(std::countr_zero(found) / 8);
        return;
      }
      p += 8;
    }
  };
  // A character of three bytes at `p` that starts no number is passed by; one cut short waits.
  const auto passWide = [&]() {
    if (*at(p) != 0xEF || (size - p >= 3 && isNumberStart(at(p)))) return false;
    if (size - p < 3 && !final) return true;
    p += size - p >= 3 && (*at(p + 1) & 0xC0) == 0x80 && (*at(p + 2) & 0xC0) == 0x80 ? 3 : 1;
    return false;
  };
  // Mobile numbers alone start only at a 0 or 8 that no digit comes before, or at a "+"; 0 and 8
  // differ in one bit, so one test finds both.
  while (mobileAlone && p < limit) {
    skip([&first](std::uint64_t w, std::size_t) {
      return first(w | (kOnes * 0x08), '8') | first(w, '+') | first(w, 0xEF);
    });
    if (p >= limit) break;
    const std::size_t before = p;
    if (passWide()) break;
    if (p != before) continue;
    const Character c = charAt(p);
    const bool starts = c.ascii == '+' || ((c.ascii == '0' || c.ascii == '8') &&
                                           !isDigit(static_cast<unsigned char>(charBefore(p).ascii)));
    const std::size_t found = starts ? tryMobile(p, wordAfterEnd) : 0;
    p = found != 0 ? found : p + c.size;
  }
  while (!mobileAlone && p < limit) {
    if (!plus && !slash) {
      skip([&first](std::uint64_t w, std::size_t) { return digitBytes(w) | first(w, 0xEF); });
    } else {
      skip([&first, plus, slash](std::uint64_t w, std::size_t) {
        return digitBytes(w) | first(w, 0xEF) | (plus ? first(w, '+') : 0) | (slash ? first(w, '/') : 0);
      });
    }
    if (p >= limit) break;
    const std::size_t before = p;
    if (passWide()) break;
    if (p != before) continue;
    const Character c = charAt(p);
    if (isDigit(static_cast<unsigned char>(c.ascii))) {
      // The whole run, ASCII digits eight at a time while they last.
      std::size_t end = p, digits = 0;
      for (;;) {
        const std::size_t from = end;
        while (std::endian::native == std::endian::little && size - end >= 8) {
          const std::uint64_t others = ~digitBytes(engine::wordAt(at(end))) & kHighs;
          end += static_cast<std::size_t>(std::countr_zero(others) / 8);
          if (others != 0) break;
        }
        while (end < size && isDigit(*at(end))) ++end;
        digits += end - from;
        const Character next = charAt(end);
        if (next.size != 3 || !isDigit(static_cast<unsigned char>(next.ascii))) break;
        end += 3;
        ++digits;
      }
      // A run at the end of what is held, or before a character cut short there, waits for the
      // rest, unless it is already too long.
      if (!final && end + 3 > size) {
        m_inLongRun = digits > kLongestRun;
        if (m_inLongRun) p = end;
        break;
      }
      const std::size_t found = digits <= kLongestRun ? tryRun(p, end, digits, wordAfterEnd) : 0;
      p = found != 0 ? found : end;
    } else if ((plus && c.ascii == '+') || (slash && c.ascii == '/')) {
      const std::size_t found = c.ascii == '+' ? tryMobile(p, wordAfterEnd) : tryCarrier(p, wordAfterEnd);
      p = found != 0 ? found : p + c.size;
    } else {
      p += c.size;
    }
  }
  m_next = std::max(m_next, p);
}

// A run of digits: a mobile number's start, or a number of each kind that a run anchors, in the
// registry's order, the first whose rules it passes (with -a, the first it fits).
std::size_t OtherFinder::tryRun(std::size_t start, std::size_t end, std::size_t digits, bool wordAfterEnd) {
  const char first = charAt(start).ascii;
  if (asked(rules::IdKind::Mobile) && (first == '0' || first == '8')) {
    if (const std::size_t found = tryMobile(start, wordAfterEnd)) return found;
  }
  std::optional<bool> standsAlone;  // looked at once, when a kind needs it
  for (const rules::KindEntry& entry : rules::kKinds) {
    if (!asked(entry.kind) || digits < entry.run.shortest || digits > entry.run.longest) continue;
    std::size_t from = start;
    if (entry.anchor == rules::Anchor::Letters) {
      // Two letters before the digits, and nothing of a word before them.
      const Character second = charBefore(start);
      const Character letter = charBefore(start - second.size);
      from = start - second.size - letter.size;
      if (second.size == 0 || letter.size == 0 || !isLetter(static_cast<unsigned char>(second.ascii)) ||
          !isLetter(static_cast<unsigned char>(letter.ascii)) || wordBefore(from) || wordAt(end, wordAfterEnd)) {
        continue;
      }
    } else if (entry.anchor == rules::Anchor::Digits) {
      if (!standsAlone) standsAlone = alone(start, end, digits, wordAfterEnd);
      if (!*standsAlone) continue;
    } else {
      continue;
    }
    if (!named(from, entry.kind)) continue;
    const std::size_t letters = entry.anchor == rules::Anchor::Letters ? 2 : 0;
    const rules::IdVerdict verdict = entry.verify(asciiOf(from, end, letters), m_options.before2023);
    if (verdict.isValid() || m_options.nearMisses) {
      emit(from, end, verdict);
      return end;
    }
  }
  return 0;
}

// Where the form of a mobile number that starts at `start` ends, reading characters with `read`;
// 0 when none starts there.
template <typename Read>
std::size_t mobileEnd(std::size_t start, Read read) {
  std::size_t p = start;
  const auto take = [&read, &p](char wanted) {
    const OtherFinder::Character c = read(p);
    if (c.ascii != wanted) return false;
    p += c.size;
    return true;
  };
  if (!(take('0') && take('9'))) {
    p = start;
    take('+');
    if (!(take('8') && take('8') && take('6'))) return 0;
    if (isSeparator(read(p).ascii)) p += read(p).size;
    if (!take('9')) return 0;
  }
  for (int digits = 0; digits < 8; ++digits) {
    OtherFinder::Character c = read(p);
    if (isSeparator(c.ascii) && isDigit(static_cast<unsigned char>(read(p + c.size).ascii))) {
      p += c.size;
      c = read(p);
    }
    if (!isDigit(static_cast<unsigned char>(c.ascii))) return 0;
    p += c.size;
  }
  return p;
}

// 09 and eight digits, or +886 (886) and 9 and eight digits, single spaces or hyphens between.
std::size_t OtherFinder::tryMobile(std::size_t start, bool wordAfterEnd) {
  // Most runs that start with 0 or 8 go on with another ASCII character than 09 or 88 have.
  if (start + 1 < m_buffer.size()) {
    const unsigned char first = *at(start), second = *at(start + 1);
    if (second < 0x80 && ((first == '0' && second != '9') || (first == '8' && second != '8'))) return 0;
  }
  // The longest form and the character after it, in ASCII, the usual case, are read a byte at a
  // time.
  const std::size_t p = mobileEnd(start, [this](std::size_t i) { return charAt(i); });
  if (p == 0) return 0;
  if (!alone(start, p, rules::kMobileDigits, wordAfterEnd)) return 0;
  // What was read is a valid mobile number: the form above is the one the verdict takes.
  rules::IdVerdict verdict{rules::Reason::None};
  verdict.kind = rules::IdKind::Mobile;
  emit(start, p, verdict);
  return p;
}

// "/" and seven of its characters, with none of them, no letter and no "/" around.
std::size_t OtherFinder::tryCarrier(std::size_t start, bool wordAfterEnd) {
  const bool nearMisses = m_options.nearMisses;
  std::size_t end = start + charAt(start).size;
  for (int i = 1; i < rules::kCarrierLength; ++i) {
    const Character c = charAt(end);
    if (c.size == 0 || !inCarrier(c.ascii, nearMisses || m_options.normalize)) return 0;
    end += c.size;
  }
  const Character after = charAt(end);
  if (wordBefore(start) || charBefore(start).ascii == '/' || wordAt(end, wordAfterEnd) ||
      (after.size > 0 && (inCarrier(after.ascii, true) || after.ascii == '/'))) {
    return 0;
  }
  const rules::IdVerdict verdict =
      rules::VerifyOther(asciiOf(start, end, rules::kCarrierLength), rules::IdKind::Carrier);
  if (!verdict.isValid() && !nearMisses) return 0;
  emit(start, end, verdict);
  return end;
}

// Whether a number of `kind` at `start` counts: with --labelled, one of a kind that needs a label
// only where one names it.
bool OtherFinder::named(std::size_t start, rules::IdKind kind) {
  return !m_options.labelled || (rules::kNeedLabels & rules::KindBit(kind)) == 0 || labelled(start, kind);
}

bool OtherFinder::labelled(std::size_t start, rules::IdKind kind) {
  if (labelledBefore(start, kind)) return true;
  // The header labels the lines after it, not itself.
  if (m_columns.empty() || m_base + start < m_headerEnd) return false;
  const std::size_t field = fieldAt(start);
  return field < m_columns.size() && (m_columns[field] & rules::KindBit(kind)) != 0;
}

// A label of `kind` at most kLabelReach characters before the number, on its line or the line
// before, with no digit between them: a label names the number that follows it, not the next
// one (統編=04595257 order=20231207).
bool OtherFinder::labelledBefore(std::size_t start, rules::IdKind kind) const {
  const std::size_t from = start > kHistory ? start - kHistory : 0;
  std::string_view before = std::string_view(m_buffer).substr(from, start - from);
  if (const std::size_t newline = before.rfind('\n'); newline != std::string_view::npos && newline > 0) {
    if (const std::size_t earlier = before.rfind('\n', newline - 1); earlier != std::string_view::npos) {
      before.remove_prefix(earlier + 1);
    }
  }
  for (const std::string_view label : rules::EntryOf(kind).labels) {
    if (label.empty()) continue;
    const std::size_t found = before.rfind(label);
    if (found == std::string_view::npos) continue;
    const std::string_view between = before.substr(found + label.size());
    bool digits = false;
    for (std::size_t i = 0; i < between.size() && !digits; ++i) {
      const auto* p = reinterpret_cast<const unsigned char*>(between.data()) + i;
      digits = isDigit(*p) || (between.size() - i >= 3 && isDigit(static_cast<unsigned char>(WideAscii(p))));
    }
    if (digits) continue;
    const auto breaks = static_cast<std::uint64_t>(std::count(between.begin(), between.end(), '\n') +
                                                   std::count(between.begin(), between.end(), '\r'));
    if (CharacterCount(between) - breaks <= kLabelReach) return true;
  }
  return false;
}

// Reads the first line as a CSV or TSV header, once it is held whole: the kinds that each column's
// name labels.
void OtherFinder::readHeader(bool final) {
  const std::size_t newline = m_buffer.find('\n');
  if (m_base == 0 && newline == std::string::npos && !final && m_buffer.size() < kLongestHeader) return;
  m_headerRead = true;
  if (m_base != 0 || newline == std::string::npos) return;
  const std::string_view line = std::string_view(m_buffer).substr(0, newline);
  m_delimiter = line.find('\t') != std::string_view::npos ? '\t' : ',';
  if (line.find(m_delimiter) == std::string_view::npos) return;
  std::vector<rules::KindSet> columns;
  for (const rules::KindEntry& entry : rules::kKinds) {
    for (const std::string_view label : entry.labels) {
      for (std::size_t found = label.empty() ? std::string_view::npos : line.find(label);
           found != std::string_view::npos; found = line.find(label, found + 1)) {
        m_fieldAt = m_field = 0;
        m_quoted = false;
        const std::size_t field = fieldAt(found);
        columns.resize(std::max(columns.size(), field + 1));
        columns[field] |= rules::KindBit(entry.kind);
      }
    }
  }
  m_columns = std::move(columns);
  m_fieldAt = m_headerEnd = newline + 1;
  m_field = 0;
  m_quoted = false;
}

// The field (from 0) of its line that the byte at `at` falls in, counting the delimiters outside
// quotes from where the last count stopped.
std::size_t OtherFinder::fieldAt(std::size_t at) {
  for (; m_fieldAt < at; ++m_fieldAt) {
    const char c = m_buffer[m_fieldAt];
    if (c == '"') {
      m_quoted = !m_quoted;
    } else if (!m_quoted && c == m_delimiter) {
      ++m_field;
    } else if (!m_quoted && c == '\n') {
      m_field = 0;
    }
  }
  return m_field;
}

void OtherFinder::emit(std::size_t start, std::size_t end, const rules::IdVerdict& verdict) {
  pass(start);
  Found found;
  found.offset = m_base + start;
  found.text = std::string_view(m_buffer).substr(start, end - start);
  found.verdict = verdict;
  if (m_options.positions) {
    m_positions.countUpTo(found.offset, m_buffer, m_base);
    found.line = m_positions.line();
    found.column = m_positions.column();
  }
  m_sink(found.text, &found);
  m_passed = end;
}

void OtherFinder::pass(std::size_t upTo) {
  if (upTo <= m_passed) return;
  if (m_options.text) m_sink(std::string_view(m_buffer).substr(m_passed, upTo - m_passed), nullptr);
  m_passed = upTo;
}

// Drops what has been passed on, but for the history that labels and boundaries look back at.
void OtherFinder::compact() {
  const std::size_t settled = std::min(m_next, m_passed);
  if (settled < 4 * kBlockSize) return;
  std::size_t cut = settled - kHistory;
  // Cut between characters, so that columns count whole ones.
  while (cut > 0 && (*at(cut) & 0xC0) == 0x80) --cut;
  if (m_options.positions) m_positions.countUpTo(m_base + cut, m_buffer, m_base);
  if (!m_columns.empty()) fieldAt(cut);
  m_buffer.erase(0, cut);
  m_base += cut;
  m_next -= cut;
  m_passed -= cut;
  m_fieldAt -= std::min(m_fieldAt, cut);
}

}  // namespace engine
