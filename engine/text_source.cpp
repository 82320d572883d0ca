// Telling UTF-8 from UTF-16 by the first block of an input and from Big5 by the first block that
// is not ASCII, and turning UTF-16 and Big5 into UTF-8 and back.
#include "engine/text_source.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "engine/big5.h"
#include "engine/bytes.h"
#include "rules/text.h"

namespace engine {
namespace {

constexpr std::size_t kFirstBlock = 64 * 1024;
constexpr std::size_t kRawBlock = 64 * 1024;
// How much of the first block tells UTF-16 without a byte-order mark.
constexpr std::size_t kSample = 4096;

// The encoding the first block shows. UTF-16 without a byte-order mark is text whose NULs all fall
// in one byte of the pair, and in at least a quarter of the pairs: the high byte of ASCII.
Encoding sniff(std::string_view block) {
  if (block.starts_with("\xFF\xFE") && !block.starts_with(std::string_view("\xFF\xFE\0\0", 4))) {
    return Encoding::Utf16Le;
  }
  if (block.starts_with("\xFE\xFF")) return Encoding::Utf16Be;
  const std::size_t pairs = std::min(block.size(), kSample) / 2;
  std::size_t evenNuls = 0, oddNuls = 0;
  for (std::size_t i = 0; i < pairs; ++i) {
    evenNuls += block[2 * i] == '\0';
    oddNuls += block[2 * i + 1] == '\0';
  }
  const auto plainly = [pairs](std::size_t nuls, std::size_t others) {
    return nuls >= 2 && 4 * nuls >= pairs && 16 * others <= nuls;
  };
  if (plainly(oddNuls, evenNuls)) return Encoding::Utf16Le;
  if (plainly(evenNuls, oddNuls)) return Encoding::Utf16Be;
  return Encoding::Utf8;
}

// Whether `rest` is the beginning of a well-formed sequence that the block cut short.
bool cutShort(std::string_view rest) {
  const auto lead = static_cast<unsigned char>(rest[0]);
  const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  if (lead < 0xC2 || lead > 0xF4 || rest.size() >= length) return false;
  return std::all_of(rest.begin() + 1, rest.end(),
                     [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; });
}

// The line (from 1) of the first NUL or byte that is not UTF-8 in `block`; 0 when there is none.
std::uint64_t firstUndecodableLine(std::string_view block) {
  std::uint64_t line = 1;
  for (std::size_t at = 0; at < block.size();) {
    const rules::Utf8Character character = rules::Utf8At(block, at);
    if (!character.valid && cutShort(block.substr(at))) return 0;  // the rest is in the next read
    if (character.code == 0 || !character.valid) return line;
    line += character.code == U'\n';
    at += character.size;
  }
  return 0;
}

// Whether a byte of `block` is above 7F, 32 at a time.
bool anyHighByte(std::string_view block) {
  const auto* b = reinterpret_cast<const unsigned char*>(block.data());
  std::uint64_t highs = 0;
  std::size_t at = 0;
  for (; at + 32 <= block.size() && (highs & kHighs) == 0; at += 32) {
    highs |= wordAt(b + at) | wordAt(b + at + 8) | wordAt(b + at + 16) | wordAt(b + at + 24);
  }
  for (; at + 8 <= block.size(); at += 8) highs |= wordAt(b + at);
  for (; at < block.size(); ++at) highs |= b[at];
  return (highs & kHighs) != 0;
}

// Whether the character `c` goes into UTF-8 at `out`, which moves past it.
void putUtf8(char*& out, char32_t c) {
  if (c < 0x80) {
    *out++ = static_cast<char>(c);
    return;
  }
  if (c < 0x800) {
    *out++ = static_cast<char>(0xC0 | (c >> 6));
  } else if (c < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (c >> 12));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (c >> 18));
    *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  }
  *out++ = static_cast<char>(0x80 | (c & 0x3F));
}

}  // namespace

TextSource::TextSource(Read read, ReadingNotes notes, std::optional<Encoding> given)
    : m_read(std::move(read)), m_notes(std::move(notes)), m_given(given) {}

