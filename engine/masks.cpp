// The masks of --redact, each kind's shape taken from its entry in the registry.
#include "engine/masks.h"

#include "engine/bytes.h"
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

}  // namespace engine
