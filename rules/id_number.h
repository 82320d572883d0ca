// The identity-number format: letter values, the check digit and the verdict on a ten-character
// text.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace rules {

inline constexpr int kNumberLength = 10;
inline constexpr int kFirstLetterValue = 10;
inline constexpr int kLastLetterValue = 35;

// The typed-key filter's upper-casing: a to z become A to Z, every other code passes unchanged.
constexpr char16_t upperCased(char16_t c) noexcept {
  return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
}

constexpr bool isDigit(char16_t c) noexcept { return c >= u'0' && c <= u'9'; }

// A letter value (10 to 35) with the tens and units digits that the check digit weighs apart.
struct LetterDigits {
  int value = 0;
  int tens = 0;
  int units = 0;
};

// The letter value of a capital letter A to Z; no value for any other character.
constexpr std::optional<LetterDigits> LetterValue(char16_t letter) noexcept {
  const int c = letter;
  int value = 0;
  // Each run of letters is a fixed offset from its code; the four letters between the runs were
  // given their values last, so they sit at the top of the range.
  if (c >= 'A' && c <= 'H') {
    value = c - 55;
  } else if (c >= 'J' && c <= 'N') {
    value = c - 56;
  } else if (c >= 'P' && c <= 'V') {
    value = c - 57;
  } else if (c >= 'X' && c <= 'Y') {
    value = c - 58;
  } else if (c == 'I') {
    value = 34;
  } else if (c == 'O') {
    value = 35;
  } else if (c == 'W') {
    value = 32;
  } else if (c == 'Z') {
    value = 33;
  } else {
    return std::nullopt;
  }
  return LetterDigits{value, value / 10, value % 10};
}

// The capital letter whose letter value is `value` (10 to 35); 0 for any other value.
constexpr char16_t ValueLetter(int value) noexcept {
  const int n = value - 9;  // the place index
  if (n >= 1 && n <= 8) return static_cast<char16_t>(n + 64);
  if (n >= 9 && n <= 13) return static_cast<char16_t>(n + 65);
  if (n >= 14 && n <= 20) return static_cast<char16_t>(n + 66);
  if (n >= 21 && n <= 22) return static_cast<char16_t>(n + 67);
  switch (n) {
    case 23: return u'W';
    case 24: return u'Z';
    case 25: return u'I';
    case 26: return u'O';
    default: return 0;
  }
}

// The check digit (0 to 9) for a letter value and the eight digits of positions 2 to 9, the sex
// digit first. A weighted sum that is a multiple of ten gives 0.
constexpr int CheckDigit(int letterValue, const std::array<int, 8>& digits) noexcept {
  // Spelt out term by term: written as a loop, GCC vectorises the sum through a stack copy of the
  // digits and a whole verdict takes three times as long.
  const int sum = (letterValue / 10) + 9 * (letterValue % 10) + 8 * digits[0] + 7 * digits[1] +
                  6 * digits[2] + 5 * digits[3] + 4 * digits[4] + 3 * digits[5] + 2 * digits[6] +
                  digits[7];
  // One division: the remainder brought into 0 to 9 (a negative sum leaves a negative one).
  int r = sum % 10;
  if (r < 0) r += 10;
  return r == 0 ? 0 : 10 - r;
}

enum class VerdictKind { BadLetter, BadSex, BadDigit, BadCheck, ValidMale, ValidFemale };

struct NumVerdict {
  VerdictKind kind = VerdictKind::BadLetter;
  int expectedCheckDigit = -1;  // set for BadCheck
  int letterValue = 0;          // set for ValidMale and ValidFemale
  int placeIndex = 0;           // set for ValidMale and ValidFemale

  bool isValid() const noexcept {
    return kind == VerdictKind::ValidMale || kind == VerdictKind::ValidFemale;
  }
};

// The first rule that `text` breaks, tried in the order letter, sex, digits, check digit; or its
// sex with letter value and place index when it is a valid number. Meant for ten UTF-16 units:
// a shorter text fails at its first missing position, a longer one is BadDigit.
NumVerdict VerifyNum(std::u16string_view text) noexcept;

}  // namespace rules
