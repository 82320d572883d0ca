// The window's verdict: its UTF-16 text read into the verdict core as a national number.
#include "rules/id_number.h"

#include <algorithm>

#include "rules/id_kinds.h"

namespace rules {

NumVerdict VerifyNum(std::u16string_view text) noexcept {
  // Positions past the end of a short text read as 0, which is neither a letter nor a digit; a
  // unit outside ASCII is no letter or digit at any position.
  std::array<unsigned char, kNumberLength> ten{};
  const std::size_t given = std::min(text.size(), ten.size());
  for (std::size_t i = 0; i < given; ++i) {
    ten[i] = text[i] < 0x80 ? static_cast<unsigned char>(text[i]) : 0x80;
  }
  const IdVerdict verdict = VerifyTen(ten.data(), kindBit(IdKind::National));
  switch (verdict.reason) {
    case Reason::Letter: return {VerdictKind::BadLetter};
    case Reason::Second: return {VerdictKind::BadSex};
    case Reason::Length:
    case Reason::Digit: return {VerdictKind::BadDigit};
    case Reason::Check:
    case Reason::None: break;
  }
  // Characters past the tenth are not digits where the check digit should end the number.
  if (text.size() > ten.size()) return {VerdictKind::BadDigit};
  if (verdict.reason == Reason::Check) {
    NumVerdict bad{VerdictKind::BadCheck};
    bad.expectedCheckDigit = verdict.expected;
    return bad;
  }
  NumVerdict valid{verdict.sex == Sex::Male ? VerdictKind::ValidMale : VerdictKind::ValidFemale};
  valid.letterValue = verdict.place->letterValue;
  valid.placeIndex = verdict.place->index();
  return valid;
}

}  // namespace rules
