// The 27 place choices with their ID letters, area codes and postal districts.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace rules {

inline constexpr int kPlaceCount = 27;
inline constexpr int kPostalEntryCount = 369;
inline constexpr int kFirstPostalId = 2;
inline constexpr int kLastPostalId = 370;
inline constexpr int kPostalEntryLength = 8;

struct Place {
  std::int16_t index = 0;
  std::u16string_view name;      // as listed in the place combo box
  char16_t letter = 0;           // 0 for row 0, which stands for no particular place
  int letterValue = 0;           // index + 9; 0 for row 0
  std::u16string_view areaCode;  // display text: "022", "0823", "None", ...
  std::int16_t firstId = 0;      // postal-entry ids; 0 where the row has none
  std::int16_t lastId = 0;
};

// Every row, in index order.
std::span<const Place, kPlaceCount> Places() noexcept;

// The row with that index (0 to 26); nullptr for any other value.
const Place* PlaceByIndex(int index) noexcept;

// The row at index value - 9 for letter values 10 to 35; nullptr for any other value.
const Place* PlaceByLetterValue(int value) noexcept;

// The row whose ID letter is `letter` (A to Z only); nullptr for any other character.
const Place* PlaceByLetter(char16_t letter) noexcept;

// The row's postal entries in ascending id order: all 369 for row 0, none for 陽明山.
std::span<const std::u16string_view> PostalEntries(const Place& place) noexcept;

// The eight-character entry stored under `id` (2 to 370); empty for any other id.
std::u16string_view PostalEntry(int id) noexcept;

}  // namespace rules
