// The place table, parsed from its text at compile time; a text that breaks the rules below does
// not compile. The rest of the program relies on: 26 places in letter-value order, 369 districts
// with three-digit codes that ascend within each place and never repeat, names of two or three
// characters, and the three districts of no place, in no particular order, at the end.
#include "rules/place_table.h"

#include <array>
#include <cstddef>
#include <string>
#include <utility>

#include "rules/place_table_text.h"

namespace rules {
namespace {

// Makes a constant evaluation fail, and with it the build, when the table text breaks a rule.
constexpr void Require(bool rule, const char* what) {
  if (!rule) throw what;
}

// The table text line by line, without comments and blank lines.
class Lines {
 public:
  constexpr explicit Lines(std::string_view text) : m_text(text) {}

  constexpr bool next(std::string_view& line) {
    while (m_at < m_text.size()) {
      std::size_t end = m_text.find('\n', m_at);
      if (end == std::string_view::npos) end = m_text.size();
      line = m_text.substr(m_at, end - m_at);
      m_at = end + 1;
      if (!line.empty() && line[0] != '#') return true;
    }
    return false;
  }

 private:
  std::string_view m_text;
  std::size_t m_at = 0;
};

constexpr bool IsDistrictLine(std::string_view line) { return line.starts_with("  "); }

// The `n`th word of `line`; words are separated by single spaces.
constexpr std::string_view Word(std::string_view line, int n) {
  while (line.starts_with(' ')) line.remove_prefix(1);
  for (; n > 0; --n) {
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos) return {};
    line.remove_prefix(space + 1);
  }
  return line.substr(0, line.find(' '));
}

constexpr bool AllDigits(std::string_view text) {
  for (const char c : text) {
    if (!IsDigit(static_cast<unsigned char>(c))) return false;
  }
  return !text.empty();
}

// Characters, not bytes: every byte but a UTF-8 continuation byte starts one.
constexpr int Characters(std::string_view text) {
  int count = 0;
  for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

constexpr int PostalNumber(const District& district) {
  return (district.postalCode[0] - '0') * 100 + (district.postalCode[1] - '0') * 10 +
         (district.postalCode[2] - '0');
}

constexpr auto kDistricts = [] {
  std::array<District, kDistrictCount> districts{};
  std::size_t count = 0;
  std::array<bool, 1000> seen{};
  int previous = -1;
  bool unplaced = false;
  Lines lines(detail::kPlaceTableText);
  for (std::string_view line; lines.next(line);) {
    if (!IsDistrictLine(line)) {
      previous = -1;
      unplaced = line == "-";
      continue;
    }
    Require(count < districts.size(), "more districts than kDistrictCount");
    const District district{Word(line, 0), Word(line, 1)};
    Require(Word(line, 2).empty(), "a district line has a name and a code");
    Require(Characters(district.name) == 2 || Characters(district.name) == 3,
            "a district name has two or three characters");
    Require(district.postalCode.size() == 3 && AllDigits(district.postalCode),
            "a postal code has three digits");
    const int code = PostalNumber(district);
    Require(unplaced || code > previous, "postal codes ascend within a place");
    Require(!seen[static_cast<std::size_t>(code)], "no postal code occurs twice");
    seen[static_cast<std::size_t>(code)] = true;
    previous = code;
    districts[count++] = district;
  }
  Require(count == districts.size(), "fewer districts than kDistrictCount");
  return districts;
}();

}  // namespace

// Defined here, beside the districts its rows point into; constant from the start of the program.
constexpr std::array<Place, kPlaceCount> detail::kPlaceRows = [] {
  std::array<Place, kPlaceCount> places{};
  std::size_t count = 0;
  std::size_t district = 0;
  Place* open = nullptr;  // the place whose districts are being read
  const auto close = [&] {
    if (open != nullptr) {
      const auto first = static_cast<std::size_t>(open->districts.data() - kDistricts.data());
      open->districts = std::span<const District>(kDistricts).subspan(first, district - first);
    }
    open = nullptr;
  };
  Lines lines(detail::kPlaceTableText);
  bool unplaced = false;
  for (std::string_view line; lines.next(line);) {
    if (IsDistrictLine(line)) {
      ++district;
      continue;
    }
    close();
    Require(!unplaced, "the districts of no place come last");
    if (line == "-") {
      unplaced = true;
      continue;
    }
    Require(count < places.size(), "more places than letters");
    Place& place = places[count];
    place.letter = Word(line, 0).size() == 1 ? Word(line, 0)[0] : '\0';
    Require(place.letter == kLetters[count], "places follow the letters in letter-value order");
    place.letterValue = kFirstLetterValue + static_cast<int>(count);
    place.name = Word(line, 1);
    Require(Characters(place.name) == 3, "a place name has three characters");
    const std::string_view dialling = Word(line, 2);
    Require(dialling == "-" || (dialling.starts_with('0') && AllDigits(dialling)),
            "a dialling code is digits starting with 0, or -");
    place.diallingCode = dialling == "-" ? std::string_view() : dialling;
    const std::string_view year = Word(line, 3);
    Require(year.empty() || (year.size() == 4 && AllDigits(year)), "a last year has four digits");
    for (const char c : year) place.lastIssued = place.lastIssued * 10 + (c - '0');
    place.districts = std::span<const District>(kDistricts).subspan(district, 0);
    open = &place;
    ++count;
  }
  close();
  Require(count == places.size(), "one place for each letter");
  Require(kDistricts.size() - district == 0, "every district was read");
  return places;
}();

namespace {

constexpr const std::array<Place, kPlaceCount>& kPlaces = detail::kPlaceRows;

constexpr std::size_t kUnplaced = [] {
  std::size_t placed = 0;
  for (const Place& place : kPlaces) placed += place.districts.size();
  return kDistricts.size() - placed;
}();
static_assert(kUnplaced == 3);

}  // namespace

std::span<const Place, kPlaceCount> Places() noexcept { return kPlaces; }

std::span<const District, kDistrictCount> AllDistricts() noexcept { return kDistricts; }

const Place* PlaceByLetter(char32_t letter) noexcept {
  const auto value = LetterValue(letter);
  return value ? PlaceByLetterValue(value->value) : nullptr;
}

const Place* PlaceByName(std::string_view name) {
  // Today's names of places that the table knows by their old ones.
  constexpr std::pair<std::string_view, char> kTodaysNames[] = {{"新北市", 'F'}, {"桃園市", 'H'}};
  if (name.size() == 1) return PlaceByLetter(static_cast<unsigned char>(name[0]) & ~0x20u);
  std::string folded(name);
  constexpr std::string_view kFormal = "臺", kCommon = "台";
  for (std::size_t at; (at = folded.find(kFormal)) != std::string::npos;) {
    folded.replace(at, kFormal.size(), kCommon);
  }
  for (const Place& place : kPlaces) {
    if (place.name == folded) return &place;
  }
  for (const auto& [today, letter] : kTodaysNames) {
    if (today == folded) return PlaceByLetter(static_cast<unsigned char>(letter));
  }
  return nullptr;
}

const Place* PlaceOfDistrict(const District& district) noexcept {
  for (const Place& place : kPlaces) {
    if (&district >= place.districts.data() &&
        &district < place.districts.data() + place.districts.size()) {
      return &place;
    }
  }
  return nullptr;
}

}  // namespace rules
