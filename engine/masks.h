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

class Pseudonyms;

// The input written back as taloma-id scan --redact writes it: the pieces a search passes on, each
// number masked, and an input read from UTF-16 or Big5 in that encoding again, every byte as it
// came but the masked ones. Given pseudonyms, each valid number becomes its pseudonym instead (as
// --pseudonymize and --reveal write it): the text is then held until enough numbers wait to be
// enciphered together, or a block of text, or release().
class Redaction {
 public:
  explicit Redaction(const TextSource& text, Pseudonyms* pseudonyms = nullptr)
      : m_text(text), m_pseudonyms(pseudonyms) {}

  // What goes out for a piece the search passed on: `bytes`, masked when they are a number, and
  // with pseudonyms whatever was held. Valid until the next call.
  std::string_view put(std::string_view bytes, const Found* number);
  // Everything held, now (before a read that may wait). Valid until the next call.
  std::string_view release();
  // What ends the output: everything held, and the odd last byte of a UTF-16 input.
  std::string_view end();

 private:
  std::string_view written(std::string_view bytes);

  const TextSource& m_text;
  Pseudonyms* m_pseudonyms;
  std::optional<Encoder> m_encoder;
  std::string m_masked, m_encoded, m_waiting;
};

}  // namespace engine
