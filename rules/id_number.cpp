// The window's verdict: its UTF-16 text read into the verdict core as a national number.
#include "rules/id_number.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "rules/id_core.h"

namespace rules {

NumVerdict VerifyNum(std::u16string_view text) noexcept {
  // Positions past the end of a short text read as 0, which is neither a letter nor a digit; a
  // unit outside ASCII is no letter or digit at any position.
  // Positions 3 to 10 are gathered in a register, as the core takes them.
  const auto at = [text](std::size_t i) -> unsigned {
    if (i >= text.size()) return 0;
    return text[i] < 0x80 ? text[i] : 0x80u;
  };
  std::uint64_t word = 0;
  if (std::endian::native == std::endian::little && text.size() == kNumberLength) {
    // Ten ASCII units, the usual case: each 16-bit unit's low byte, four at a time.
    std::uint64_t low, high;
    std::memcpy(&low, text.data() + 2, sizeof low);
    std::memcpy(&high, text.data() + 6, sizeof high);
    const auto narrow = [](std::uint64_t units) {
      units = (units | (units >> 8)) & 0x0000FFFF0000FFFFu;
      return (units | (units >> 16)) & 0x00000000FFFFFFFFu;
    };
    if (((low | high) & 0xFF80FF80FF80FF80u) == 0) word = narrow(low) | (narrow(high) << 32);
  }
  if (word == 0) {
    for (int i = 0; i < 8; ++i) {
      word |= std::uint64_t{at(static_cast<std::size_t>(i) + 2)} << detail::ByteShift(i);
    }
  }
  const IdVerdict verdict =
      detail::VerifyParts(at(0), at(1), word, KindBit(IdKind::National));
  switch (verdict.reason) {
    case Reason::Letter: return {VerdictKind::BadLetter};
    case Reason::Second: return {VerdictKind::BadSex};
    case Reason::Length:
    case Reason::Character:
    case Reason::Digit: return {VerdictKind::BadDigit};
    case Reason::Check:
    case Reason::None: break;
  }
  // Characters past the tenth are not digits where the check digit should end the number.
  if (text.size() > kNumberLength) return {VerdictKind::BadDigit};
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
