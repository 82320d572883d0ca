// The window's forms of the place table: row 0, the area-code texts and the padded postal lines.
#include "rules/place_list.h"

namespace rules {
namespace {

// The panel writes some dialling codes its own way: the 02 area as "022" and Kinmen's 082 as
// "0823", and shows "None" for Matsu as for a place with no code.
struct ShownCode {
  std::string_view dialling;
  std::string_view shown;
};
constexpr ShownCode kShownCodes[] = {{"02", "022"}, {"082", "0823"}, {"0836", kNoAreaCode}};

std::string_view ShownAreaCode(const Place& place) {
  if (place.diallingCode.empty()) return kNoAreaCode;
  for (const ShownCode& code : kShownCodes) {
    if (code.dialling == place.diallingCode) return code.shown;
  }
  return place.diallingCode;
}

std::string PostalLine(const District& district) {
  constexpr std::string_view kIdeographicSpace = "\u3000";
  std::string line;
  line.reserve(8 * 3);
  // Each of the CJK characters of a name is three bytes of UTF-8.
  if (district.name.size() == 6) {
    line.append(district.name.substr(0, 3)).append(kIdeographicSpace).append(district.name.substr(3));
  } else {
    line.append(district.name);
  }
  line.append("  ").append(district.postalCode);
  return line;
}

}  // namespace

std::optional<PlaceRow> PlaceByIndex(int index) noexcept {
  if (index == 0) return PlaceRow{0, "不指定", nullptr, kNoAreaCode};
  const Place* place = PlaceByLetterValue(index + kPlaceIndexOffset);
  if (place == nullptr) return std::nullopt;
  return PlaceRow{index, place->name, place, ShownAreaCode(*place)};
}

std::vector<std::string> PostalEntries(const PlaceRow& row) {
  const std::span<const District> districts =
      row.place != nullptr ? row.place->districts : std::span<const District>(AllDistricts());
  std::vector<std::string> lines;
  lines.reserve(districts.size());
  for (const District& district : districts) lines.push_back(PostalLine(district));
  return lines;
}

}  // namespace rules
