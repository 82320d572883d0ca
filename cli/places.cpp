// taloma-id places: the 26 letters with their places, or every postal district.
#include <array>
#include <string>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/platform.h"

namespace cli {

int runPlaces(const PlacesSettings& settings) {
  const RowPrinter rows(settings.common.format);
  std::string text;
  const auto row = [&](std::span<const Field> fields) {
    rows.fields(text, fields, true);
    rows.end(text);
  };

  if (settings.postal) {
    constexpr std::array<std::string_view, 4> names = {"letter", "place", "district",
                                                       "postal_code"};
    if (settings.common.header) rows.header(text, names);
    for (const rules::District& district : rules::AllDistricts()) {
      const rules::Place* place = rules::PlaceOfDistrict(district);
      const std::string letter = place ? std::string(1, place->letter) : "";
      row(std::array<Field, 4>{{{"letter", letter},
                                {"place", place ? place->name : ""},
                                {"district", district.name},
                                {"postal_code", district.postalCode}}});
    }
  } else {
    constexpr std::array<std::string_view, 6> names = {"letter",    "value",        "place",
                                                       "area_code", "postal_count", "last_issued"};
    if (settings.common.header) rows.header(text, names);
    for (const rules::Place& place : rules::Places()) {
      const std::string year = place.lastIssued ? std::to_string(place.lastIssued) : "";
      row(std::array<Field, 6>{{{"letter", std::string(1, place.letter)},
                                {"value", std::to_string(place.letterValue), true},
                                {"place", place.name},
                                {"area_code", place.diallingCode},
                                {"postal_count", std::to_string(place.districts.size()), true},
                                {"last_issued", year, true}}});
    }
  }
  Output out(platform::kStandardOutput, settings.common.m());
  out.put(text);
  return 0;
}

Runner addPlaces(CLI::App& app, const Words& m) {
  struct Options {
    PlacesSettings settings;
    CommonOptions common;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = addCommand(app, "places", m.places, m);
  command->add_flag("--postal", options->settings.postal, m.postal);
  options->common.addTo(*command, m);
  return [options, &m] {
    options->settings.common = options->common.settings(m);
    return runPlaces(options->settings);
  };
}

}  // namespace cli
