// The syntax and escaping of each output format, and text as it is shown.
#include "cli/rows.h"

#include "rules/text.h"

namespace cli {
namespace {

constexpr char kHex[] = "0123456789abcdef";

// Text for a terminal: what would move the cursor, change colours or reorder the line is shown as
// an escape instead. In a field a backslash is doubled, so that the escapes read one way only; a
// message is read, not parsed, and keeps a Windows path as it is.
void appendForTerminal(std::string& out, std::string_view value, bool field) {
  for (std::size_t at = 0; at < value.size();) {
    const auto [c, size, valid] = rules::Utf8At(value, at);
    if (!valid) {
      out += "\uFFFD";
    } else if (c == U'\\' && field) {
      out += "\\\\";
    } else if (c == U'\t') {
      out += "\\t";
    } else if (rules::IsInvisible(c)) {
      out += c > 0xFFFF ? "\\U" : "\\u";
      for (int shift = c > 0xFFFF ? 28 : 12; shift >= 0; shift -= 4) out += kHex[(c >> shift) & 15];
    } else {
      out.append(value, at, size);
    }
    at += size;
  }
}

}  // namespace

std::string RowPrinter::before(std::string_view name, bool first) const {
  switch (m_format) {
    case Format::Jsonl: {
      std::string key(first ? "{" : ",");
      value(key, name);
      return key + ':';
    }
    case Format::Text: return first ? "" : "  ";
    case Format::Tsv: return first ? "" : "\t";
    case Format::Csv: return first ? "" : ",";
  }
  return {};
}

void RowPrinter::value(std::string& out, std::string_view value) const {
  switch (m_format) {
    case Format::Text: appendForTerminal(out, value, true); return;
    case Format::Tsv:
      for (const char c : value) {
        switch (c) {
          case '\\': out += "\\\\"; break;
          case '\t': out += "\\t"; break;
          case '\n': out += "\\n"; break;
          case '\r': out += "\\r"; break;
          default: out += c;
        }
      }
      return;
    case Format::Csv:
      if (value.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += value;
        return;
      }
      out += '"';
      for (const char c : value) {
        if (c == '"') out += '"';
        out += c;
      }
      out += '"';
      return;
    case Format::Jsonl:
      out += '"';
      for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
          out += '\\';
          out += c;
        } else if (byte >= 0x20) {
          out += c;
        } else if (c == '\n') {
          out += "\\n";
        } else if (c == '\r') {
          out += "\\r";
        } else if (c == '\t') {
          out += "\\t";
        } else {
          out += "\\u00";
          out += kHex[byte >> 4];
          out += kHex[byte & 15];
        }
      }
      out += '"';
      return;
  }
}

void RowPrinter::fields(std::string& out, std::span<const Field> fields, bool first) const {
  for (const Field& field : fields) {
    if (m_format == Format::Jsonl && field.value.empty()) continue;
    out += before(field.name, first);
    if (m_format == Format::Text && field.value.empty()) {
      out += '-';
    } else if (field.bare && m_format == Format::Jsonl) {
      out += field.value;
    } else {
      value(out, field.value);
    }
    first = false;
  }
}

void RowPrinter::end(std::string& out) const {
  if (m_format == Format::Jsonl) out += '}';
  out += '\n';
}

void RowPrinter::header(std::string& out, std::span<const std::string_view> names) const {
  if (m_format != Format::Tsv && m_format != Format::Csv) return;
  bool first = true;
  for (const std::string_view name : names) {
    out += before(name, first);
    out += name;
    first = false;
  }
  out += '\n';
}

std::string_view shown(std::string_view text, bool cut, std::string& scratch) {
  constexpr std::size_t kShownCharacters = 64;
  if (!cut && text.size() <= kShownCharacters) {
    bool ascii = true;
    for (const char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return text;
  }
  scratch.clear();
  std::size_t characters = 0;
  std::size_t at = 0;
  for (; at < text.size() && characters < kShownCharacters; ++characters) {
    const rules::Utf8Character character = rules::Utf8At(text, at);
    if (character.valid) {
      scratch.append(text, at, character.size);
    } else {
      scratch += "\uFFFD";
    }
    at += character.size;
  }
  if (cut || at < text.size()) scratch += "\u2026";
  return scratch;
}

std::string printable(std::string_view text) {
  std::string out;
  appendForTerminal(out, text, false);
  return out;
}

}  // namespace cli
