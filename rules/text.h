// Reading numbers out of text as people type, paste and export it: UTF-8 decoding, the characters
// nobody sees, full-width letters and digits, and the normalised form of a typed number.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace rules {

// The length (1 to 4) of the well-formed UTF-8 sequence that starts at text[at], or 0 when that
// byte starts none; such a byte then stands for one character of its own.
constexpr int Utf8SequenceLength(std::string_view text, std::size_t at) noexcept {
  const auto byte = [text](std::size_t i) -> unsigned {
    return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
  };
  const auto follows = [&byte, at](std::size_t i, unsigned low = 0x80, unsigned high = 0xBF) {
    const unsigned b = byte(at + i);
    return b >= low && b <= high;
  };
  const unsigned lead = byte(at);
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return follows(1) ? 2 : 0;
  // The narrowed second-byte ranges exclude overlong forms, surrogates and code points past
  // U+10FFFF.
  if (lead >= 0xE0 && lead <= 0xEF) {
    const bool second = follows(1, lead == 0xE0 ? 0xA0 : 0x80, lead == 0xED ? 0x9F : 0xBF);
    return second && follows(2) ? 3 : 0;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    const bool second = follows(1, lead == 0xF0 ? 0x90 : 0x80, lead == 0xF4 ? 0x8F : 0xBF);
    return second && follows(2) && follows(3) ? 4 : 0;
  }
  return 0;
}

// The code point of a well-formed sequence of `length` bytes at text[at].
constexpr char32_t DecodeUtf8(std::string_view text, std::size_t at, int length) noexcept {
  const auto byte = [&](int i) { return static_cast<char32_t>(static_cast<unsigned char>(text[at + i])); };
  switch (length) {
    case 1: return byte(0);
    case 2: return ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
    case 3: return ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
    case 4:
      return ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) |
             (byte(3) & 0x3F);
    default: return 0xFFFD;
  }
}

// The character that starts at text[at]: its code point and its size in bytes. A byte that starts
// no well-formed sequence is a character of its own: one byte, not valid, read as U+FFFD.
struct Utf8Character {
  char32_t code;
  std::size_t size;
  bool valid;
};

constexpr Utf8Character Utf8At(std::string_view text, std::size_t at) noexcept {
  const int length = Utf8SequenceLength(text, at);
  if (length == 0) return {U'\uFFFD', 1, false};
  return {DecodeUtf8(text, at, length), static_cast<std::size_t>(length), true};
}

void AppendUtf8(std::string& out, char32_t c);

// UTF-16 text as UTF-8, an unpaired surrogate as U+FFFD.
std::string Utf8Of(std::u16string_view text);

// UTF-8 text as UTF-16, each byte that is not UTF-8 as U+FFFD.
std::u16string Utf16Of(std::string_view text);

// Characters nobody sees: controls (Cc), invisible formatting (Cf: zero-width characters,
// bidirectional controls, byte-order marks, the soft hyphen) and the line and paragraph
// separators. A paste into the number box loses them.
bool IsInvisible(char32_t c) noexcept;

// The invisible formatting characters alone (Cf): zero-width characters, the soft hyphen, the word
// joiner, bidirectional controls, byte-order marks. They can sit inside a word without breaking it
// to the eye, where a control or a line separator would.
bool IsFormatCharacter(char32_t c) noexcept;

// The UTF-16 offset where character `position` (counted from 1) of `text` starts, a surrogate pair
// being one character; the text's length when it has fewer characters.
constexpr std::size_t Utf16Offset(std::u16string_view text, int position) noexcept {
  std::size_t at = 0;
  for (int p = 1; p < position && at < text.size(); ++p) {
    const bool pair = text[at] >= 0xD800 && text[at] <= 0xDBFF && at + 1 < text.size() &&
                      text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF;
    at += pair ? 2 : 1;
  }
  return at;
}

// `text` (UTF-8) without the characters nobody sees; bytes that are not UTF-8 are kept.
std::string WithoutInvisibles(std::string_view text);

// The ASCII letter or digit that a full-width one (Ａ, ａ, ０) stands for; `c` itself otherwise.
constexpr char32_t NarrowForm(char32_t c) noexcept {
  if ((c >= U'０' && c <= U'９') || (c >= U'Ａ' && c <= U'Ｚ') || (c >= U'ａ' && c <= U'ｚ')) {
    return c - (U'Ａ' - U'A');
  }
  return c;
}

// White space around a typed number: ASCII's, the no-break space and the ideographic space.
constexpr bool IsSpace(char32_t c) noexcept {
  return c == U' ' || (c >= U'\t' && c <= U'\r') || c == U'\u00A0' || c == U'\u3000';
}

// `text` (UTF-8) as a number is checked after --normalize: without the characters nobody sees,
// full-width forms (letters, digits, ／ ＋ and the like) as ASCII, a to z upper-cased, and the white space around it
// trimmed. Bytes that are not UTF-8 are kept as they are.
std::string NormalizedNumber(std::string_view text);

}  // namespace rules
