// The places of first household registration as facts: letter, name, dialling code and postal
// districts, read from rules/place_table.txt when the program is built.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "rules/id_number.h"

namespace rules {

inline constexpr int kPlaceCount = 26;
inline constexpr int kDistrictCount = 369;

// A postal district: its name (two or three characters, UTF-8) and three-digit postal code.
struct District {
  std::string_view name;
  std::string_view postalCode;
};

struct Place {
  char letter = 0;
  int letterValue = 0;             // 10 to 35
  std::string_view name;           // UTF-8, as identity numbers name the place
  std::string_view diallingCode;   // "02", "037", ...; empty where the place has none of its own
  int lastIssued = 0;              // the last year the letter was issued; 0 while it still is
  std::span<const District> districts;  // ascending postal codes; none for 陽明山

  // The place's row in the place list, 1 to 26.
  constexpr int index() const noexcept { return letterValue - kPlaceIndexOffset; }
};

// The 26 places in letter-value order.
std::span<const Place, kPlaceCount> Places() noexcept;

// Every postal district, place by place in letter-value order, then the three that belong to no
// place (東沙, 南沙, 釣魚台).
std::span<const District, kDistrictCount> AllDistricts() noexcept;

namespace detail {
extern const std::array<Place, kPlaceCount> kPlaceRows;
}  // namespace detail

// The place whose letter value is `value` (10 to 35); nullptr for any other value.
inline const Place* PlaceByLetterValue(int value) noexcept {
  if (value < kFirstLetterValue || value > kLastLetterValue) return nullptr;
  return &detail::kPlaceRows[static_cast<std::size_t>(value - kFirstLetterValue)];
}

// The place whose letter is `letter` (A to Z only); nullptr for any other character.
const Place* PlaceByLetter(char32_t letter) noexcept;

// The place named by `name`: its letter in either case, its name written with 臺 or 台, or the
// name of today's city for a place the table knows by its older name (新北市, 桃園市).
// nullptr for anything else.
const Place* PlaceByName(std::string_view name);

// The place a district belongs to; nullptr for the three that belong to none.
const Place* PlaceOfDistrict(const District& district) noexcept;

}  // namespace rules
