// Output through one buffer, and the exact shapes of text, tsv, csv and jsonl rows.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rules/id_kinds.h"

namespace cli {

enum class Format { Text, Tsv, Csv, Jsonl };

// Writes to a file descriptor in large blocks. A reader that has gone away ends the program at
// once and silently, as it would any Unix filter; any other write error ends it with a message
// and status 2.
class Output {
 public:
  static constexpr std::size_t kSize = 64 * 1024;

  explicit Output(int fd);
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  ~Output() { flush(); }

  void put(std::string_view text) {
    if (text.size() > kSize - m_used) flush();
    if (text.size() > kSize) return write(text);
    std::memcpy(m_data.get() + m_used, text.data(), text.size());
    m_used += text.size();
  }
  void put(char c) {
    if (m_used == kSize) flush();
    m_data[m_used++] = c;
  }
  // Room for `size` bytes (at most kSize) to be filled in place and then passed to commit.
  char* reserve(std::size_t size) {
    if (size > kSize - m_used) flush();
    return m_data.get() + m_used;
  }
  void commit(std::size_t size) { m_used += size; }
  void flush();

  // Each row goes out as soon as it is complete: on a terminal, or when asked to.
  void setLineBuffered(bool lineBuffered) { m_lineBuffered = lineBuffered; }
  void endRow() {
    if (m_lineBuffered) flush();
  }

 private:
  void write(std::string_view bytes);

  int m_fd;
  std::unique_ptr<char[]> m_data;
  std::size_t m_used = 0;
  bool m_lineBuffered = false;
};

// One field of a row. An empty value stands for an absent one.
struct Field {
  std::string_view name;
  std::string_view value;
  bool bare = false;  // a JSON number or boolean, written without quotes
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

// Appends `value` as one field: in text with backslashes doubled and the characters a terminal
// would act on (controls, invisible formatting) as \t or \uXXXX escapes, with \\ \t \n \r escapes
// in tsv, quoted where RFC 4180 needs it in csv, as a JSON string in jsonl.
void appendField(std::string& out, Format format, std::string_view value);

// Appends `fields` to a row, with the separators and JSON keys of `format`; `first` when they open
// the row. Absent values are empty in tsv and csv, "-" in text and left out of jsonl.
void appendFields(std::string& out, Format format, std::span<const Field> fields, bool first);

// Closes a row: "}" for jsonl, then the line end.
void appendRowEnd(std::string& out, Format format);

// The header line of tsv and csv (nothing for text and jsonl).
void appendHeader(std::string& out, Format format, std::span<const std::string_view> names);

// What a row says after the number checked: ": <sentence>" and the line end in text, the fields
// valid, kind, sex, category, letter, place, reason, position and expected in the other formats.
// These depend on the verdict alone, so each is built once and kept.
class VerdictParts {
 public:
  VerdictParts(Format format, rules::KindSet kinds);
  const std::string& operator()(const rules::IdVerdict& verdict);

 private:
  std::string build(const rules::IdVerdict& verdict) const;

  Format m_format;
  rules::KindSet m_kinds;
  std::vector<std::string> m_parts;
};

// A file's name as a field of `format` after `before`, built again only when the file changes:
// rows name the file they come from, and most rows come from the file before them.
class FileField {
 public:
  std::string_view of(std::string_view file, Format format, std::string_view before) {
    if (file.data() != m_file) {
      m_file = file.data();
      m_field.assign(before);
      appendField(m_field, format, file);
    }
    return m_field;
  }

 private:
  const char* m_file = nullptr;
  std::string m_field;
};

// Appends `number` in decimal.
inline void putNumber(Output& out, std::uint64_t number) {
  char* const at = out.reserve(20);
  out.commit(static_cast<std::size_t>(std::to_chars(at, at + 20, number).ptr - at));
}

// One line on standard error, "taloma-id: <message>", with what a terminal would act on shown as
// escapes and bytes that are not UTF-8 as U+FFFD.
void note(std::string_view message);

// Ends the program with status 2 after note(message).
[[noreturn]] void fail(std::string_view message);

// A value the user gave, as a message shows it: cut to its first 64 characters as inputs are.
std::string shownValue(std::string_view value);

}  // namespace cli
