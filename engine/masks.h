// What --redact writes in a number's place: each masked character an asterisk of its own width,
// so that lines keep their length and columns.
#pragma once

#include <string>
#include <string_view>

#include "rules/id_kinds.h"

namespace engine {

// An identity number: its letter kept, the nine characters after it asterisks. Invisible
// formatting characters inside it stay as they are.
std::string Masked(std::string_view number);

// A number of the other kinds: a mobile number keeps its 09 or +886 9 and its last three digits,
// a business number its last three digits, a certificate its two letters and last three digits, a
// carrier its "/" and last two characters, a donation code its last digit. Separators stay.
std::string OtherMasked(std::string_view number, rules::IdKind kind);

// A number of any kind.
std::string MaskedNumber(std::string_view number, rules::IdKind kind);

}  // namespace engine
