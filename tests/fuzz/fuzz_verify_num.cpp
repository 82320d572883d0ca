// libFuzzer target: any UTF-16 text through VerifyNum and the character helpers, against a plain
// reading of the number rules kept here on purpose apart from rules/.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "rules/id_number.h"

namespace {

using rules::VerdictKind;

// The 26 letters in the order of their values 10, 11, ..., 35.
constexpr std::u16string_view kLettersByValue = u"ABCDEFGHJKLMNPQRSTUVXYWZIO";
constexpr std::array<int, 10> kWeights = {1, 9, 8, 7, 6, 5, 4, 3, 2, 1};

void require(bool holds, const char* what, std::u16string_view text) {
  if (holds) return;
  std::fprintf(stderr, "rule disagreement: %s; text in UTF-16 units:", what);
  for (const char16_t unit : text) std::fprintf(stderr, " %04X", static_cast<unsigned>(unit));
  std::fprintf(stderr, "\n");
  std::abort();
}

int plainLetterValue(char16_t c) {
  const std::size_t index = kLettersByValue.find(c);
  return index == std::u16string_view::npos ? 0 : 10 + static_cast<int>(index);
}

bool plainDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int plainCheckDigit(int letterValue, const int* positions2To9) {
  int sum = kWeights[0] * (letterValue / 10) + kWeights[1] * (letterValue % 10);
  for (int i = 0; i < 8; ++i) sum += kWeights[static_cast<std::size_t>(i) + 2] * positions2To9[i];
  return (10 - sum % 10) % 10;
}

struct Reading {
  VerdictKind kind;
  int expectedCheckDigit = -1;
  int letterValue = 0;
};

// Position by position, the first rule broken decides. A missing position breaks the rule it
// belongs to, and an eleventh character or more breaks the digit rule once the first ten pass.
Reading plainReading(std::u16string_view text) {
  const int letterValue = text.empty() ? 0 : plainLetterValue(text[0]);
  if (letterValue == 0) return {VerdictKind::BadLetter};
  if (text.size() < 2 || (text[1] != u'1' && text[1] != u'2')) return {VerdictKind::BadSex};
  for (std::size_t position = 3; position <= 10; ++position) {
    if (text.size() < position || !plainDigit(text[position - 1])) return {VerdictKind::BadDigit};
  }
  if (text.size() != 10) return {VerdictKind::BadDigit};

  int digits[8];
  for (int i = 0; i < 8; ++i) digits[i] = text[static_cast<std::size_t>(i) + 1] - u'0';
  const int check = plainCheckDigit(letterValue, digits);
  if (text[9] - u'0' != check) return {VerdictKind::BadCheck, check};
  return {text[1] == u'1' ? VerdictKind::ValidMale : VerdictKind::ValidFemale, -1, letterValue};
}

void checkVerdict(std::u16string_view text) {
  const rules::NumVerdict verdict = rules::VerifyNum(text);
  const Reading expected = plainReading(text);
  require(verdict.kind == expected.kind, "verdict kind", text);
  if (expected.kind == VerdictKind::BadCheck) {
    require(verdict.expectedCheckDigit == expected.expectedCheckDigit, "expected check digit",
            text);
  }
  require(verdict.isValid() == (expected.kind == VerdictKind::ValidMale ||
                                expected.kind == VerdictKind::ValidFemale),
          "isValid", text);
  if (verdict.isValid()) {
    require(verdict.letterValue == expected.letterValue, "letter value", text);
    require(verdict.placeIndex == expected.letterValue - 9, "place index", text);
  }
}

void checkCharacter(char16_t c, std::u16string_view text) {
  const char16_t upper = rules::UpperCased(c);
  const bool lower = c >= u'a' && c <= u'z';
  require(upper == (lower ? static_cast<char16_t>(c - 32) : c), "UpperCased", text);

  const int value = plainLetterValue(c);
  const auto letter = rules::LetterValue(c);
  require(letter.has_value() == (value != 0), "LetterValue domain", text);
  if (letter) {
    require(letter->value == value && letter->units == value % 10,
            "LetterValue digits", text);
    require(rules::ValueLetter(value) == c, "ValueLetter inverse", text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Byte pairs are little-endian UTF-16 units, so lone surrogates and every other unit turn up;
  // an odd last byte is left over.
  std::u16string text(size / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  checkVerdict(text);
  for (const char16_t c : text) checkCharacter(c, text);
  return 0;
}
