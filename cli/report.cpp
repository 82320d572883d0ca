// The verdict's part of a row, cached by verdict.
#include "cli/report.h"

#include <array>

namespace cli {
VerdictParts::VerdictParts(const RowPrinter& rows, const rules::KindChoice& kinds, rules::Language language)
    : m_rows(rows), m_kinds(kinds), m_language(language), m_parts(kParts) {}

std::string VerdictParts::build(const rules::IdVerdict& v) const {
  if (m_rows.format() == Format::Text) {
    return ": " + rules::VerdictSentence(m_language, v, m_kinds) + "\n";
  }
  const std::string letter = v.letter ? std::string(1, v.letter) : std::string();
  const std::string position = v.position ? std::to_string(v.position) : std::string();
  const std::string expected = v.expected >= 0 ? std::to_string(v.expected) : std::string();
  const std::array<Field, 9> fields = {{
      {"valid", v.isValid() ? "true" : "false", true},
      {"kind", v.namesKind() ? rules::NameOf(v.kind) : ""},
      {"sex", v.namesSex() ? rules::NameOf(v.sex) : ""},
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
