// What --redact writes in a number's place: each masked character an asterisk of its own width,
// so that lines keep their length and columns.
#pragma once

#include <string>
#include <string_view>

#include "rules/id_kinds.h"

namespace engine {

// `number`, of `kind`, as its kind's mask shape (rules/kinds.h) keeps it: an identity number its
// letter, a mobile number its 09 or +886 9 and its last three digits, a business number its last
// three digits, a certificate its two letters and last three digits, a carrier its "/" and last
// two characters, a donation code its last digit. Separators, and the invisible formatting
// characters inside an identity number, stay.
std::string MaskedNumber(std::string_view number, rules::IdKind kind);

}  // namespace engine
