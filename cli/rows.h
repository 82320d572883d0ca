// The rows taloma-id writes, in text, tsv, csv and jsonl: one printer per format knows how a row
// opens, how each field is introduced and escaped, and how a row closes. Every command writes its
// rows through it; what it writes goes into a string or the output buffer, which it never touches.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace cli {

enum class Format { Text, Tsv, Csv, Jsonl };

// One field of a row. An empty value stands for an absent one.
struct Field {
  std::string_view name;
  std::string_view value;
  bool bare = false;  // a JSON number or boolean, written without quotes
};

class RowPrinter {
 public:
  explicit RowPrinter(Format format) : m_format(format) {}

  Format format() const noexcept { return m_format; }

  // What comes before field `name` of a row: in jsonl the key, after "{" for the row's first field
  // and "," for the others; elsewhere nothing for the first field and the separator for the rest.
  std::string before(std::string_view name, bool first) const;

  // What stands on either side of a quoted value: '"' in jsonl, nothing elsewhere.
  std::string_view quote() const noexcept { return m_format == Format::Jsonl ? "\"" : ""; }

  // Appends `value` as one field's value: in text with backslashes doubled and the characters a
  // terminal would act on (controls, invisible formatting) as \t or \uXXXX escapes, with \\ \t \n \r
  // escapes in tsv, quoted where RFC 4180 needs it in csv, as a JSON string in jsonl.
  void value(std::string& out, std::string_view value) const;

  // Appends `fields` to a row; `first` when they open it. Absent values are "-" in text, empty in
  // tsv and csv, and left out of jsonl.
  void fields(std::string& out, std::span<const Field> fields, bool first) const;

  // Closes a row: "}" in jsonl, then the line end.
  void end(std::string& out) const;
  // The same, written at `at` with room for two characters; returns where it ends.
  char* end(char* at) const noexcept {
    if (m_format == Format::Jsonl) *at++ = '}';
    *at++ = '\n';
    return at;
  }

  // The header line of tsv and csv; nothing for text and jsonl.
  void header(std::string& out, std::span<const std::string_view> names) const;

 private:
  Format m_format;
};

// Text as it is shown in every format: each byte that is not UTF-8 becomes U+FFFD, and text longer
// than 64 characters, or cut short by the reader, keeps its first 64 characters and gets "…".
// Plain text comes back as it is; other text is built in `scratch`.
std::string_view shown(std::string_view text, bool cut, std::string& scratch);

// True when `text` is at most 64 printable ASCII characters that need no escape in any format.
inline bool isPlain(std::string_view text) noexcept {
  if (text.size() > 64) return false;
  for (const char c : text) {
    if (c < 0x20 || c > 0x7E || c == '"' || c == '\\' || c == ',') return false;
  }
  return true;
}

// `text` with what a terminal would act on shown as \uXXXX escapes and bytes that are not UTF-8 as
// U+FFFD; backslashes are left as they are, for lines that are read rather than parsed.
std::string printable(std::string_view text);

}  // namespace cli
