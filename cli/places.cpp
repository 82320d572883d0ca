// taloma-id places: the 26 letters with their places, or every postal district.
#include <unistd.h>

#include <array>
#include <string>

#include "cli/commands.h"

namespace cli {
namespace {

// The district name without the U+3000 the list box pads two-character names with.
std::string districtOf(std::u16string_view entry) {
  std::u16string name;
  for (const char16_t c : entry.substr(0, 3)) {
    if (c != u'\u3000') name += c;
  }
  return utf8(name);
}

}  // namespace

int runPlaces(const PlacesSettings& settings) {
  const Format format = settings.common.format;
  std::string text;
  const auto row = [&](std::span<const Field> fields) {
    appendFields(text, format, fields, true);
    appendRowEnd(text, format);
  };

  if (settings.postal) {
    constexpr std::array<std::string_view, 4> names = {"letter", "place", "district",
                                                       "postal_code"};
    if (settings.common.header) appendHeader(text, format, names);
    for (int id = rules::kFirstPostalId; id <= rules::kLastPostalId; ++id) {
      // Rows 1 to 26 hold contiguous id ranges; the ids past them belong to no place.
      const rules::Place* owner = nullptr;
      for (const rules::Place& place : rules::Places().subspan(1)) {
        if (id >= place.firstId && id <= place.lastId) owner = &place;
      }
      const std::u16string_view entry = rules::PostalEntry(id);
      const std::string letter = owner ? std::string(1, static_cast<char>(owner->letter)) : "";
      const std::string place = owner ? utf8(owner->name) : "";
      const std::string code = utf8(entry.substr(5));
      row(std::array<Field, 4>{{{"letter", letter},
                                {"place", place},
                                {"district", districtOf(entry)},
                                {"postal_code", code}}});
    }
  } else {
    constexpr std::array<std::string_view, 5> names = {"letter", "value", "place", "area_code",
                                                       "postal_count"};
    if (settings.common.header) appendHeader(text, format, names);
    for (int value = rules::kFirstLetterValue; value <= rules::kLastLetterValue; ++value) {
      const rules::Place& place = *rules::PlaceByLetterValue(value);
      // The window shows "None" where a place has no area code; here it is simply absent.
      const std::string area = place.areaCode == u"None" ? "" : utf8(place.areaCode);
      row(std::array<Field, 5>{
          {{"letter", std::string(1, static_cast<char>(place.letter))},
           {"value", std::to_string(value), true},
           {"place", utf8(place.name)},
           {"area_code", area},
           {"postal_count", std::to_string(rules::PostalEntries(place).size()), true}}});
    }
  }
  Output out(STDOUT_FILENO);
  out.put(text);
  return 0;
}

}  // namespace cli
