// Letter values, the check digit and the verdict of an identity number.
#include "rules/id_number.h"

namespace rules {

NumVerdict VerifyNum(std::u16string_view text) noexcept {
  // Positions past the end of a short text read as 0, which is neither a letter nor a digit.
  const auto at = [text](std::size_t position) -> char16_t {
    return position <= text.size() ? text[position - 1] : char16_t{0};
  };

  const auto letter = LetterValue(at(1));
  if (!letter) return {VerdictKind::BadLetter};
  const char16_t sex = at(2);
  if (sex != u'1' && sex != u'2') return {VerdictKind::BadSex};
  for (std::size_t position = 3; position <= kNumberLength; ++position) {
    if (!isDigit(at(position))) return {VerdictKind::BadDigit};
  }
  if (text.size() > kNumberLength) return {VerdictKind::BadDigit};

  std::array<int, 8> digits{};
  for (std::size_t i = 0; i < digits.size(); ++i) digits[i] = at(i + 2) - u'0';
  const int expected = CheckDigit(letter->value, digits);
  if (at(10) - u'0' != expected) {
    NumVerdict verdict{VerdictKind::BadCheck};
    verdict.expectedCheckDigit = expected;
    return verdict;
  }
  NumVerdict verdict{sex == u'1' ? VerdictKind::ValidMale : VerdictKind::ValidFemale};
  verdict.letterValue = letter->value;
  verdict.placeIndex = letter->value - 9;
  return verdict;
}

}  // namespace rules
