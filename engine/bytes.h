// Reading text eight bytes at a time, and the full-width forms of ASCII, for the finders and the
// readers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace engine {

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

// A character of a number as the masks and the pseudonyms take it: its ASCII form (a full-width
// form narrowed) and its size in bytes. Any other byte stands for itself.
struct NumberCharacter {
  char ascii;
  unsigned size;
};

inline NumberCharacter NumberCharacterAt(std::string_view number, std::size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(number.data()) + at;
  const char wide = number.size() - at >= 3 ? WideAscii(p) : 0;
  return wide != 0 ? NumberCharacter{wide, 3} : NumberCharacter{static_cast<char>(*p), 1};
}

// The full-width form of the ASCII character `c` (! to ~), as UTF-8 into `out`'s three bytes.
inline void PutFullWidth(char c, char* out) {
  const unsigned code = 0xFF01u + static_cast<unsigned char>(c) - '!';
  out[0] = static_cast<char>(0xE0 | code >> 12);
  out[1] = static_cast<char>(0x80 | (code >> 6 & 0x3F));
  out[2] = static_cast<char>(0x80 | (code & 0x3F));
}

constexpr bool IsAsciiWord(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
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

}  // namespace engine
