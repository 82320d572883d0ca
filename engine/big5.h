// Big5 as Windows' code page 950 reads it (Big5 with the ETEN additions), the encoding of
// Taiwanese spreadsheets, government open data and older systems: its characters, in both
// directions, so that a Big5 input is read as text and written back byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace engine::big5 {

// A pair is a lead byte 81 to FE and a trail byte 40 to 7E or A1 to FE.
constexpr bool IsLead(unsigned char byte) noexcept { return byte >= 0x81 && byte <= 0xFE; }
constexpr bool IsTrail(unsigned char byte) noexcept {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xFE);
}

// What stands for bytes that have no character of their own: a pair that code page 950 leaves
// out, the second pair of a character that has two (兀 is A461 and C94A), and a byte above 7F that
// starts no pair, each as a private-use character of plane 15 that names the bytes.
inline constexpr char32_t kBytesBase = 0xF0000;

// The character of the pair `lead`, `trail`: code page 950's, or the plane-15 stand-in.
char32_t Decode(unsigned char lead, unsigned char trail) noexcept;

// Whether the pair is a character of code page 950 (not a stand-in), and whether that character is
// one of the symbols and frequently used characters (A140 to C67E) that most Big5 text is made of.
bool IsCharacter(unsigned char lead, unsigned char trail) noexcept;
constexpr bool IsFrequent(unsigned char lead, unsigned char trail) noexcept {
  return lead >= 0xA1 && (lead < 0xC6 || (lead == 0xC6 && trail <= 0x7E));
}

// The bytes of `c` in Big5, high byte first: one for ASCII and a single-byte stand-in, two for
// a pair; 0 when Big5 has no bytes for it.
std::uint16_t Encode(char32_t c) noexcept;

// How a block's bytes read as Big5: how many pairs are characters and how many of those are
// frequent ones; `valid` is false when a byte above 7F starts no pair that is a character. A lead
// byte that ends the block is taken as cut short by the read.
struct Reading {
  bool valid = true;
  std::size_t characters = 0;
  std::size_t frequent = 0;
};
Reading Read(std::string_view block) noexcept;

}  // namespace engine::big5