long TextSource::read(char* into, std::size_t size) {
  if (!m_started) return first(into, size);
  if (!m_pending.empty()) return decoded(into, size);
  if (m_encoding == Encoding::Utf8) {
    const long got = m_read(into, size);
    if (!m_undecided || got <= 0) return got;
    // Plain ASCII so far: this block may yet show Big5, which is then decoded from here on.
    decide({into, static_cast<std::size_t>(got)});
    if (m_encoding == Encoding::Utf8) return got;
    decode(reinterpret_cast<const unsigned char*>(into), static_cast<std::size_t>(got), false);
    return read(into, size);
  }
  if (!m_block) m_block = std::make_unique<char[]>(kRawBlock);
  while (!m_ended) {
    const long got = m_read(m_block.get(), kRawBlock);
    if (got < 0) return got;
    m_ended = got == 0;
    decode(reinterpret_cast<const unsigned char*>(m_block.get()), static_cast<std::size_t>(got),
           m_ended);
    if (!m_pending.empty()) return decoded(into, size);
  }
  return 0;
}

long TextSource::first(char* into, std::size_t size) {
  m_started = true;
  std::string block(kFirstBlock, '\0');
  const long got = m_read(block.data(), block.size());
  if (got <= 0) return got;
  block.resize(static_cast<std::size_t>(got));
  m_encoding = m_given.value_or(sniff(block));
  if (m_encoding == Encoding::Utf8) {
    m_undecided = !m_given;
    decide(block);
  }
  if (m_encoding == Encoding::Utf8) {
    m_pending = std::move(block);
  } else {
    decode(reinterpret_cast<const unsigned char*>(block.data()), block.size(), false);
  }
  return decoded(into, size);
}

// Settles a UTF-8 input's reading on the first block that holds a byte above 7F: UTF-8 when the
// block is UTF-8, Big5 when it is not but reads as Big5 of mostly frequent characters; otherwise
// its bytes count as characters and the line of the first one is told.
void TextSource::decide(std::string_view block) {
  const bool first = !m_noted;
  const bool high = anyHighByte(block);
  // Plain ASCII reads the same in every encoding: nothing to decide yet.
  if (!high && !first) return;
  if (high) m_undecided = false;
  const std::uint64_t line = firstUndecodableLine(block);
  if (line != 0 && high && m_given != Encoding::Utf8) {
    const big5::Reading big5 = big5::Read(block);
    if (big5.valid && big5.characters > 0 && 2 * big5.frequent >= big5.characters) {
      m_encoding = Encoding::Big5;
      if (m_notes.big5) m_notes.big5();
      return;
    }
  }
  // Bytes that are not text are told of in the first block alone, as they always were.
  if (line != 0 && first && m_notes.undecodable) m_notes.undecodable(line);
  m_noted = true;
}

long TextSource::decoded(char* into, std::size_t size) {
  const std::size_t n = std::min(size, m_pending.size() - m_handed);
  std::memcpy(into, m_pending.data() + m_handed, n);
  m_handed += n;
  if (m_handed == m_pending.size()) {
    m_pending.clear();
    m_handed = 0;
  }
  return static_cast<long>(n);
}

void TextSource::decode(const unsigned char* bytes, std::size_t size, bool last) {
  // What the last read left (an odd byte, a high surrogate, a lead byte) goes first; the rest is
  // read in place.
  if (!m_raw.empty()) {
    m_raw.append(reinterpret_cast<const char*>(bytes), size);
    bytes = reinterpret_cast<const unsigned char*>(m_raw.data());
    size = m_raw.size();
  }
  // A UTF-16 unit makes at most three bytes of UTF-8, and a pair four; a Big5 byte at most four.
  const std::size_t kept = m_pending.size();
  m_pending.resize(kept + 2 * size + 4);
  char* out = m_pending.data() + kept;
  const std::size_t at = m_encoding == Encoding::Big5 ? decodeBig5(bytes, size, last, out)
                                                      : decodeUtf16(bytes, size, last, out);
  m_pending.resize(static_cast<std::size_t>(out - m_pending.data()));
  std::string left(reinterpret_cast<const char*>(bytes) + at, size - at);
  m_raw = std::move(left);
  if (last && !m_raw.empty()) {
    m_oddByte = static_cast<unsigned char>(m_raw.back());
    m_raw.clear();
  }
}

