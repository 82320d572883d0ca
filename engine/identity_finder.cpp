// The identity numbers' finder: runs of eight or nine digits, then the letters before them.
#include "engine/identity_finder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <span>

#include "engine/bytes.h"
#include "rules/id_core.h"
#include "rules/text.h"

namespace engine {
namespace {

// Bytes that may start a digit: ASCII digits, and 0xEF, which leads the full-width forms.
constexpr auto kInteresting = [] {
  std::array<bool, 256> interesting{};
  for (int c = '0'; c <= '9'; ++c) interesting[static_cast<std::size_t>(c)] = true;
  interesting[0xEF] = true;
  return interesting;
}();

// What is looked at before a run of digits: the second character and the letter, each up to
// three bytes with up to kMostHidden invisible formatting characters before it (with --normalize),
// then the character before the number and an escape sequence that it may end. A block keeps
// kBefore bytes unpassed before where scanning goes on, and kHistory bytes in all.
constexpr int kMostHidden = 4;
constexpr int kEscapeReach = 16;
constexpr std::ptrdiff_t kBefore = 2 * (3 + 4 * kMostHidden);
constexpr std::ptrdiff_t kHistory = kBefore + 3 + 4 * kMostHidden + kEscapeReach + 2;

enum class Kind { Edge, Other, Letter, Digit };

// One character next to a number: what it is, where it starts, and its ASCII form.
struct Character {
  Kind kind = Kind::Edge;
  const unsigned char* start = nullptr;
  char ascii = 0;
};

constexpr bool isAsciiLetter(unsigned c) { return (c | 0x20) - 'a' < 26; }

std::string_view view(const unsigned char* from, const unsigned char* to) {
  return {reinterpret_cast<const char*>(from), static_cast<std::size_t>(to - from)};
}

Kind kindOf(char ascii) {
  if (ascii == 0) return Kind::Other;
  return ascii >= '0' && ascii <= '9' ? Kind::Digit : Kind::Letter;
}

// Whether the ASCII letter at `letter` is the final byte of a terminal's escape sequence: ESC and
// intermediate bytes (ESC ( B), or ESC [ with parameters (the colours of ESC [ 1 ; 31 m).
bool endsEscape(const unsigned char* letter, const unsigned char* first) {
  // Most letters follow a byte that no escape sequence ends with.
  if (letter == first || (letter[-1] > 0x3F && letter[-1] != '[') ||
      (letter[-1] < 0x20 && letter[-1] != 0x1B)) {
    return false;
  }
  const unsigned char* q = letter;
  for (int i = 0; i < kEscapeReach && q > first && q[-1] >= 0x20 && q[-1] <= 0x3F; ++i) --q;
  if (q > first && q[-1] == 0x1B) return true;
  return q - first >= 2 && q[-1] == '[' && q[-2] == 0x1B;
}

// The size of the invisible formatting character that ends just before `p`, or 0.
std::size_t formatBefore(const unsigned char* p, const unsigned char* first) {
  for (int size = 2; size <= 4 && p - first >= size; ++size) {
    const std::string_view text = view(p - size, p);
    if (rules::Utf8SequenceLength(text, 0) == size &&
        rules::IsFormatCharacter(rules::DecodeUtf8(text, 0, size))) {
      return static_cast<std::size_t>(size);
    }
  }
  return 0;
}

// The character that ends just before `p`, past the invisible formatting characters before it
// when they are skipped; Edge at the start of what is kept. A letter that ends an escape sequence
// is no letter: the colour codes of a log do not touch the number after them.
template <bool kSkipHidden>
Character before(const unsigned char* p, const unsigned char* first, bool escapes) {
  for (int i = 0; kSkipHidden && i < kMostHidden; ++i) {
    const std::size_t hidden = formatBefore(p, first);
    if (hidden == 0) break;
    p -= hidden;
  }
  if (p == first) return {};
  if (p[-1] < 0x80) {
    const unsigned b = p[-1];
    const Kind kind = isAsciiLetter(b)  ? (escapes && endsEscape(p - 1, first) ? Kind::Other : Kind::Letter)
                      : b - '0' <= 9u ? Kind::Digit
                                       : Kind::Other;
    return {kind, p - 1, static_cast<char>(b)};
  }
  if (p - first >= 3) {
    const char c = FullWidthForm(p - 3);
    if (c != 0) return {kindOf(c), p - 3, c};
  }
  return {Kind::Other, p - 1, 0};
}

// Whether the character at `p` is a letter or digit of either width.
bool isWordAt(const unsigned char* p, const unsigned char* end) {
  if (p >= end) return false;
  if (*p < 0x80) return isAsciiLetter(*p) || (*p >= '0' && *p <= '9');
  return end - p >= 3 && FullWidthForm(p) != 0;
}

// The high bit of each byte that is an ASCII digit or 0xEF, which leads the full-width forms.
constexpr std::uint64_t interestingBytes(std::uint64_t word) {
  return digitBytes(word) | zeroBytes(word ^ (kOnes * 0xEF));
}
static_assert(interestingBytes(0x3A392F30EF41EE00u) == 0x0080008080000000u);

// `p`, or the start of the well-formed sequence that `p` falls inside.
const unsigned char* characterStart(const unsigned char* p, const unsigned char* first,
                                    const unsigned char* end) {
  for (std::ptrdiff_t back = 1; back <= 3 && p - back >= first; ++back) {
    if (rules::Utf8SequenceLength(view(p - back, end), 0) > back) return p - back;
  }
  return p;
}

}  // namespace

IdentityFinder::IdentityFinder(Source source, const ScanOptions& options, std::size_t blockSize)
    : m_source(std::move(source)),
      m_options(options),
      m_capacity(std::max<std::size_t>(blockSize, 4 * kHistory + 64)),
      m_buffer(new unsigned char[m_capacity]),
      m_end(m_buffer.get()),
      m_next(m_buffer.get()),
      m_passed(m_buffer.get()) {}

bool IdentityFinder::step(const Sink& sink) {
  scanBlock(sink);
  if (!m_ended) {
    refill(sink);
    return true;
  }
  if (m_run == 8 || m_run == 9) consider(m_runStart, m_run, m_runEnd, m_end, sink);
  m_run = 0;
  pass(m_end, sink);
  return false;
}

void IdentityFinder::pass(const unsigned char* upTo, const Sink& sink) {
  if (upTo <= m_passed) return;
  if (m_options.text) {
    sink({reinterpret_cast<const char*>(m_passed), static_cast<std::size_t>(upTo - m_passed)},
         nullptr);
  }
  m_passed = upTo;
}

bool IdentityFinder::refill(const Sink& sink) {
  unsigned char* const buffer = m_buffer.get();
  // A run of up to nine digits may yet be a number, and so may the letters before where
  // scanning goes on: they stay, with the characters before them.
  const unsigned char* anchor = m_run > 0 && m_run <= 9 ? m_runStart : m_next;
  const auto back = [&](std::ptrdiff_t bytes) { return std::min(anchor - buffer, bytes); };
  pass(anchor - back(kBefore), sink);
  // Columns are counted up to where the block is cut, so the cut falls between characters.
  unsigned char* keep = const_cast<unsigned char*>(
      characterStart(buffer + (anchor - buffer) - back(kHistory), buffer, m_end));

  const std::uint64_t kept = m_base + static_cast<std::uint64_t>(keep - buffer);
  if (m_options.positions) m_positions.countUpTo(kept, held(), m_base);
  const std::size_t size = static_cast<std::size_t>(m_end - keep);
  std::memmove(buffer, keep, size);
  const std::ptrdiff_t shift = keep - buffer;
  m_base = kept;
  m_next -= shift;
  m_passed -= shift;
  if (m_runStart != nullptr) m_runStart -= shift;
  if (m_runEnd != nullptr) m_runEnd -= shift;
  m_end = buffer + size;

  const long got = m_source(reinterpret_cast<char*>(m_end), m_capacity - size);
  if (got <= 0) {
    m_ended = true;
    if (got < 0) m_error = errno;
    return false;
  }
  m_end += got;
  // Escape sequences are looked for only where the text holds an ESC at all.
  m_escapes = std::memchr(buffer, 0x1B, static_cast<std::size_t>(m_end - buffer)) != nullptr;
  return true;
}

void IdentityFinder::scanBlock(const Sink& sink) {
  const unsigned char* p = m_next;
  const unsigned char* const end = m_end;
  while (p < end) {
    if (m_run == 0) {
      // Eight bytes at a time to the next digit or full-width lead; the first byte read is the
      // lowest of the word on the little-endian machines this runs on.
      while (std::endian::native == std::endian::little && end - p >= 8) {
        const std::uint64_t found = interestingBytes(wordAt(p));
        if (found != 0) {
          p += std::countr_zero(found) / 8;
          break;
        }
        p += 8;
      }
      while (p < end && !kInteresting[*p]) ++p;
      if (p == end) break;
    }
    const unsigned c = *p;
    if (c - '0' <= 9) {
      // The whole run of ASCII digits, eight bytes at a time while they last.
      if (m_run == 0) m_runStart = p;
      const unsigned char* const start = p++;
      while (std::endian::native == std::endian::little && end - p >= 8) {
        const std::uint64_t others = ~digitBytes(wordAt(p)) & kHighs;
        if (others != 0) {
          p += std::countr_zero(others) / 8;
          break;
        }
        p += 8;
      }
      while (p < end && static_cast<unsigned>(*p - '0') <= 9) ++p;
      m_run += static_cast<std::size_t>(p - start);
      m_runEnd = p;
      continue;
    }
    if (c == 0xEF) {
      // A full-width character split between two reads waits for the rest.
      if (end - p < 3 && !m_ended) break;
      if (end - p >= 3 && p[1] == 0xBC && p[2] >= 0x90 && p[2] <= 0x99) {
        if (m_run++ == 0) m_runStart = p;
        p += 3;
        m_runEnd = p;
        continue;
      }
    }
    if (m_options.normalize && m_run > 0 && c >= 0x80) {
      // An invisible formatting character inside a run does not end it; one split between two
      // reads waits for the rest.
      if (end - p < 4 && !m_ended && rules::Utf8SequenceLength(view(p, end), 0) == 0) break;
      if (const std::size_t hidden = formatCharacterAt(p)) {
        p += hidden;
        continue;
      }
    }
    if (m_run == 8 || m_run == 9) consider(m_runStart, m_run, m_runEnd, p, sink);
    m_run = 0;
    ++p;
  }
  m_next = const_cast<unsigned char*>(p);
}

std::size_t IdentityFinder::formatCharacterAt(const unsigned char* p) const {
  const std::string_view rest = view(p, m_end);
  const int length = rules::Utf8SequenceLength(rest, 0);
  if (length < 2 || !rules::IsFormatCharacter(rules::DecodeUtf8(rest, 0, length))) return 0;
  return static_cast<std::size_t>(length);
}

void IdentityFinder::consider(const unsigned char* start, std::size_t digits, const unsigned char* last,
                       const unsigned char* next, const Sink& sink) {
  if (isWordAt(next, m_end)) return;
  if (m_options.normalize) return consider<true>(start, digits, last, sink);
  consider<false>(start, digits, last, sink);
}

template <bool kSkipHidden>
void IdentityFinder::consider(const unsigned char* start, std::size_t digits, const unsigned char* last,
                       const Sink& sink) {
  const unsigned char* const first = m_buffer.get();
  // Nine digits take the second place themselves; eight need a letter there.
  Character second;
  if (digits == 8) {
    second = before<kSkipHidden>(start, first, m_escapes);
    if (second.kind != Kind::Letter) return;
  }
  const Character letter = before<kSkipHidden>(digits == 8 ? second.start : start, first, m_escapes);
  if (letter.kind != Kind::Letter) return;
  const Kind edge = before<kSkipHidden>(letter.start, first, m_escapes).kind;
  if (edge == Kind::Letter || edge == Kind::Digit) return;

  Found found;
  std::size_t at = 0;
  found.ascii[at++] = letter.ascii;
  if (digits == 8) found.ascii[at++] = second.ascii;
  for (const unsigned char* p = start; p < last;) {
    if (*p < 0x80) {
      found.ascii[at++] = static_cast<char>(*p++);
    } else if (const char c = FullWidthForm(p)) {
      found.ascii[at++] = c;
      p += 3;
    } else {
      p += formatCharacterAt(p);  // kept inside the run by --normalize
    }
  }
  if (m_options.normalize) {
    // As check --normalize reads it: a lower-case letter is its capital.
    for (char& c : std::span(found.ascii, 2)) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  found.verdict =
      rules::VerifyTen(reinterpret_cast<const unsigned char*>(found.ascii), m_options.kinds);
  if (!found.verdict.isValid() && !m_options.nearMisses) return;

  pass(letter.start, sink);
  found.offset = m_base + static_cast<std::uint64_t>(letter.start - first);
  found.text = view(letter.start, last);
  if (m_options.positions) {
    m_positions.countUpTo(found.offset, held(), m_base);
    found.line = m_positions.line();
    found.column = m_positions.column();
  }
  sink(found.text, &found);
  m_passed = last;
}

}  // namespace engine
