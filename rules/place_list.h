// The place list as the window shows it: 不指定 and the 26 places, each with the area-code text and
// the postal lines of its postal-code panel. Derived from the place table; these display forms
// are the window's and live here, not in the table.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rules/place_table.h"

namespace rules {

inline constexpr int kPlaceRowCount = kPlaceCount + 1;

// What the postal list shows for a place that has no postal districts of its own.
inline constexpr std::string_view kNoPostalDistricts = "無特定郵遞區號";

// A row of the place list.
struct PlaceRow {
  int index = 0;              // 0 to 26
  std::string_view name;      // as the list shows it: 不指定 for row 0
  const Place* place = nullptr;  // nullptr for row 0, which stands for no particular place
  std::string_view areaCode;  // as the postal-code panel shows it: "022", "0823", "None", ...
};

// Row `index` (0 to 26); no row for any other value.
std::optional<PlaceRow> PlaceByIndex(int index) noexcept;

// The area-code text the panel shows where no row is chosen.
inline constexpr std::string_view kNoAreaCode = "None";

// The row's postal lines as the list shows them: the district name in three full-width
// characters (a two-character name has U+3000 in the middle), two spaces and the postal code.
// All 369 for row 0, in table order; none for 陽明山.
std::vector<std::string> PostalEntries(const PlaceRow& row);

}  // namespace rules