std::size_t TextSource::decodeUtf16(const unsigned char* bytes, std::size_t size, bool last,
                                    char*& out) {
  const bool little = m_encoding == Encoding::Utf16Le;
  const auto unitAt = [bytes, little](std::size_t at) -> char32_t {
    return little ? bytes[at] | (bytes[at + 1] << 8) : (bytes[at] << 8) | bytes[at + 1];
  };
  // ASCII four units at a time: its high bytes are all zero, and so are the low bytes' top bits.
  const std::uint64_t notAscii = little ? 0xFF80FF80FF80FF80u : 0x80FF80FF80FF80FFu;
  std::size_t at = 0;
  while (at + 2 <= size) {
    if (at + 8 <= size) {
      std::uint64_t word;
      std::memcpy(&word, bytes + at, sizeof word);
      if ((word & notAscii) == 0) {
        for (int i = 0; i < 4; ++i) *out++ = static_cast<char>(bytes[at + 2 * i + (little ? 0 : 1)]);
        at += 8;
        continue;
      }
    }
    char32_t c = unitAt(at);
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (at + 4 > size && !last) break;  // its partner comes with the next read
      const char32_t low = at + 4 <= size ? unitAt(at + 2) : 0;
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        at += 2;
      }
    }
    // An unpaired surrogate keeps its three-byte form, so that Encoder gives it back.
    putUtf8(out, c);
    at += 2;
  }
  return at;
}

std::size_t TextSource::decodeBig5(const unsigned char* bytes, std::size_t size, bool last,
                                   char*& out) {
  std::size_t at = 0;
  while (at < size) {
    while (size - at >= 8 && (wordAt(bytes + at) & kHighs) == 0) {
      std::memcpy(out, bytes + at, 8);
      out += 8;
      at += 8;
    }
    if (at == size) break;
    const unsigned char b = bytes[at];
    if (b < 0x80) {
      *out++ = static_cast<char>(b);
      ++at;
    } else if (at + 1 < size && big5::IsLead(b) && big5::IsTrail(bytes[at + 1])) {
      putUtf8(out, big5::Decode(b, bytes[at + 1]));
      at += 2;
    } else if (at + 1 == size && !last && big5::IsLead(b)) {
      break;  // its trail comes with the next read
    } else {
      putUtf8(out, big5::kBytesBase + b);
      ++at;
    }
  }
  return at;
}

void Encoder::unit(char32_t unit, std::string& out) const {
  const auto high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
  if (m_encoding == Encoding::Big5) {
    // A character that Big5 cannot write (none that a scan writes) becomes "?".
    const std::uint16_t bytes = unit < 0x80 ? static_cast<std::uint16_t>(unit) : big5::Encode(unit);
    if (bytes > 0xFF) out += static_cast<char>(bytes >> 8);
    out += unit < 0x80 || bytes != 0 ? static_cast<char>(bytes & 0xFF) : '?';
  } else if (m_encoding == Encoding::Utf16Le) {
    out += low;
    out += high;
  } else {
    out += high;
    out += low;
  }
}

void Encoder::put(std::string_view utf8, std::string& out) {
  m_carry.append(utf8);
  const auto* b = reinterpret_cast<const unsigned char*>(m_carry.data());
  const std::size_t n = m_carry.size();
  std::size_t at = 0;
  while (at < n) {
    const unsigned lead = b[at];
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (at + length > n) break;
    char32_t c = length == 1   ? lead
                 : length == 2 ? lead & 0x1F
                 : length == 3 ? lead & 0x0F
                               : lead & 0x07;
    for (std::size_t i = 1; i < length; ++i) c = (c << 6) | (b[at + i] & 0x3F);
    if (c >= 0x10000 && m_encoding != Encoding::Big5) {
      unit(0xD800 + ((c - 0x10000) >> 10), out);
      unit(0xDC00 + ((c - 0x10000) & 0x3FF), out);
    } else {
      unit(c, out);
    }
    at += length;
  }
  m_carry.erase(0, at);
}

}  // namespace engine
