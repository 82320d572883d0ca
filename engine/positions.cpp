// Counting lines and columns: line feeds found with memchr, characters eight ASCII bytes at a time.
#include "engine/positions.h"

#include <cstring>

#include "engine/bytes.h"
#include "rules/text.h"

namespace engine {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view view(const unsigned char* from, const unsigned char* to) {
  return {reinterpret_cast<const char*>(from), static_cast<std::size_t>(to - from)};
}

// Characters, as columns count them, in [from, to), which no well-formed sequence crosses: each
// well-formed UTF-8 sequence is one, and so is each byte that is not part of one.
std::uint64_t characters(const unsigned char* from, const unsigned char* to) {
  std::uint64_t count = 0;
  while (from < to) {
    while (to - from >= 8 && (wordAt(from) & kHighs) == 0) {
      from += 8;
      count += 8;
    }
    if (from == to) break;
    // A three-byte character of the common planes, the usual Chinese text, without the full check:
    // any lead from E1 to EF but ED takes any two continuation bytes.
    const unsigned lead = *from;
    if (lead >= 0xE1 && lead <= 0xEF && lead != 0xED && to - from >= 3 && (from[1] & 0xC0) == 0x80 &&
        (from[2] & 0xC0) == 0x80) {
      from += 3;
      ++count;
      continue;
    }
    const int length = lead < 0x80 ? 1 : rules::Utf8SequenceLength(view(from, to), 0);
    from += length == 0 ? 1 : length;
    ++count;
  }
  return count;
}

}  // namespace

std::uint64_t CharacterCount(std::string_view text) {
  const auto* from = reinterpret_cast<const unsigned char*>(text.data());
  return characters(from, from + text.size());
}

void Positions::countUpTo(std::uint64_t offset, std::string_view held, std::uint64_t base) {
  if (m_counted == 0 && base == 0 && held.starts_with(kByteOrderMark)) m_counted = kByteOrderMark.size();
  if (offset <= m_counted) return;
  const auto* data = reinterpret_cast<const unsigned char*>(held.data());
  const unsigned char* from = data + (m_counted - base);
  const unsigned char* const to = data + (offset - base);
  const void* lastNewline = nullptr;
  for (const unsigned char* p = from; p < to;) {
    const void* newline = std::memchr(p, '\n', static_cast<std::size_t>(to - p));
    if (newline == nullptr) break;
    ++m_line;
    lastNewline = newline;
    p = static_cast<const unsigned char*>(newline) + 1;
  }
  if (lastNewline != nullptr) {
    m_column = characters(static_cast<const unsigned char*>(lastNewline) + 1, to);
  } else {
    m_column += characters(from, to);
  }
  m_counted = offset;
}

}  // namespace engine
