// The other kinds of number a Taiwanese form asks for beside an identity number: a company's
// 統一編號, a 自然人憑證 number, an e-invoice 手機條碼 and 捐贈碼, and a mobile number. Their verdicts
// use the identity numbers' reasons: Length, Letter and Digit as there, Character for a character
// that the kind does not take where it stands, Check for a failed check sum. The registry
// (rules/kinds.h) names the functions below in each kind's entry.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "rules/id_core.h"
#include "rules/id_kinds.h"
#include "rules/random.h"

namespace rules {

// 統一編號 (Ministry of Finance, 營利事業統一編號檢查碼邏輯修正說明, 2023): eight digits, each
// multiplied by its weight, the digits of each product added up. Since April 2023 the number is
// valid when that sum is divisible by 5, before it by 10 (every older number still passes). When
// the seventh digit is 7, its product 28 counts 10, and the number is also valid when the sum
// plus 1 is divisible.
inline constexpr std::array<int, 8> kBusinessWeights = {1, 2, 1, 2, 1, 2, 4, 1};
inline constexpr int kBusinessDivisor = 5;
inline constexpr int kBusinessDivisorBefore2023 = 10;
inline constexpr int kBusinessLength = 8;

// 自然人憑證 (MOICA, as an e-invoice carrier): two capital letters and fourteen digits.
inline constexpr int kCertificateLetters = 2;
inline constexpr int kCertificateLength = 16;

// 電子發票手機條碼 (Ministry of Finance e-invoice platform): "/" and seven characters of these.
inline constexpr std::string_view kCarrierCharacters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ.-+";
inline constexpr int kCarrierLength = 8;

// 電子發票捐贈碼: three to seven digits.
inline constexpr int kDonationShortest = 3;
inline constexpr int kDonationLongest = 7;

// 手機號碼 (NCC numbering plan): 09 and eight digits, or +886 (886) and 9 and eight digits, the
// groups written together or apart with single spaces or hyphens. Checked for form only.
inline constexpr std::string_view kMobileStart = "09";
inline constexpr std::string_view kCountryCode = "886";
inline constexpr int kMobileDigits = 10;

// The sum of the digits of each weighted digit of eight, 28 counting 10.
constexpr int BusinessSum(const std::array<int, 8>& digits) noexcept {
  int sum = 0;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const int product = digits[i] * kBusinessWeights[i];
    sum += product / 10 + product % 10;
  }
  return sum;
}

constexpr bool BusinessValid(const std::array<int, 8>& digits, bool before2023) noexcept {
  const int divisor = before2023 ? kBusinessDivisorBefore2023 : kBusinessDivisor;
  const int sum = BusinessSum(digits);
  return sum % divisor == 0 || (digits[6] == 7 && (sum + 1) % divisor == 0);
}

// Each kind's verdict on UTF-8 `text`. For 統一編號, `before2023` checks by the older rule, and a
// failed check sum gives the smallest last digit that passes as `expected`.
IdVerdict VerifyBusiness(std::string_view text, bool before2023) noexcept;
IdVerdict VerifyCertificate(std::string_view text, bool before2023) noexcept;
IdVerdict VerifyCarrier(std::string_view text, bool before2023) noexcept;
IdVerdict VerifyDonation(std::string_view text, bool before2023) noexcept;
IdVerdict VerifyMobile(std::string_view text, bool before2023) noexcept;

// How many numbers of each kind the drawing takes from, and the one with `index` below that. The
// 統一編號 pass both rules, or with `since2023` the 2023 rule alone: one for each choice of the
// first seven digits.
inline constexpr std::uint64_t kBusinessNumbers = 10'000'000;
inline constexpr std::uint64_t kCertificateNumbers = 26 * 26 * 100'000'000'000'000;
inline constexpr std::uint64_t kCarrierNumbers = [] {
  std::uint64_t count = 1;
  for (int i = 1; i < kCarrierLength; ++i) count *= kCarrierCharacters.size();
  return count;
}();
inline constexpr std::uint64_t kDonationNumbers = 11'110'000;  // 10^3 + 10^4 + ... + 10^7
std::string DrawBusiness(std::uint64_t index, bool since2023);
std::string DrawCertificate(std::uint64_t index, bool since2023);
std::string DrawCarrier(std::uint64_t index, bool since2023);
std::string DrawDonation(std::uint64_t index, bool since2023);

