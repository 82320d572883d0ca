// The masks of --redact.
#include "engine/masks.h"

#include <algorithm>

#include "engine/bytes.h"
#include "rules/text.h"

namespace engine {
namespace {

// A character of a number: its ASCII form (a full-width form narrowed) and its size.
struct Wide {
  char ascii;
  unsigned size;
};

constexpr bool isWord(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::string Masked(std::string_view number) {
  std::string masked;
  bool letterSeen = false;
  for (std::size_t at = 0; at < number.size();) {
    const rules::Utf8Character character = rules::Utf8At(number, at);
    const bool ascii = character.code < 0x80;
    const bool wide = !ascii && rules::NarrowForm(character.code) != character.code;
    if ((ascii || wide) && letterSeen) {
      masked += wide ? "\uFF0A" : "*";
    } else {
      masked.append(number, at, character.size);
    }
    letterSeen = letterSeen || ascii || wide;
    at += character.size;
  }
  return masked;
}


std::string OtherMasked(std::string_view number, rules::IdKind kind) {
  using rules::IdKind;
  // The number's characters: a full-width form is three bytes, and any other byte, which no
  // mask touches, stands for itself.
  const auto ascii = [number](std::size_t at) -> Wide {
    const auto* p = reinterpret_cast<const unsigned char*>(number.data()) + at;
    const char wide = number.size() - at >= 3 ? WideAscii(p) : 0;
    return wide != 0 ? Wide{wide, 3} : Wide{static_cast<char>(*p), 1};
  };
  std::size_t front = 0;
  std::size_t back = 3;
  bool everyCharacter = false;  // else digits and letters alone are masked
  switch (kind) {
    case IdKind::Certificate: front = 2; break;
    case IdKind::Carrier: front = 1, back = 2, everyCharacter = true; break;
    case IdKind::Donation: back = 1; break;
    case IdKind::Mobile: front = ascii(0).ascii == '0' ? 2 : 4; break;
    default: break;
  }
  const auto counts = [everyCharacter](char c) { return everyCharacter || isWord(c); };
  std::size_t total = 0;
  for (std::size_t at = 0; at < number.size(); at += ascii(at).size) total += counts(ascii(at).ascii) ? 1 : 0;
  std::string masked;
  std::size_t seen = 0;
  for (std::size_t at = 0; at < number.size();) {
    const Wide c = ascii(at);
    const bool counted = counts(c.ascii);
    if (counted && seen >= front && seen + back < total) {
      masked += c.size == 3 ? "\uFF0A" : "*";
    } else {
      masked.append(number, at, c.size);
    }
    seen += counted ? 1 : 0;
    at += c.size;
  }
  return masked;
}

std::string MaskedNumber(std::string_view number, rules::IdKind kind) {
  return rules::IsIdentityKind(kind) ? Masked(number) : OtherMasked(number, kind);
}

}  // namespace engine
