// What check and scan write after a number: the verdict's fields, the same for every number with
// the same verdict and so built once, and the file a row comes from, built once per file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli/rows.h"
#include "rules/kinds.h"
#include "rules/words.h"

namespace cli {

// What a row says after the number: ": <sentence>" and the line end in text, the fields valid,
// kind, sex, category, letter, place, reason, position and expected in the other formats.
class VerdictParts {
 public:
  VerdictParts(const RowPrinter& rows, const rules::KindChoice& kinds, rules::Language language);

  const std::string& operator()(const rules::IdVerdict& verdict) {
    std::string& part = m_parts[slotOf(verdict)];
    if (part.empty()) part = build(verdict);
    return part;
  }

 private:
  // Valid identity verdicts by kind, sex, category and place; then length, letter, second, the
  // digit positions 3 to 10 and the check digits 0 to 9; then the other kinds' verdicts, by kind,
  // reason and position (the expected digit for Check).
  static constexpr std::size_t kCategories = 5;
  static constexpr std::size_t kValidParts = rules::kIdentityKindCount * 2 * kCategories * rules::kPlaceCount;
  static constexpr std::size_t kIdentityParts = kValidParts + 3 + 8 + 10;
  static constexpr std::size_t kPositions = 33;
  static constexpr std::size_t kPerOtherKind = 7 * kPositions;
  static constexpr std::size_t kParts =
      kIdentityParts + (rules::kKindCount - rules::kIdentityKindCount) * kPerOtherKind;

  static std::size_t slotOf(const rules::IdVerdict& v) {
    using rules::Reason;
    if (!rules::IsIdentityKind(v.kind)) {
      const auto kind = static_cast<std::size_t>(v.kind) - rules::kIdentityKindCount;
      const auto reason = static_cast<std::size_t>(v.reason);
      const auto at = static_cast<std::size_t>(v.reason == Reason::Check ? v.expected : v.position);
      return kIdentityParts + kind * kPerOtherKind + reason * kPositions + at;
    }
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
      case Reason::Character: break;
    }
    return 0;
  }

  std::string build(const rules::IdVerdict& verdict) const;

  const RowPrinter& m_rows;
  rules::KindChoice m_kinds;
  rules::Language m_language;
  std::vector<std::string> m_parts;
};

// A file's name as a field after `before`, built again only when the file changes: rows name the
// file they come from, and most rows come from the file before them.
class FileField {
 public:
  std::string_view of(std::string_view file, const RowPrinter& rows, std::string_view before) {
    if (file.data() != m_file) {
      m_file = file.data();
      m_field.assign(before);
      rows.value(m_field, file);
    }
    return m_field;
  }

 private:
  const char* m_file = nullptr;
  std::string m_field;
};

}  // namespace cli
