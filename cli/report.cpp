// The verdict's part of a row, cached by verdict.
#include "cli/report.h"

#include <array>

namespace cli {
namespace {

// Valid verdicts by kind, sex, category and place; then length, letter, second, the digit
// positions 3 to 10 and the check digits 0 to 9.
constexpr std::size_t kCategories = 5;
constexpr std::size_t kValidParts = 3 * 2 * kCategories * rules::kPlaceCount;
constexpr std::size_t kParts = kValidParts + 3 + 8 + 10;

std::size_t slotOf(const rules::IdVerdict& v) {
  using rules::Reason;
  switch (v.reason) {
    case Reason::None:
      return ((static_cast<std::size_t>(v.kind) * 2 + static_cast<std::size_t>(v.sex)) *
                  kCategories +
              static_cast<std::size_t>(v.category)) *
                 rules::kPlaceCount +
             static_cast<std::size_t>(v.place->index() - 1);
    case Reason::Length: return kValidParts;
    case Reason::Letter: return kValidParts + 1;
    case Reason::Second: return kValidParts + 2;
    case Reason::Digit: return kValidParts + 3 + static_cast<std::size_t>(v.position - 3);
    case Reason::Check: return kValidParts + 11 + static_cast<std::size_t>(v.expected);
  }
  return 0;
}

}  // namespace

VerdictParts::VerdictParts(const RowPrinter& rows, rules::KindSet kinds, rules::Language language)
    : m_rows(rows), m_kinds(kinds), m_language(language), m_parts(kParts) {}

const std::string& VerdictParts::operator()(const rules::IdVerdict& verdict) {
  std::string& part = m_parts[slotOf(verdict)];
  if (part.empty()) part = build(verdict);
  return part;
}

std::string VerdictParts::build(const rules::IdVerdict& v) const {
  if (m_rows.format() == Format::Text) {
    return ": " + rules::VerdictSentence(m_language, v, m_kinds) + "\n";
  }
  const std::string letter = v.letter ? std::string(1, v.letter) : std::string();
  const std::string position = v.position ? std::to_string(v.position) : std::string();
  const std::string expected = v.expected >= 0 ? std::to_string(v.expected) : std::string();
  const bool valid = v.isValid();
  const std::array<Field, 9> fields = {{
      {"valid", valid ? "true" : "false", true},
      {"kind", valid ? rules::NameOf(v.kind) : ""},
      {"sex", valid ? rules::NameOf(v.sex) : ""},
      {"category", rules::NameOf(v.category)},
      {"letter", letter},
      {"place", v.place ? v.place->name : ""},
      {"reason", rules::NameOf(v.reason)},
      {"position", position, true},
      {"expected", expected},
  }};
  std::string part;
  m_rows.fields(part, fields, false);
  return part;
}

}  // namespace cli
