// Telling UTF-8 from UTF-16 by the first block of an input, and turning UTF-16 into UTF-8 and back.
#include "cli/text_source.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "rules/text.h"

namespace cli {
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

}  // namespace

TextSource::TextSource(Read read, Undecodable undecodable)
    : m_read(std::move(read)), m_undecodable(std::move(undecodable)) {}

long TextSource::read(char* into, std::size_t size) {
  if (!m_started) return first(into, size);
  if (!m_pending.empty()) return decoded(into, size);
  if (m_encoding == Encoding::Utf8) return m_read(into, size);
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
  m_encoding = sniff(block);
  if (m_encoding == Encoding::Utf8) {
    if (const std::uint64_t line = firstUndecodableLine(block); line != 0 && m_undecodable) {
      m_undecodable(line);
    }
    m_pending = std::move(block);
  } else {
    decode(reinterpret_cast<const unsigned char*>(block.data()), block.size(), false);
  }
  return decoded(into, size);
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
  // What the last read left (an odd byte, a high surrogate) goes first; the rest is read in place.
  if (!m_raw.empty()) {
    m_raw.append(reinterpret_cast<const char*>(bytes), size);
    bytes = reinterpret_cast<const unsigned char*>(m_raw.data());
    size = m_raw.size();
  }
  const bool little = m_encoding == Encoding::Utf16Le;
  const auto unitAt = [bytes, little](std::size_t at) -> char32_t {
    return little ? bytes[at] | (bytes[at + 1] << 8) : (bytes[at] << 8) | bytes[at + 1];
  };
  // A unit makes at most three bytes of UTF-8, and a pair four.
  const std::size_t kept = m_pending.size();
  m_pending.resize(kept + size / 2 * 3 + 4);
  char* out = m_pending.data() + kept;
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
    if (c < 0x80) {
      *out++ = static_cast<char>(c);
      at += 2;
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (at + 4 > size && !last) break;  // its partner comes with the next read
      const char32_t low = at + 4 <= size ? unitAt(at + 2) : 0;
      if (low >= 0xDC00 && low <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        at += 2;
      }
    }
    // An unpaired surrogate keeps its three-byte form, so that Encoder gives it back.
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
    at += 2;
  }
  m_pending.resize(static_cast<std::size_t>(out - m_pending.data()));
  std::string left(reinterpret_cast<const char*>(bytes) + at, size - at);
  m_raw = std::move(left);
  if (last && !m_raw.empty()) {
    m_oddByte = static_cast<unsigned char>(m_raw.back());
    m_raw.clear();
  }
}

void Encoder::unit(char32_t unit, std::string& out) const {
  const auto high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
  if (m_encoding == Encoding::Utf16Le) {
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
    if (c >= 0x10000) {
      unit(0xD800 + ((c - 0x10000) >> 10), out);
      unit(0xDC00 + ((c - 0x10000) & 0x3FF), out);
    } else {
      unit(c, out);
    }
    at += length;
  }
  m_carry.erase(0, at);
}

}  // namespace cli
