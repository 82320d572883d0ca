// The verdict on a number of any of the three kinds, read from UTF-8 text.
#include "rules/id_kinds.h"

#include <bit>
#include <cstring>

namespace rules {
namespace {

// Stands in for a character outside ASCII, which no rule accepts at any position.
constexpr unsigned char kOutsideAscii = 0x80;

// Letter values by byte, 0 where the byte is no capital letter; taken from LetterValue.
constexpr auto kLetterValues = [] {
  std::array<std::uint8_t, 256> values{};
  for (char16_t c = u'A'; c <= u'Z'; ++c)
    values[c] = static_cast<std::uint8_t>(LetterValue(c)->value);
  return values;
}();

struct SecondRole {
  bool known = false;
  IdKind kind = IdKind::National;
  Sex sex = Sex::Male;
  std::uint8_t value = 0;  // SecondValue
};

// What each byte means as a second character; taken from SecondCharacters and SecondValue.
constexpr auto kSecondRoles = [] {
  std::array<SecondRole, 256> roles{};
  for (const IdKind kind : {IdKind::National, IdKind::Resident, IdKind::ResidentOld}) {
    for (const Sex sex : {Sex::Male, Sex::Female}) {
      for (const char c : SecondCharacters(kind, sex)) {
        roles[static_cast<unsigned char>(c)] = {true, kind, sex,
                                                static_cast<std::uint8_t>(SecondValue(c))};
      }
    }
  }
  return roles;
}();

}  // namespace

namespace detail {

// The rules after the length, over exactly ten characters, one byte each.
IdVerdict verifyTenBytes(const unsigned char* ten, KindSet kinds) noexcept {
  const int letterValue = kLetterValues[ten[0]];
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
  const auto at = [d](int i) {
    const int shift = std::endian::native == std::endian::little ? 8 * i : 8 * (7 - i);
    return static_cast<int>((d >> shift) & 0xFF);
  };
  const std::array<int, 8> digits = {role.value, at(0), at(1), at(2), at(3), at(4), at(5), at(6)};
  const int expected = CheckDigit(letterValue, digits);
  if (at(7) != expected) return {Reason::Check, 10, static_cast<std::int8_t>(expected)};

  IdVerdict verdict{Reason::None};
  verdict.kind = role.kind;
  verdict.sex = role.sex;
  verdict.letter = static_cast<char>(ten[0]);
  verdict.place = PlaceByLetterValue(letterValue);
  return verdict;
}

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
  return verifyTenBytes(ten.data(), kinds);
}

}  // namespace detail

}  // namespace rules
