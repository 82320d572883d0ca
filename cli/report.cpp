// The verdict's part of a row, cached by verdict.
#include "cli/report.h"

#include <array>
#include <iterator>

#include "rules/row.h"

namespace cli {
VerdictParts::VerdictParts(const RowPrinter& rows, const rules::KindChoice& kinds, rules::Language language)
    : m_rows(rows), m_kinds(kinds), m_language(language), m_parts(kParts) {}

std::string VerdictParts::build(const rules::IdVerdict& v) const {
  if (m_rows.format() == Format::Text) {
    return ": " + rules::VerdictSentence(m_language, v, m_kinds) + "\n";
  }
  // Numbers written as text, each kept until the fields are.
  std::array<std::string, std::size(rules::kVerdictFields)> numbers;
  std::array<Field, std::size(rules::kVerdictFields)> fields;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const rules::RowField& field = rules::kVerdictFields[i];
    const rules::FieldValue value = rules::VerdictField(v, i);
    fields[i] = {field.name, value.text, field.type != rules::FieldType::Text};
    if (field.type == rules::FieldType::Boolean) fields[i].value = value.boolean ? "true" : "false";
    if (field.type == rules::FieldType::Number && value.present) fields[i].value = numbers[i] = std::to_string(value.number);
  }
  std::string part;
  m_rows.fields(part, fields, false);
  return part;
}

}  // namespace cli
