// The identity-number format: letter values from the one letter string, the check digit, and the
// window's verdict on a ten-character text.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace rules {

inline constexpr int kNumberLength = 10;
inline constexpr int kFirstLetterValue = 10;
inline constexpr int kLastLetterValue = 35;

// The 26 capital letters in letter-value order: the letter at position i has value 10 + i. The
// runs A-H, J-N, P-V, X-Y took the values in turn; I, O, W and Z, between the runs, were given
// theirs last.
inline constexpr std::string_view kLetters = "ABCDEFGHJKLMNPQRSTUVXYWZIO";
static_assert(kLetters.size() == kLastLetterValue - kFirstLetterValue + 1);

// A place's index in the place list (1 to 26) is its letter value less this.
inline constexpr int kPlaceIndexOffset = kFirstLetterValue - 1;

// The typed-key filter's upper-casing: a to z become A to Z, every other code passes unchanged.
constexpr char16_t UpperCased(char16_t c) noexcept {
  return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
}

constexpr bool IsDigit(char32_t c) noexcept { return c >= u'0' && c <= u'9'; }

// A letter value (10 to 35) with its units digit, which the check digit weighs apart from the
// tens and which a resident-old number's second letter stands for.
struct LetterDigits {
  int value = 0;
  int units = 0;
};

namespace detail {
// Letter values by ASCII code, 0 for a code that is no capital letter.
inline constexpr auto kValueByCode = [] {
  std::array<unsigned char, 128> values{};
  for (std::size_t i = 0; i < kLetters.size(); ++i) {
    values[static_cast<unsigned char>(kLetters[i])] =
        static_cast<unsigned char>(kFirstLetterValue + static_cast<int>(i));
  }
  return values;
}();
}  // namespace detail

// The letter value of a capital letter A to Z; no value for any other character.
constexpr std::optional<LetterDigits> LetterValue(char32_t letter) noexcept {
  if (letter >= detail::kValueByCode.size() || detail::kValueByCode[letter] == 0) {
    return std::nullopt;
  }
  const int value = detail::kValueByCode[letter];
  return LetterDigits{value, value % 10};
}

// The capital letter whose letter value is `value` (10 to 35); 0 for any other value.
constexpr char16_t ValueLetter(int value) noexcept {
  if (value < kFirstLetterValue || value > kLastLetterValue) return 0;
  return static_cast<char16_t>(kLetters[static_cast<std::size_t>(value - kFirstLetterValue)]);
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

// The first rule that `text` breaks as a national number, tried in the order letter, sex, digits,
// check digit; or its sex with letter value and place index when it is valid. Meant for ten UTF-16
// units: a shorter text fails at its first missing position, a longer one is BadDigit once its
// first ten pass the letter, sex and digit rules.
NumVerdict VerifyNum(std::u16string_view text) noexcept;

}  // namespace rules
