// The one verdict core for the three kinds of identity number, inline so that each reader's loop
// holds the whole check; its reader for UTF-8 text; and the composition of a number from its parts.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "rules/id_kinds.h"
#include "rules/text.h"

namespace rules {

// The one verdict core, below: the rules after the length, over exactly ten characters, one byte
// each (a character outside ASCII as 0x80). The text readers in front of it decode their encoding.
inline IdVerdict VerifyTen(const unsigned char* ten, KindSet kinds) noexcept;

namespace detail {
IdVerdict VerifyDecoded(std::string_view text, KindSet kinds) noexcept;
}  // namespace detail

// The verdict on UTF-8 `text` as one number of any kind in `kinds`: its kind, sex, letter and place
// when valid, else the first broken rule in the order length (not ten characters), letter, second
// character, digits, check digit. Positions count characters; an invalid byte is one character.
inline IdVerdict VerifyId(std::string_view text, KindSet kinds = kIdentityKinds) noexcept {
  // Ten ASCII bytes, the common case, go straight to the rules; other text is decoded first.
  if (text.size() == static_cast<std::size_t>(kNumberLength)) {
    std::uint64_t head;
    std::uint16_t tail;
    std::memcpy(&head, text.data(), sizeof head);
    std::memcpy(&tail, text.data() + sizeof head, sizeof tail);
    if (((head | tail) & 0x8080808080808080u) == 0) {
      return VerifyTen(reinterpret_cast<const unsigned char*>(text.data()), kinds);
    }
  }
  return detail::VerifyDecoded(text, kinds);
}

namespace detail {

// The weighted sum, mod 10, that a part of a number adds; read back from CheckDigit, which is minus
// the whole sum mod 10 and so the sum of its parts' check digits mod 10.
constexpr std::uint8_t SumOfPart(int letterValue, const std::array<int, 8>& digits) {
  return static_cast<std::uint8_t>((10 - CheckDigit(letterValue, digits)) % 10);
}

struct LetterRole {
  std::uint8_t value = 0;  // 0 for a byte that is no capital letter
  std::uint8_t sum = 0;
};

// Letter values by byte, taken from LetterValue.
inline constexpr auto kLetterRoles = [] {
  std::array<LetterRole, 256> roles{};
  for (const char c : kLetters) {
    const int value = LetterValue(static_cast<unsigned char>(c))->value;
    roles[static_cast<unsigned char>(c)] = {static_cast<std::uint8_t>(value), SumOfPart(value, {})};
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
inline constexpr auto kSecondRoles = [] {
  std::array<SecondRole, 256> roles{};
  for (const IdKind kind : {IdKind::National, IdKind::Resident, IdKind::ResidentOld}) {
    for (const Sex sex : {Sex::Male, Sex::Female}) {
      for (const char c : SecondCharacters(kind, sex)) {
        const int value = SecondValue(c);
        roles[static_cast<unsigned char>(c)] = {true, kind, sex, static_cast<std::uint8_t>(value),
                                                SumOfPart(0, {value})};
      }
    }
  }
  return roles;
}();

// The weights of positions 3 to 9, read back from CheckDigit, placed so that multiplying the
// little-endian word of their digits gathers the weighted sum in the top byte. No byte of the
// product carries, as no partial sum reaches 256.
inline constexpr std::uint64_t kWeightWord = [] {
  std::uint64_t word = 0;
  int most = 0;
  for (std::size_t i = 1; i < 8; ++i) {
    std::array<int, 8> unit{};
    unit[i] = 1;
    const std::uint8_t weight = SumOfPart(0, unit);
    most += 9 * weight;
    word |= std::uint64_t{weight} << (8 * (8 - i));
  }
  return most < 256 ? word : 0;
}();
static_assert(kWeightWord != 0);

// The shift of byte `i` of a word loaded from memory.
constexpr int ByteShift(int i) noexcept {
  return std::endian::native == std::endian::little ? 8 * i : 8 * (7 - i);
}

// The core itself, over the first character, the second, and positions 3 to 10 as one word
// loaded from memory: a reader may build that word in a register.
inline IdVerdict VerifyParts(unsigned first, unsigned second, std::uint64_t word,
                             KindSet kinds) noexcept {
  const LetterRole letter = kLetterRoles[first];
  const int letterValue = letter.value;
  if (letterValue == 0) return {Reason::Letter, 1};
  const SecondRole role = kSecondRoles[second];
  if (!role.known || (kinds & KindBit(role.kind)) == 0) return {Reason::Second, 2};

  // Each byte is a digit when its high nibble is 3 and adding 6 does not carry out of its low
  // nibble.
  constexpr std::uint64_t kHigh = 0xF0F0F0F0F0F0F0F0u, kThrees = 0x3030303030303030u;
  const auto at = [word](int i) { return static_cast<int>((word >> ByteShift(i)) & 0xFF); };
  if ((word & kHigh) != kThrees || ((word + 0x0606060606060606u) & kHigh) != kThrees) {
    int position = 3;
    while (at(position - 3) >= '0' && at(position - 3) <= '9') ++position;
    return {Reason::Digit, static_cast<std::int8_t>(position)};
  }
  const std::uint64_t d = word - kThrees;  // no byte borrows: each is a digit
  bool valid = false;
  if constexpr (std::endian::native == std::endian::little) {
    const auto weighted = static_cast<unsigned>(((d & 0x00FFFFFFFFFFFFFFu) * kWeightWord) >> 56);
    valid = (letter.sum + role.sum + weighted + static_cast<unsigned>(d >> 56)) % 10 == 0;
  }
  if (!valid) {
    const auto digit = [d](int i) { return static_cast<int>((d >> ByteShift(i)) & 0xFF); };
    const std::array<int, 8> digits = {role.value, digit(0), digit(1), digit(2),
                                       digit(3),   digit(4), digit(5), digit(6)};
    const int expected = CheckDigit(letterValue, digits);
    if (digit(7) != expected) return {Reason::Check, 10, static_cast<std::int8_t>(expected)};
  }

  IdVerdict verdict{Reason::None};
  verdict.kind = role.kind;
  verdict.sex = role.sex;
  if (role.kind == IdKind::Resident) verdict.category = CategoryOf(static_cast<char>(at(0)));
  verdict.letter = static_cast<char>(first);
  verdict.place = PlaceByLetterValue(letterValue);
  return verdict;
}

}  // namespace detail

// Inline, so that each reader's loop holds the whole check.
inline IdVerdict VerifyTen(const unsigned char* ten, KindSet kinds) noexcept {
  std::uint64_t word;
  std::memcpy(&word, ten + 2, sizeof word);
  return detail::VerifyParts(ten[0], ten[1], word, kinds);
}

namespace detail {
// "00" to "99", for writing digits two at a time.
inline constexpr auto kDigitPairs = [] {
  std::array<char, 200> pairs{};
  for (std::size_t i = 0; i < 100; ++i) {
    pairs[2 * i] = static_cast<char>('0' + i / 10);
    pairs[2 * i + 1] = static_cast<char>('0' + i % 10);
  }
  return pairs;
}();

// What two digits add to the check digit at positions 3-4, 5-6 and 7-8, and one digit at 9. The
// check digit is minus the weighted sum, mod 10, so it is the sum of such parts mod 10; each part
// is CheckDigit of its digits alone.
struct CheckParts {
  std::array<std::uint8_t, 100> pairs[3];
  std::array<std::uint8_t, 10> last;
};
inline constexpr CheckParts kCheckParts = [] {
  CheckParts parts{};
  for (int i = 0; i < 100; ++i) {
    for (std::size_t pair = 0; pair < 3; ++pair) {
      std::array<int, 8> digits{};
      digits[2 * pair + 1] = i / 10;
      digits[2 * pair + 2] = i % 10;
      parts.pairs[pair][static_cast<std::size_t>(i)] =
          static_cast<std::uint8_t>(CheckDigit(0, digits));
    }
  }
  for (int i = 0; i < 10; ++i) {
    parts.last[static_cast<std::size_t>(i)] =
        static_cast<std::uint8_t>(CheckDigit(0, {0, 0, 0, 0, 0, 0, 0, i}));
  }
  return parts;
}();
}  // namespace detail

// The first two characters of a number and what they add to its check digit, worked out once for
// the many numbers that share them.
struct IdPrefix {
  char letter = 0;
  char second = 0;
  std::uint8_t checkPart = 0;
};

// The prefix of the numbers with the letter of `place` and the second character `second` (one of
// SecondCharacters).
constexpr IdPrefix MakePrefix(const Place& place, char second) noexcept {
  const int part = CheckDigit(place.letterValue, {SecondValue(second), 0, 0, 0, 0, 0, 0, 0});
  return {place.letter, second, static_cast<std::uint8_t>(part)};
}

// Writes the ten characters of the number with `prefix` and `serial` (0 to 9,999,999) as positions
// 3 to 9; position 10 is its check digit.
inline void ComposeId(const IdPrefix& prefix, std::uint32_t serial, char* out) noexcept {
  // Independent divisions by constants, so they run side by side.
  const std::uint32_t head = serial / 100000;
  const std::uint32_t middle = serial / 1000 % 100;
  const std::uint32_t tail = serial / 10 % 100;
  const std::uint32_t last = serial % 10;
  const detail::CheckParts& parts = detail::kCheckParts;
  const unsigned check = prefix.checkPart + parts.pairs[0][head] + parts.pairs[1][middle] +
                         parts.pairs[2][tail] + parts.last[last];
  out[0] = prefix.letter;
  out[1] = prefix.second;
  std::memcpy(out + 2, &detail::kDigitPairs[2 * head], 2);
  std::memcpy(out + 4, &detail::kDigitPairs[2 * middle], 2);
  std::memcpy(out + 6, &detail::kDigitPairs[2 * tail], 2);
  out[8] = static_cast<char>('0' + last);
  out[9] = static_cast<char>('0' + check % 10);
}

}  // namespace rules
