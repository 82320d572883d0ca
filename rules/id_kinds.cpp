// The verdict core over ten characters for all three kinds, and its UTF-8 reader.
#include "rules/id_kinds.h"

#include <bit>
#include <cstring>

namespace rules {
namespace {

// Stands in for a character outside ASCII, which no rule accepts at any position.
constexpr unsigned char kOutsideAscii = 0x80;

// The weighted sum, mod 10, that a part of a number adds; read back from CheckDigit, which is minus
// the whole sum mod 10 and so the sum of its parts' check digits mod 10.
constexpr std::uint8_t sumOfPart(int letterValue, const std::array<int, 8>& digits) {
  return static_cast<std::uint8_t>((10 - CheckDigit(letterValue, digits)) % 10);
}

struct LetterRole {
  std::uint8_t value = 0;  // 0 for a byte that is no capital letter
  std::uint8_t sum = 0;
};

// Letter values by byte, taken from LetterValue.
constexpr auto kLetterRoles = [] {
  std::array<LetterRole, 256> roles{};
  for (const char c : kLetters) {
    const int value = LetterValue(static_cast<unsigned char>(c))->value;
    roles[static_cast<unsigned char>(c)] = {static_cast<std::uint8_t>(value), sumOfPart(value, {})};
  }
  return roles;
}();

struct SecondRole {
  bool known = false;
  IdKind kind = IdKind::National;
  Sex sex = Sex::Male;
  std::uint8_t value = 0;  // SecondValue
  std::uint8_t sum = 0;
};

// What each byte means as a second character; taken from SecondCharacters and SecondValue.
constexpr auto kSecondRoles = [] {
  std::array<SecondRole, 256> roles{};
  for (const IdKind kind : {IdKind::National, IdKind::Resident, IdKind::ResidentOld}) {
    for (const Sex sex : {Sex::Male, Sex::Female}) {
      for (const char c : SecondCharacters(kind, sex)) {
        const int value = SecondValue(c);
        roles[static_cast<unsigned char>(c)] = {true, kind, sex, static_cast<std::uint8_t>(value),
                                                sumOfPart(0, {value})};
      }
    }
  }
  return roles;
}();

// The weights of positions 3 to 9, read back from CheckDigit, placed so that multiplying the
// little-endian word of their digits gathers the weighted sum in the top byte. No byte of the
// product carries, as no partial sum reaches 256.
constexpr std::uint64_t kWeightWord = [] {
  std::uint64_t word = 0;
  int most = 0;
  for (std::size_t i = 1; i < 8; ++i) {
    std::array<int, 8> unit{};
    unit[i] = 1;
    const std::uint8_t weight = sumOfPart(0, unit);
    most += 9 * weight;
    word |= std::uint64_t{weight} << (8 * (8 - i));
  }
  return most < 256 ? word : 0;
}();
static_assert(kWeightWord != 0);

}  // namespace

IdVerdict VerifyTen(const unsigned char* ten, KindSet kinds) noexcept {
  const LetterRole letter = kLetterRoles[ten[0]];
  const int letterValue = letter.value;
  if (letterValue == 0) return {Reason::Letter, 1};
  const SecondRole role = kSecondRoles[ten[1]];
  if (!role.known || (kinds & kindBit(role.kind)) == 0) return {Reason::Second, 2};

  // Positions 3 to 10 as one word: each byte is a digit when its high nibble is 3 and adding 6
  // does not carry out of its low nibble.
  std::uint64_t word;
  std::memcpy(&word, ten + 2, sizeof word);
  constexpr std::uint64_t kHigh = 0xF0F0F0F0F0F0F0F0u, kThrees = 0x3030303030303030u;
  if ((word & kHigh) != kThrees || ((word + 0x0606060606060606u) & kHigh) != kThrees) {
    int position = 3;
    while (ten[position - 1] >= '0' && ten[position - 1] <= '9') ++position;
    return {Reason::Digit, static_cast<std::int8_t>(position)};
  }
  const std::uint64_t d = word - kThrees;  // no byte borrows: each is a digit
  bool valid = false;
  if constexpr (std::endian::native == std::endian::little) {
    const auto weighted = static_cast<unsigned>(((d & 0x00FFFFFFFFFFFFFFu) * kWeightWord) >> 56);
    valid = (letter.sum + role.sum + weighted + static_cast<unsigned>(d >> 56)) % 10 == 0;
  }
  const auto at = [d](int i) {
    const int shift = std::endian::native == std::endian::little ? 8 * i : 8 * (7 - i);
    return static_cast<int>((d >> shift) & 0xFF);
  };
  if (!valid) {
    const std::array<int, 8> digits = {role.value, at(0), at(1), at(2), at(3), at(4), at(5), at(6)};
    const int expected = CheckDigit(letterValue, digits);
    if (at(7) != expected) return {Reason::Check, 10, static_cast<std::int8_t>(expected)};
  }

  IdVerdict verdict{Reason::None};
  verdict.kind = role.kind;
  verdict.sex = role.sex;
  if (role.kind == IdKind::Resident) verdict.category = CategoryOf(static_cast<char>(ten[2]));
  verdict.letter = static_cast<char>(ten[0]);
  verdict.place = PlaceByLetterValue(letterValue);
  return verdict;
}

namespace detail {

IdVerdict verifyDecoded(std::string_view text, KindSet kinds) noexcept {
  constexpr std::size_t kTen = kNumberLength;
  // Fewer than ten bytes cannot make ten characters, more than forty always make more.
  if (text.size() < kTen || text.size() > 4 * kTen) return {Reason::Length};
  std::array<unsigned char, kTen> ten{};
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); ++count) {
    if (count == kTen) return {Reason::Length};
    const int length = Utf8SequenceLength(text, at);
    ten[count] = length == 1 ? static_cast<unsigned char>(text[at]) : kOutsideAscii;
    at += length == 0 ? 1 : static_cast<std::size_t>(length);
  }
  if (count != kTen) return {Reason::Length};
  return VerifyTen(ten.data(), kinds);
}

}  // namespace detail

}  // namespace rules