// What follows a pseudonym's enciphered characters, written again for the characters before it
// (the registry's PseudonymShape): `to` and `from` are the characters that count of a pseudonym and
// of the number it stands for, or the other way round, in ASCII capitals and of one length.
// An identity number's check digit.
void FinishIdentity(std::string_view from, char* to) noexcept;
// A 統一編號's last digit, of the same class as `from`'s (valid by the rule before 2023, or by the
// 2023 rule alone) and in the same place among the digits of that class that its first seven take.
// Each class has as many for every first seven: one each, two each when the seventh is 7.
void FinishBusiness(std::string_view from, char* to) noexcept;

// The verdict on UTF-8 `text` as a number of the one kind `kind`, by its entry in the registry.
IdVerdict VerifyOther(std::string_view text, IdKind kind, bool before2023 = false) noexcept;

// The verdict on `text` as a number of any kind in `choice`: the first valid one in kind order,
// else the verdict of the kind whose rules it followed furthest.
namespace detail {
IdVerdict VerifyMixed(std::string_view text, const KindChoice& choice) noexcept;

// What each digit adds to the 統一編號 sum at each position.
inline constexpr auto kBusinessParts = [] {
  std::array<std::array<std::uint8_t, 10>, 8> parts{};
  for (std::size_t i = 0; i < 8; ++i) {
    for (int d = 0; d < 10; ++d) {
      std::array<int, 8> digits{};
      digits[i] = d;
      parts[i][static_cast<std::size_t>(d)] = static_cast<std::uint8_t>(BusinessSum(digits));
    }
  }
  return parts;
}();

// Whether a sum passes, by the 2023 rule ([0]) and the older one ([1]): no division per number.
inline constexpr auto kBusinessSumPasses = [] {
  std::array<std::array<bool, 80>, 2> passes{};
  for (std::size_t sum = 0; sum < 80; ++sum) {
    passes[0][sum] = sum % kBusinessDivisor == 0;
    passes[1][sum] = sum % kBusinessDivisorBefore2023 == 0;
  }
  return passes;
}();

// Whether eight ASCII bytes are a valid 統一編號, the common case of a column of them; false
// sends the text to the full verdict.
inline bool QuickBusiness(std::string_view text, bool before2023) noexcept {
  if (text.size() != static_cast<std::size_t>(kBusinessLength)) return false;
  std::uint64_t word;
  std::memcpy(&word, text.data(), sizeof word);
  constexpr std::uint64_t kHigh = 0xF0F0F0F0F0F0F0F0u, kThrees = 0x3030303030303030u;
  if ((word & kHigh) != kThrees || ((word + 0x0606060606060606u) & kHigh) != kThrees) return false;
  unsigned sum = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    sum += kBusinessParts[i][static_cast<std::size_t>(text[i] - '0')];
  }
  const auto& passes = kBusinessSumPasses[before2023 ? 1 : 0];
  return passes[static_cast<std::size_t>(sum)] ||
         (text[6] == '7' && passes[static_cast<std::size_t>(sum) + 1]);
}
}  // namespace detail

inline IdVerdict VerifyAny(std::string_view text, const KindChoice& choice) noexcept {
  if ((choice.kinds & kOtherKinds) == 0) return VerifyId(text, choice.kinds);
  if (choice.kinds == KindBit(IdKind::Business) && detail::QuickBusiness(text, choice.before2023)) {
    IdVerdict verdict{Reason::None};
    verdict.kind = IdKind::Business;
    return verdict;
  }
  return detail::VerifyMixed(text, choice);
}

// How many different numbers OtherNumber draws from for `kind`, and the one with `index` below
// that, by the kind's entry in the registry.
std::uint64_t OtherNumbers(IdKind kind) noexcept;
std::string OtherNumber(IdKind kind, std::uint64_t index, bool since2023 = false);

// A seeded batch of one kind, as NumberDraw gives identity numbers.
class OtherDraw {
 public:
  OtherDraw(IdKind kind, std::uint64_t seed, bool unique, bool since2023 = false)
      : m_kind(kind),
        m_size(OtherNumbers(kind)),
        m_unique(unique),
        m_since2023(since2023),
        m_random(seed),
        m_permutation(m_size, seed) {}

  std::uint64_t size() const noexcept { return m_size; }
  std::string next() {
    const std::uint64_t index = m_unique ? m_permutation(m_drawn++) : m_random.below(m_size);
    return OtherNumber(m_kind, index, m_since2023);
  }

 private:
  IdKind m_kind;
  std::uint64_t m_size;
  bool m_unique;
  bool m_since2023;
  Xoshiro256StarStar m_random;
  Permutation m_permutation;
  std::uint64_t m_drawn = 0;
};

}  // namespace rules
