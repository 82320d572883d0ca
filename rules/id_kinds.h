// The three kinds of identity number (national, resident, resident-old): one verdict over UTF-8
// text for all of them, and the composition of a number from its parts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "rules/id_number.h"
#include "rules/place_table.h"

namespace rules {

enum class IdKind : std::uint8_t { National, Resident, ResidentOld };
enum class Sex : std::uint8_t { Male, Female };

// A set of kinds, one bit per kind.
using KindSet = unsigned;
constexpr KindSet kindBit(IdKind kind) noexcept { return 1u << static_cast<unsigned>(kind); }
inline constexpr KindSet kAllKinds = 7;

// The rules in the order they are tried; None for a valid number.
enum class Reason : std::uint8_t { None, Length, Letter, Second, Digit, Check };

struct IdVerdict {
  Reason reason = Reason::Length;
  std::int8_t position = 0;        // 1-based character position for Letter, Second, Digit and Check
  std::int8_t expected = -1;       // the right check digit for Check
  IdKind kind = IdKind::National;  // kind, sex, letter and place are set for a valid number
  Sex sex = Sex::Male;
  char letter = 0;
  const Place* place = nullptr;

  bool isValid() const noexcept { return reason == Reason::None; }
};

// The length (1 to 4) of the well-formed UTF-8 sequence that starts at text[at], or 0 when that
// byte starts none; such a byte then stands for one character of its own.
constexpr int Utf8SequenceLength(std::string_view text, std::size_t at) noexcept {
  const auto byte = [text](std::size_t i) -> unsigned {
    return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
  };
  const auto follows = [&byte, at](std::size_t i, unsigned low = 0x80, unsigned high = 0xBF) {
    const unsigned b = byte(at + i);
    return b >= low && b <= high;
  };
  const unsigned lead = byte(at);
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return follows(1) ? 2 : 0;
  // The narrowed second-byte ranges exclude overlong forms, surrogates and code points past
  // U+10FFFF.
  if (lead >= 0xE0 && lead <= 0xEF) {
    const bool second = follows(1, lead == 0xE0 ? 0xA0 : 0x80, lead == 0xED ? 0x9F : 0xBF);
    return second && follows(2) ? 3 : 0;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    const bool second = follows(1, lead == 0xF0 ? 0x90 : 0x80, lead == 0xF4 ? 0x8F : 0xBF);
    return second && follows(2) && follows(3) ? 4 : 0;
  }
  return 0;
}

// The verdict on UTF-8 `text` as one number of any kind in `kinds`: its kind, sex, letter and place
// when valid, else the first broken rule in the order length (not ten characters), letter, second
// character, digits, check digit. Positions count characters; an invalid byte is one character.
IdVerdict VerifyId(std::string_view text, KindSet kinds = kAllKinds) noexcept;

// The second characters a number of `kind` carries for `sex`: "1" or "2", "8" or "9", "AC" or "BD".
constexpr std::string_view SecondCharacters(IdKind kind, Sex sex) noexcept {
  const bool male = sex == Sex::Male;
  switch (kind) {
    case IdKind::National: return male ? "1" : "2";
    case IdKind::Resident: return male ? "8" : "9";
    case IdKind::ResidentOld: return male ? "AC" : "BD";
  }
  return {};
}

// What a second character counts as in the check digit: its digit, or for A to D the units digit
// of its letter value.
constexpr int SecondValue(char second) noexcept {
  return second <= '9' ? second - '0' : LetterValue(static_cast<char16_t>(second))->units;
}

// Writes the ten characters of the number with the letter of `place` (rows 1 to 26), the second
// character `second` (one of SecondCharacters) and `serial` (0 to 9,999,999) as positions 3 to 9;
// position 10 is its check digit.
inline void ComposeId(const Place& place, char second, std::uint32_t serial, char* out) noexcept {
  // Four independent divisions by constants, so they run side by side.
  const std::uint32_t head = serial / 100000;
  const std::uint32_t upper = serial / 1000 % 100;
  const std::uint32_t lower = serial / 10 % 100;
  const std::array<int, 8> digits = {SecondValue(second),          static_cast<int>(head / 10),
                                     static_cast<int>(head % 10),  static_cast<int>(upper / 10),
                                     static_cast<int>(upper % 10), static_cast<int>(lower / 10),
                                     static_cast<int>(lower % 10), static_cast<int>(serial % 10)};
  out[0] = static_cast<char>(place.letter);
  out[1] = second;
  for (std::size_t i = 1; i < digits.size(); ++i) out[i + 1] = static_cast<char>('0' + digits[i]);
  out[9] = static_cast<char>('0' + CheckDigit(place.letterValue, digits));
}

}  // namespace rules
