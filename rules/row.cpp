// When a verdict has each of its row's fields.
#include "rules/row.h"

#include "rules/kinds.h"
#include "rules/place_table.h"

namespace rules {
namespace {

constexpr std::string_view kCapitals = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kDigits = "0123456789";

FieldValue text(std::string_view value) { return {!value.empty(), false, 0, value}; }

}  // namespace

FieldValue VerdictField(const IdVerdict& v, std::size_t field) noexcept {
  switch (field) {
    case 0: return {true, v.isValid(), 0, {}};
    // A kind for any verdict of the other kinds, as it names whose rule broke; a sex for a valid
    // identity number.
    case 1: return text(v.namesKind() ? NameOf(v.kind) : std::string_view());
    case 2: return text(v.namesSex() ? NameOf(v.sex) : std::string_view());
    case 3: return text(NameOf(v.category));
    case 4:
      return text(v.letter >= 'A' && v.letter <= 'Z' ? kCapitals.substr(static_cast<std::size_t>(v.letter - 'A'), 1)
                                                     : std::string_view());
    case 5: return text(v.place != nullptr ? v.place->name : std::string_view());
    case 6: return text(NameOf(v.reason));
    case 7: return {v.position > 0, false, v.position, {}};
    case 8:
      return text(v.expected >= 0 && v.expected <= 9 ? kDigits.substr(static_cast<std::size_t>(v.expected), 1)
                                                     : std::string_view());
    default: break;
  }
  return {};
}

std::string_view FieldText(std::size_t field, std::size_t index) noexcept {
  const auto nth = [index](const auto& names) {
    return index < std::size(names) ? names[index].name : std::string_view();
  };
  switch (field) {
    case 1: return nth(kKindNames);
    case 2: return nth(kSexNames);
    case 3: return nth(kCategoryNames);
    case 4: return index < kCapitals.size() ? kCapitals.substr(index, 1) : std::string_view();
    case 5: return index < kPlaceCount ? Places()[index].name : std::string_view();
    case 6: return nth(kReasonNames);
    case 8: return index < kDigits.size() ? kDigits.substr(index, 1) : std::string_view();
    default: break;
  }
  return {};
}

static_assert(std::size(kVerdictFields) == 9, "VerdictField and FieldText have a case for each field");

}  // namespace rules
