// The verdicts and the drawing of the other kinds of number.
#include "rules/other_kinds.h"

#include <algorithm>
#include <bit>

#include "rules/id_core.h"
#include "rules/kinds.h"
#include "rules/text.h"

namespace rules {
namespace {

// Stands in for a character outside ASCII, which no rule takes anywhere.
constexpr char kOutsideAscii = '\x80';

// The first characters of `text`, one byte each (outside ASCII as kOutsideAscii), and how many it
// has in all; no kind's number is longer than those kept.
struct Characters {
  std::array<char, 32> at{};
  int count = 0;
};

// Out of line: each kind's verdict reads the text with it.
[[gnu::noinline]] Characters CharactersOf(std::string_view text) noexcept {
  Characters characters;
  for (std::size_t i = 0; i < text.size(); ++characters.count) {
    const Utf8Character c = Utf8At(text, i);
    if (static_cast<std::size_t>(characters.count) < characters.at.size()) {
      characters.at[static_cast<std::size_t>(characters.count)] =
          c.valid && c.code < 0x80 ? static_cast<char>(c.code) : kOutsideAscii;
    }
    i += c.size;
    if (characters.count == 1000) break;  // long past any number
  }
  return characters;
}

constexpr bool IsDigitByte(char c) noexcept { return c >= '0' && c <= '9'; }
constexpr bool IsCapital(char c) noexcept { return c >= 'A' && c <= 'Z'; }

IdVerdict Broken(IdKind kind, Reason reason, int position = 0) noexcept {
  IdVerdict verdict{reason, static_cast<std::int8_t>(position)};
  verdict.kind = kind;
  return verdict;
}

// The first character from `from` to `to` (0-based) that is no digit, as a Digit verdict.
bool FirstNonDigit(const Characters& c, int from, int to, IdKind kind, IdVerdict& verdict) {
  for (int i = from; i < to; ++i) {
    if (!IsDigitByte(c.at[static_cast<std::size_t>(i)])) {
      verdict = Broken(kind, Reason::Digit, i + 1);
      return true;
    }
  }
  return false;
}

IdVerdict VerifyBusinessOf(const Characters& c, bool before2023) {
  IdVerdict verdict = Broken(IdKind::Business, Reason::None);
  if (c.count != kBusinessLength) return Broken(IdKind::Business, Reason::Length);
  if (FirstNonDigit(c, 0, kBusinessLength, IdKind::Business, verdict)) return verdict;
  std::array<int, 8> digits{};
  for (std::size_t i = 0; i < digits.size(); ++i) digits[i] = c.at[i] - '0';
  if (BusinessValid(digits, before2023)) return verdict;
  verdict = Broken(IdKind::Business, Reason::Check, kBusinessLength);
  for (int last = 0; last <= 9; ++last) {
    digits[7] = last;
    if (BusinessValid(digits, before2023)) {
      verdict.expected = static_cast<std::int8_t>(last);
      break;
    }
  }
  return verdict;
}

IdVerdict VerifyCertificateOf(const Characters& c) {
  IdVerdict verdict = Broken(IdKind::Certificate, Reason::None);
  if (c.count != kCertificateLength) return Broken(IdKind::Certificate, Reason::Length);
  for (int i = 0; i < kCertificateLetters; ++i) {
    if (!IsCapital(c.at[static_cast<std::size_t>(i)])) {
      return Broken(IdKind::Certificate, Reason::Letter, i + 1);
    }
  }
  FirstNonDigit(c, kCertificateLetters, kCertificateLength, IdKind::Certificate, verdict);
  return verdict;
}

IdVerdict VerifyCarrierOf(const Characters& c) {
  if (c.count != kCarrierLength) return Broken(IdKind::Carrier, Reason::Length);
  if (c.at[0] != '/') return Broken(IdKind::Carrier, Reason::Character, 1);
  for (int i = 1; i < kCarrierLength; ++i) {
    if (kCarrierCharacters.find(c.at[static_cast<std::size_t>(i)]) == std::string_view::npos) {
      return Broken(IdKind::Carrier, Reason::Character, i + 1);
    }
  }
  return Broken(IdKind::Carrier, Reason::None);
}

IdVerdict VerifyDonationOf(const Characters& c) {
  IdVerdict verdict = Broken(IdKind::Donation, Reason::None);
  if (c.count < kDonationShortest || c.count > kDonationLongest) {
    return Broken(IdKind::Donation, Reason::Length);
  }
  FirstNonDigit(c, 0, c.count, IdKind::Donation, verdict);
  return verdict;
}

constexpr bool IsSeparator(char c) noexcept { return c == ' ' || c == '-'; }

// 0912345678, 0912-345-678, +886 912 345 678, 886912345678: the characters other than separators
// decide the form and its length (10, 12 after 886, 13 after +886); then the start, then the
// digits, a separator standing only between two digits or after the country code, one at a time.
IdVerdict VerifyMobileOf(const Characters& c) {
  constexpr IdKind kKind = IdKind::Mobile;
  if (c.count >= static_cast<int>(c.at.size())) return Broken(kKind, Reason::Length);
  const int kept = static_cast<int>(
      std::count_if(c.at.begin(), c.at.begin() + c.count, [](char x) { return !IsSeparator(x); }));
  const char first = c.count > 0 ? c.at[0] : 0;
  const int international = first == '+' ? 1 + static_cast<int>(kCountryCode.size())
                            : first == kCountryCode[0] ? static_cast<int>(kCountryCode.size())
                                                      : 0;
  const int expectedKept = international != 0 ? international + kMobileDigits - 1 : kMobileDigits;
  if (kept != expectedKept) return Broken(kKind, Reason::Length);

  // The start as written: "+886" or "886" then "9", or "09".
  std::string start(first == '+' ? "+" : "");
  if (international != 0) start += kCountryCode;
  start += international != 0 ? "9" : kMobileStart;
  int at = 0;
  for (std::size_t i = 0; i < start.size(); ++i, ++at) {
    // One separator may follow the country code.
    if (international != 0 && i + 1 == start.size() && IsSeparator(c.at[static_cast<std::size_t>(at)])) ++at;
    if (c.at[static_cast<std::size_t>(at)] != start[i]) return Broken(kKind, Reason::Character, at + 1);
  }
  for (; at < c.count; ++at) {
    const char here = c.at[static_cast<std::size_t>(at)];
    if (IsDigitByte(here)) continue;
    const bool between = IsSeparator(here) && at + 1 < c.count &&
                         IsDigitByte(c.at[static_cast<std::size_t>(at - 1)]) &&
                         IsDigitByte(c.at[static_cast<std::size_t>(at + 1)]);
    if (!between) return Broken(kKind, IsSeparator(here) ? Reason::Character : Reason::Digit, at + 1);
  }
  return Broken(kKind, Reason::None);
}

// How far a verdict got through its kind's rules, to choose among several kinds' verdicts.
int Progress(const IdVerdict& verdict) noexcept {
  switch (verdict.reason) {
    case Reason::None: return 1000;
    case Reason::Length: return 0;
    case Reason::Check: return 500;
    default: return 10 + verdict.position;
  }
}

// Digits of `value` below 10^width, with leading zeros, at `out`.
void PutDigits(std::uint64_t value, int width, char* out) noexcept {
  for (int i = width - 1; i >= 0; --i) {
    out[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
}

constexpr std::uint64_t kTenTo14 = 100'000'000'000'000;

}  // namespace

IdVerdict VerifyBusiness(std::string_view text, bool before2023) noexcept {
  return VerifyBusinessOf(CharactersOf(text), before2023);
}
IdVerdict VerifyCertificate(std::string_view text, bool) noexcept {
  return VerifyCertificateOf(CharactersOf(text));
}
IdVerdict VerifyCarrier(std::string_view text, bool) noexcept { return VerifyCarrierOf(CharactersOf(text)); }
IdVerdict VerifyDonation(std::string_view text, bool) noexcept { return VerifyDonationOf(CharactersOf(text)); }
IdVerdict VerifyMobile(std::string_view text, bool) noexcept { return VerifyMobileOf(CharactersOf(text)); }

IdVerdict VerifyOther(std::string_view text, IdKind kind, bool before2023) noexcept {
  const KindEntry& entry = EntryOf(kind);
  return entry.verify != nullptr ? entry.verify(text, before2023) : VerifyId(text, KindBit(kind));
}

IdVerdict detail::VerifyMixed(std::string_view text, const KindChoice& choice) noexcept {
  const KindSet kinds = choice.kinds;
  // One kind alone, the usual case, needs no choosing.
  const KindSet others = kinds & kOtherKinds;
  if ((kinds & kIdentityKinds) == 0 && (others & (others - 1)) == 0) {
    return VerifyOther(text, static_cast<IdKind>(std::countr_zero(others)), choice.before2023);
  }
  IdVerdict best;
  bool any = false;
  if ((kinds & kIdentityKinds) != 0) {
    best = VerifyId(text, kinds & kIdentityKinds);
    if (best.isValid()) return best;
    any = true;
  }
  for (const KindEntry& entry : kKinds) {
    if ((kinds & KindBit(entry.kind)) == 0 || entry.verify == nullptr) continue;
    const IdVerdict verdict = entry.verify(text, choice.before2023);
    if (verdict.isValid()) return verdict;
    if (!any || Progress(verdict) > Progress(best)) best = verdict;
    any = true;
  }
  return best;
}

std::uint64_t OtherNumbers(IdKind kind) noexcept { return EntryOf(kind).drawable; }

std::string OtherNumber(IdKind kind, std::uint64_t index, bool since2023) {
  const KindEntry& entry = EntryOf(kind);
  return entry.draw != nullptr ? entry.draw(index, since2023) : std::string();
}

// Seven drawn digits; the last makes the sum divisible by 10 (both rules), or by 5 and not by 10
// (the 2023 rule alone).
std::string DrawBusiness(std::uint64_t index, bool since2023) {
  std::string number(kBusinessLength, '0');
  PutDigits(index, kBusinessLength - 1, number.data());
  std::array<int, 8> digits{};
  for (std::size_t i = 0; i + 1 < digits.size(); ++i) digits[i] = number[i] - '0';
  const int target = since2023 ? kBusinessDivisor : 0;
  const int last = (kBusinessDivisorBefore2023 + target - BusinessSum(digits) % 10) % 10;
  number[kBusinessLength - 1] = static_cast<char>('0' + last);
  return number;
}

std::string DrawCertificate(std::uint64_t index, bool) {
  std::string number(kCertificateLength, '0');
  number[0] = static_cast<char>('A' + index / kTenTo14 / 26);
  number[1] = static_cast<char>('A' + index / kTenTo14 % 26);
  PutDigits(index % kTenTo14, kCertificateLength - kCertificateLetters, number.data() + 2);
  return number;
}

std::string DrawCarrier(std::uint64_t index, bool) {
  std::string number(1, '/');
  for (int i = 1; i < kCarrierLength; ++i) {
    number += kCarrierCharacters[index % kCarrierCharacters.size()];
    index /= kCarrierCharacters.size();
  }
  return number;
}

std::string DrawDonation(std::uint64_t index, bool) {
  int width = kDonationShortest;
  for (std::uint64_t span = 1000; index >= span; span *= 10, ++width) index -= span;
  std::string number(static_cast<std::size_t>(width), '0');
  PutDigits(index, width, number.data());
  return number;
}

void FinishIdentity(std::string_view, char* to) noexcept {
  to[kNumberLength - 1] = '0';
  const IdVerdict verdict = VerifyId(std::string_view(to, kNumberLength));
  if (verdict.reason == Reason::Check) to[kNumberLength - 1] = static_cast<char>('0' + verdict.expected);
}

namespace {

// The last digits that `first` (a 統一編號's first seven) takes in the class of `olderRule`, in
// order, as a mask of bits 0 to 9.
unsigned LastDigitsOfClass(const char* first, bool olderRule) noexcept {
  std::array<int, 8> digits{};
  for (std::size_t i = 0; i + 1 < digits.size(); ++i) digits[i] = first[i] - '0';
  unsigned mask = 0;
  for (int last = 0; last < 10; ++last) {
    digits[7] = last;
    if (BusinessValid(digits, false) && BusinessValid(digits, true) == olderRule) mask |= 1u << last;
  }
  return mask;
}

}  // namespace

void FinishBusiness(std::string_view from, char* to) noexcept {
  std::array<int, 8> digits{};
  for (std::size_t i = 0; i < digits.size(); ++i) digits[i] = from[i] - '0';
  const bool olderRule = BusinessValid(digits, true);
  const unsigned fromLast = 1u << digits[7];
  const int place = std::popcount(LastDigitsOfClass(from.data(), olderRule) & (fromLast - 1));
  unsigned toMask = LastDigitsOfClass(to, olderRule);
  for (int skip = 0; skip < place && toMask != 0; ++skip) toMask &= toMask - 1;
  to[kBusinessLength - 1] = static_cast<char>('0' + (toMask != 0 ? std::countr_zero(toMask) : 0));
}

}  // namespace rules
