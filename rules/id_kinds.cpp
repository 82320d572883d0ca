// The verdict on a number of any of the three kinds, read from UTF-8 text.
#include "rules/id_kinds.h"

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
};

// What each byte means as a second character; taken from SecondCharacters.
constexpr std::array<SecondRole, 256> kSecondRoles = [] {
  std::array<SecondRole, 256> roles{};
  for (const IdKind kind : {IdKind::National, IdKind::Resident, IdKind::ResidentOld}) {
    for (const Sex sex : {Sex::Male, Sex::Female}) {
      for (const char c : SecondCharacters(kind, sex))
        roles[static_cast<unsigned char>(c)] = {true, kind, sex};
    }
  }
  return roles;
}();

constexpr bool isDigitByte(unsigned char c) { return c >= '0' && c <= '9'; }

// The rules after the length, over exactly ten characters, one byte each.
IdVerdict verifyTen(const unsigned char* ten, KindSet kinds) noexcept {
  const int letterValue = kLetterValues[ten[0]];
  if (letterValue == 0) return {Reason::Letter, 1};
  const SecondRole role = kSecondRoles[ten[1]];
  if (!role.known || (kinds & kindBit(role.kind)) == 0) return {Reason::Second, 2};
  for (int i = 2; i < kNumberLength; ++i) {
    if (!isDigitByte(ten[i])) return {Reason::Digit, static_cast<std::int8_t>(i + 1)};
  }
  std::array<int, 8> digits{};
  digits[0] = SecondValue(static_cast<char>(ten[1]));
  for (std::size_t i = 1; i < digits.size(); ++i) digits[i] = ten[i + 1] - '0';
  const int expected = CheckDigit(letterValue, digits);
  if (ten[9] - '0' != expected) return {Reason::Check, 10, static_cast<std::int8_t>(expected)};

  IdVerdict verdict{Reason::None};
  verdict.kind = role.kind;
  verdict.sex = role.sex;
  verdict.letter = static_cast<char>(ten[0]);
  verdict.place = PlaceByLetterValue(letterValue);
  return verdict;
}

}  // namespace

IdVerdict VerifyId(std::string_view text, KindSet kinds) noexcept {
  constexpr std::size_t kTen = kNumberLength;
  if (text.size() == kTen) {
    std::uint64_t head;
    std::uint16_t tail;
    std::memcpy(&head, text.data(), sizeof head);
    std::memcpy(&tail, text.data() + sizeof head, sizeof tail);
    if (((head | tail) & 0x8080808080808080u) == 0) {
      return verifyTen(reinterpret_cast<const unsigned char*>(text.data()), kinds);
    }
  }
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
  return verifyTen(ten.data(), kinds);
}

}  // namespace rules
