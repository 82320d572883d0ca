// The fields of a row, as every front end writes them: their names in order, their types, and when
// a verdict has them. taloma-id's rows, the C interface's walk of a verdict, the npm package's rows
// and Python's dicts and columns all take them from here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "rules/id_kinds.h"

namespace rules {

enum class FieldType : std::uint8_t { Boolean, Number, Text };

struct RowField {
  std::string_view name;
  FieldType type;
};

// A verdict's fields.
inline constexpr RowField kVerdictFields[] = {
    {"valid", FieldType::Boolean}, {"kind", FieldType::Text},     {"sex", FieldType::Text},
    {"category", FieldType::Text}, {"letter", FieldType::Text},   {"place", FieldType::Text},
    {"reason", FieldType::Text},   {"position", FieldType::Number}, {"expected", FieldType::Text}};

// The number a row is about: the text checked, or the number as it stands in a scanned text.
inline constexpr RowField kInputField = {"input", FieldType::Text};

// Where a found number stands in its text, before the number in a scan row: the offset and length
// in the text's own unit (bytes, UTF-16 units or code points).
inline constexpr RowField kFoundFields[] = {{"line", FieldType::Number}, {"column", FieldType::Number},
                                            {"offset", FieldType::Number}, {"length", FieldType::Number}};

// One field's value in a verdict: `present` is false for a field the verdict does not have (an
// invalid identity number's kind, a valid number's reason, ...). Texts are constants.
struct FieldValue {
  bool present = false;
  bool boolean = false;
  int number = 0;
  std::string_view text;
};

// Field `field` (an index into kVerdictFields) of `verdict`.
FieldValue VerdictField(const IdVerdict& verdict, std::size_t field) noexcept;

// The texts field `field` can hold, by `index` in order: the kinds' names, the sexes, the
// categories, the letters, the places, the reasons, the digits. Empty past the last, and for a
// field that holds no text; VerdictField gives no other text.
std::string_view FieldText(std::size_t field, std::size_t index) noexcept;

}  // namespace rules
