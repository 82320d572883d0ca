// Invisible characters, UTF-8 encoding and the normalised form of a typed number.
#include "rules/text.h"

namespace rules {
namespace {

struct Range {
  char32_t first;
  char32_t last;
};

// Unicode's Cf characters.
constexpr Range kFormat[] = {
    {0x00AD, 0x00AD},   {0x0600, 0x0605},
    {0x061C, 0x061C},   {0x06DD, 0x06DD},   {0x070F, 0x070F},   {0x0890, 0x0891},
    {0x08E2, 0x08E2},   {0x180E, 0x180E},   {0x200B, 0x200F},   {0x202A, 0x202E},
    {0x2060, 0x2064},   {0x2066, 0x206F},   {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},
    {0x110BD, 0x110BD}, {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3},
    {0x1D173, 0x1D17A}, {0xE0001, 0xE0001}, {0xE0020, 0xE007F},
};

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string Utf8Of(std::u16string_view text) {
  std::string out;
  for (std::size_t at = 0; at < text.size(); ++at) {
    char32_t c = text[at];
    if (c >= 0xD800 && c <= 0xDBFF && at + 1 < text.size() && text[at + 1] >= 0xDC00 &&
        text[at + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++at] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::u16string Utf16Of(std::string_view text) {
  std::u16string out;
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Character character = Utf8At(text, at);
    char32_t c = character.code;
    at += character.size;
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

bool IsFormatCharacter(char32_t c) noexcept {
  if (c < kFormat[0].first) return false;
  for (const Range& range : kFormat) {
    if (c < range.first) return false;
    if (c <= range.last) return true;
  }
  return false;
}

bool IsInvisible(char32_t c) noexcept {
  // Cc, then the line and paragraph separators (Zl, Zp), then Cf.
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 ||
         IsFormatCharacter(c);
}

std::string WithoutInvisibles(std::string_view text) {
  std::string kept;
  kept.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Character character = Utf8At(text, at);
    if (!character.valid || !IsInvisible(character.code)) kept.append(text, at, character.size);
    at += character.size;
  }
  return kept;
}

std::string NormalizedNumber(std::string_view text) {
  std::string kept;
  kept.reserve(text.size());
  std::size_t spaceEnd = 0;  // where the kept text ends when trailing white space is cut
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Character character = Utf8At(text, at);
    if (!character.valid) {
      kept += text[at++];
      spaceEnd = kept.size();
      continue;
    }
    char32_t c = character.code;
    at += character.size;
    if (IsSpace(c)) {
      if (!kept.empty()) AppendUtf8(kept, c);
      continue;
    }
    if (IsInvisible(c)) continue;
    // Every full-width form of ASCII, the / + . - of a carrier code among them.
    if (c >= U'！' && c <= U'～') c -= U'！' - U'!';
    if (c >= U'a' && c <= U'z') c -= U'a' - U'A';
    AppendUtf8(kept, c);
    spaceEnd = kept.size();
  }
  kept.resize(spaceEnd);
  return kept;
}

}  // namespace rules
