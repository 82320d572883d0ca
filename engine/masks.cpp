// The masks of --redact, each kind's shape taken from its entry in the registry.
#include "engine/masks.h"

#include "engine/bytes.h"
#include "rules/kinds.h"

namespace engine {
namespace {

// A character of a number: its ASCII form (a full-width form narrowed) and its size. Any other
// byte, which no mask touches, stands for itself.
struct Piece {
  char ascii;
  unsigned size;
};

Piece pieceAt(std::string_view number, std::size_t at) {
  const auto* p = reinterpret_cast<const unsigned char*>(number.data()) + at;
  const char wide = number.size() - at >= 3 ? WideAscii(p) : 0;
  return wide != 0 ? Piece{wide, 3} : Piece{static_cast<char>(*p), 1};
}

constexpr bool isWord(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::string MaskedNumber(std::string_view number, rules::IdKind kind) {
  const rules::MaskShape shape = rules::EntryOf(kind).mask;
  const auto counts = [&shape](char c) { return shape.everyCharacter || isWord(c); };
  // A number that starts with its country code keeps more of its front.
  const bool country = shape.countryFront != 0 && !number.empty() && pieceAt(number, 0).ascii != '0';
  const std::size_t front = country ? shape.countryFront : shape.front;
  std::size_t total = 0;
  for (std::size_t at = 0; at < number.size(); at += pieceAt(number, at).size) {
    total += counts(pieceAt(number, at).ascii) ? 1 : 0;
  }
  std::string masked;
  std::size_t seen = 0;
  for (std::size_t at = 0; at < number.size();) {
    const Piece c = pieceAt(number, at);
    const bool counted = counts(c.ascii);
    if (counted && seen >= front && seen + shape.back < total) {
      masked += c.size == 3 ? "\uFF0A" : "*";
    } else {
      masked.append(number, at, c.size);
    }
    seen += counted ? 1 : 0;
    at += c.size;
  }
  return masked;
}

std::string_view Redaction::put(std::string_view bytes, const Found* number) {
  if (number != nullptr) {
    m_masked = MaskedNumber(bytes, number->verdict.kind);
    bytes = m_masked;
  }
  if (!m_encoder && m_text.encoding() != Encoding::Utf8) m_encoder.emplace(m_text.encoding());
  if (!m_encoder) return bytes;
  m_encoded.clear();
  m_encoder->put(bytes, m_encoded);
  return m_encoded;
}

std::string_view Redaction::end() {
  m_encoded.assign(m_text.oddByte() >= 0 ? 1 : 0, static_cast<char>(m_text.oddByte()));
  return m_encoded;
}

}  // namespace engine
