// What --redact writes: in a number's place, each masked character an asterisk of its own width,
// so that lines keep their length and columns; around the numbers, the input as it came.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/scan.h"
#include "engine/text_source.h"
#include "rules/id_kinds.h"

namespace engine {

// `number`, of `kind`, as its kind's mask shape (rules/kinds.h) keeps it: an identity number its
// letter, a mobile number its 09 or +886 9 and its last three digits, a business number its last
// three digits, a certificate its two letters and last three digits, a carrier its "/" and last
// two characters, a donation code its last digit. Separators, and the invisible formatting
// characters inside an identity number, stay.
std::string MaskedNumber(std::string_view number, rules::IdKind kind);

// The input written back as taloma-id scan --redact writes it: the pieces a search passes on, each
// number masked, and an input read from UTF-16 or Big5 in that encoding again, every byte as it
// came but the masked ones.
class Redaction {
 public:
  explicit Redaction(const TextSource& text) : m_text(text) {}

  // What goes out for a piece the search passed on: `bytes`, masked when they are a number. Valid
  // until the next call.
  std::string_view put(std::string_view bytes, const Found* number);
  // What ends the output: the odd last byte of a UTF-16 input, or nothing.
  std::string_view end();

 private:
  const TextSource& m_text;
  std::optional<Encoder> m_encoder;
  std::string m_masked, m_encoded;
};

}  // namespace engine
