// The kinds of number: the three of identity numbers (national, resident, resident-old) and the
// other kinds (rules/other_kinds.h), whose facts the registry (rules/kinds.h) holds; the sexes,
// categories and reasons of a verdict, the verdict, and the second characters each identity kind
// takes. The identity verdict core is in rules/id_core.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "rules/id_number.h"
#include "rules/place_table.h"

namespace rules {

enum class IdKind : std::uint8_t {
  National,
  Resident,
  ResidentOld,
  Business,     // 統一編號
  Certificate,  // 自然人憑證
  Carrier,      // 電子發票手機條碼
  Donation,     // 電子發票捐贈碼
  Mobile,       // 手機號碼
};
enum class Sex : std::uint8_t { Male, Female };

// How many kinds there are, the identity kinds first: the registry of kinds (rules/kinds.h) has an
// entry for each, in this order, which it checks.
inline constexpr std::size_t kKindCount = 8;
inline constexpr std::size_t kIdentityKindCount = 3;

// A set of kinds, one bit per kind.
using KindSet = unsigned;
constexpr KindSet KindBit(IdKind kind) noexcept { return 1u << static_cast<unsigned>(kind); }
inline constexpr KindSet kAllKinds = (1u << kKindCount) - 1;
inline constexpr KindSet kIdentityKinds = (1u << kIdentityKindCount) - 1;
inline constexpr KindSet kOtherKinds = kAllKinds & ~kIdentityKinds;

constexpr bool IsIdentityKind(IdKind kind) noexcept {
  return static_cast<std::size_t>(kind) < kIdentityKindCount;
}

// The kinds a check or a search takes, and the rule that 統一編號 are checked by.
struct KindChoice {
  KindSet kinds = kIdentityKinds;
  bool before2023 = false;  // the rule before April 2023
};

// A set as the C interface and the npm module take it: one bit a kind, but that the bit
// `before2023Bit` asks for the older rule of 統一編號 and the kinds from there on take the bit
// above their own, so that a program built before them keeps its meaning; no kind at all stands
// for the identity kinds.
constexpr unsigned InterfaceBit(IdKind kind, unsigned before2023Bit) noexcept {
  const unsigned bit = KindBit(kind);
  return bit < before2023Bit ? bit : bit << 1;
}
constexpr KindChoice ChoiceOf(unsigned bits, unsigned before2023Bit) noexcept {
  const unsigned below = before2023Bit - 1;
  const KindSet kinds = ((bits & below) | ((bits >> 1) & ~below)) & kAllKinds;
  return {kinds == 0 ? kIdentityKinds : kinds, (bits & before2023Bit) != 0};
}

// The rules in the order they are tried; None for a valid number. Character is the other kinds'
// (a character the kind does not take where it stands).
enum class Reason : std::uint8_t { None, Length, Letter, Second, Digit, Check, Character };

// Who holds a resident certificate of the 2021 format, by its third character: 0 to 6 a foreign
// or stateless resident, 7 a national without household registration, 8 a resident from Hong Kong
// or Macao, 9 one from mainland China.
enum class Category : std::uint8_t { None, Foreign, Unregistered, HongKongMacao, MainlandChina };

constexpr Category CategoryOf(char third) noexcept {
  if (third >= '0' && third <= '6') return Category::Foreign;
  if (third == '7') return Category::Unregistered;
  if (third == '8') return Category::HongKongMacao;
  if (third == '9') return Category::MainlandChina;
  return Category::None;
}

// The third characters of each category, for drawing numbers of chosen categories.
constexpr std::string_view ThirdCharacters(Category category) noexcept {
  switch (category) {
    case Category::Foreign: return "0123456";
    case Category::Unregistered: return "7";
    case Category::HongKongMacao: return "8";
    case Category::MainlandChina: return "9";
    case Category::None: break;
  }
  return {};
}

struct IdVerdict {
  Reason reason = Reason::Length;
  std::int8_t position = 0;        // 1-based character position for all reasons but Length
  std::int8_t expected = -1;       // the right check digit for Check
  IdKind kind = IdKind::National;  // kind, sex, letter and place are set for a valid identity
                                   // number; the kind for any verdict on the other kinds
  Sex sex = Sex::Male;
  Category category = Category::None;  // set for a valid resident number of the 2021 format
  char letter = 0;
  const Place* place = nullptr;

  bool isValid() const noexcept { return reason == Reason::None; }
  // Which of kind and sex a row shows: a valid identity number's both; another kind's verdict
  // its kind whether valid or not, as it says whose rule broke.
  bool namesKind() const noexcept { return isValid() || !IsIdentityKind(kind); }
  bool namesSex() const noexcept { return isValid() && IsIdentityKind(kind); }
};

// The second characters a number of `kind` carries for `sex`: "1" or "2", "8" or "9", "AC" or "BD".
constexpr std::string_view SecondCharacters(IdKind kind, Sex sex) noexcept {
  const bool male = sex == Sex::Male;
  switch (kind) {
    case IdKind::National: return male ? "1" : "2";
    case IdKind::Resident: return male ? "8" : "9";
    case IdKind::ResidentOld: return male ? "AC" : "BD";
    default: break;
  }
  return {};
}

// What a second character counts as in the check digit: its digit, or for A to D the units digit
// of its letter value.
constexpr int SecondValue(char second) noexcept {
  return second <= '9' ? second - '0' : LetterValue(static_cast<char16_t>(second))->units;
}

}  // namespace rules
