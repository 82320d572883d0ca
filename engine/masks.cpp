// The masks of --redact, each kind's shape taken from its entry in the registry.
#include "engine/masks.h"

#include "engine/bytes.h"
#include "engine/pseudonyms.h"
#include "rules/kinds.h"

namespace engine {

std::string MaskedNumber(std::string_view number, rules::IdKind kind) {
  const rules::MaskShape shape = rules::EntryOf(kind).mask;
  const auto counts = [&shape](char c) { return shape.everyCharacter || IsAsciiWord(c); };
  // A number that starts with its country code keeps more of its front.
  const bool country = shape.countryFront != 0 && !number.empty() && NumberCharacterAt(number, 0).ascii != '0';
  const std::size_t front = country ? shape.countryFront : shape.front;
  std::size_t total = 0;
  for (std::size_t at = 0; at < number.size(); at += NumberCharacterAt(number, at).size) {
    total += counts(NumberCharacterAt(number, at).ascii) ? 1 : 0;
  }
  std::string masked;
  std::size_t seen = 0;
  for (std::size_t at = 0; at < number.size();) {
    const NumberCharacter c = NumberCharacterAt(number, at);
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
  if (m_pseudonyms != nullptr) {
    if (number != nullptr) {
      m_pseudonyms->add(m_waiting, bytes, number->verdict);
    } else {
      m_waiting += bytes;
    }
    // Nothing yet; an empty view of a string, never a null pointer, for whoever copies it.
    if (m_pseudonyms->waiting() < kPseudonymBatch && m_waiting.size() < kBlockSize) return {m_waiting.data(), 0};
    return release();
  }
  if (number != nullptr) {
    m_masked = MaskedNumber(bytes, number->verdict.kind);
    bytes = m_masked;
  }
  return written(bytes);
}

std::string_view Redaction::release() {
  if (m_waiting.empty()) return {m_waiting.data(), 0};
  m_pseudonyms->finish(m_waiting);
  m_masked.swap(m_waiting);
  m_waiting.clear();
  return written(m_masked);
}

std::string_view Redaction::end() {
  const std::string_view held = release();
  if (m_text.oddByte() < 0) return held;
  if (held.data() != m_encoded.data()) m_encoded.assign(held);
  m_encoded += static_cast<char>(m_text.oddByte());
  return m_encoded;
}

std::string_view Redaction::written(std::string_view bytes) {
  if (!m_encoder && m_text.encoding() != Encoding::Utf8) m_encoder.emplace(m_text.encoding());
  if (!m_encoder) return bytes;
  m_encoded.clear();
  m_encoder->put(bytes, m_encoded);
  return m_encoded;
}

}  // namespace engine
