// The three kinds of identity number (national, resident, resident-old): the one verdict core for
// all of them, its reader for UTF-8 text, and the composition of a number from its parts.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "rules/id_number.h"
#include "rules/place_table.h"
#include "rules/text.h"

namespace rules {

enum class IdKind : std::uint8_t { National, Resident, ResidentOld };
enum class Sex : std::uint8_t { Male, Female };

// A set of kinds, one bit per kind.
using KindSet = unsigned;
constexpr KindSet kindBit(IdKind kind) noexcept { return 1u << static_cast<unsigned>(kind); }
inline constexpr KindSet kAllKinds = 7;

// The rules in the order they are tried; None for a valid number.
enum class Reason : std::uint8_t { None, Length, Letter, Second, Digit, Check };

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
  std::int8_t position = 0;        // 1-based character position for Letter, Second, Digit and Check
  std::int8_t expected = -1;       // the right check digit for Check
  IdKind kind = IdKind::National;  // kind, sex, letter and place are set for a valid number
  Sex sex = Sex::Male;
  Category category = Category::None;  // set for a valid resident number of the 2021 format
  char letter = 0;
  const Place* place = nullptr;

  bool isValid() const noexcept { return reason == Reason::None; }
};

// The one verdict core: the rules after the length, over exactly ten characters, one byte each
// (a character outside ASCII as 0x80). The text readers in front of it decode their encoding.
IdVerdict VerifyTen(const unsigned char* ten, KindSet kinds) noexcept;

namespace detail {
IdVerdict verifyDecoded(std::string_view text, KindSet kinds) noexcept;
}  // namespace detail

// The verdict on UTF-8 `text` as one number of any kind in `kinds`: its kind, sex, letter and place
// when valid, else the first broken rule in the order length (not ten characters), letter, second
// character, digits, check digit. Positions count characters; an invalid byte is one character.
inline IdVerdict VerifyId(std::string_view text, KindSet kinds = kAllKinds) noexcept {
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
  return detail::verifyDecoded(text, kinds);
}

// The second characters a number of `kind` carries for `sex`: "1" or "2", "8" or "9", "AC" or "BD".
constexpr std::string_view SecondCharacters(IdKind kind, Sex sex) noexcept {
  const bool male = sex == Sex::Male;
  switch (kind) {
    case IdKind::National: return male ? "1" : "2";
    case IdKind::Resident: return male ? "8" : "9";
    case IdKind::ResidentOld: return male ? "AC" : "BD";
  }
  return {};
}

// What a second character counts as in the check digit: its digit, or for A to D the units digit
// of its letter value.
constexpr int SecondValue(char second) noexcept {
  return second <= '9' ? second - '0' : LetterValue(static_cast<char16_t>(second))->units;
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
