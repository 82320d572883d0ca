// The output buffer, shown text and the escaping rules of each format.
#include "cli/output.h"

#include <array>
#include <cerrno>

#include "cli/messages.h"
#include "cli/platform.h"
#include "rules/text.h"
#include "rules/wording.h"

namespace cli {

Output::Output(int fd) : m_fd(fd), m_data(new char[kSize]) {}

void Output::flush() {
  write({m_data.get(), m_used});
  m_used = 0;
}

void Output::write(std::string_view bytes) {
  if (!platform::writeAll(m_fd, bytes)) {
    fail(filled(messages().cannotWrite, reasonOf(language(), errno)));
  }
}

void fail(std::string_view message) {
  note(message);
  platform::quit(2);
}

std::string shownValue(std::string_view value) {
  std::string scratch;
  return std::string(shown(value, false, scratch));
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

namespace {

constexpr char kHex[] = "0123456789abcdef";

// Text for a terminal: what would move the cursor, change colours or reorder the line is shown as
// an escape instead. In a field a backslash is doubled, so that the escapes read one way only; a
// message is read, not parsed, and keeps a Windows path as it is.
void appendForTerminal(std::string& out, std::string_view value, bool field = true) {
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

void note(std::string_view message) {
  std::string line = "taloma-id: ";
  appendForTerminal(line, message, false);
  line += '\n';
  platform::writeAll(platform::kStandardError, line);
}

void appendField(std::string& out, Format format, std::string_view value) {
  switch (format) {
    case Format::Text: appendForTerminal(out, value); return;
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

void appendFields(std::string& out, Format format, std::span<const Field> fields, bool first) {
  if (format == Format::Jsonl && first) out += '{';
  for (const Field& field : fields) {
    if (format == Format::Jsonl) {
      if (field.value.empty()) continue;
      if (!first) out += ',';
      appendField(out, format, field.name);
      out += ':';
      if (field.bare) {
        out += field.value;
      } else {
        appendField(out, format, field.value);
      }
    } else {
      if (!first) out += format == Format::Text ? "  " : format == Format::Tsv ? "\t" : ",";
      if (format == Format::Text && field.value.empty()) {
        out += '-';
      } else {
        appendField(out, format, field.value);
      }
    }
    first = false;
  }
}

namespace {

// Valid verdicts by kind, sex, category and place; then length, letter, second, the digit
// positions 3 to 10 and the check digits 0 to 9.
constexpr std::size_t kCategories = 5;
constexpr std::size_t kValidParts = 3 * 2 * kCategories * rules::kPlaceCount;
constexpr std::size_t kParts = kValidParts + 3 + 8 + 10;

std::size_t slotOf(const rules::IdVerdict& v) {
  using rules::Reason;
  switch (v.reason) {
    case Reason::None:
      return ((static_cast<std::size_t>(v.kind) * 2 + static_cast<std::size_t>(v.sex)) *
                  kCategories +
              static_cast<std::size_t>(v.category)) *
                 rules::kPlaceCount +
             static_cast<std::size_t>(v.place->index() - 1);
    case Reason::Length: return kValidParts;
    case Reason::Letter: return kValidParts + 1;
    case Reason::Second: return kValidParts + 2;
    case Reason::Digit: return kValidParts + 3 + static_cast<std::size_t>(v.position - 3);
    case Reason::Check: return kValidParts + 11 + static_cast<std::size_t>(v.expected);
  }
  return 0;
}

}  // namespace

VerdictParts::VerdictParts(Format format, rules::KindSet kinds)
    : m_format(format), m_kinds(kinds), m_parts(kParts) {}

const std::string& VerdictParts::operator()(const rules::IdVerdict& verdict) {
  std::string& part = m_parts[slotOf(verdict)];
  if (part.empty()) part = build(verdict);
  return part;
}

std::string VerdictParts::build(const rules::IdVerdict& v) const {
  if (m_format == Format::Text) {
    return ": " + rules::VerdictSentence(language(), v, m_kinds) + "\n";
  }
  const std::string letter = v.letter ? std::string(1, v.letter) : std::string();
  const std::string position = v.position ? std::to_string(v.position) : std::string();
  const std::string expected = v.expected >= 0 ? std::to_string(v.expected) : std::string();
  const bool valid = v.isValid();
  const std::array<Field, 9> fields = {{
      {"valid", valid ? "true" : "false", true},
      {"kind", valid ? rules::NameOf(v.kind) : ""},
      {"sex", valid ? rules::NameOf(v.sex) : ""},
      {"category", rules::NameOf(v.category)},
      {"letter", letter},
      {"place", v.place ? v.place->name : ""},
      {"reason", rules::NameOf(v.reason)},
      {"position", position, true},
      {"expected", expected},
  }};
  std::string part;
  appendFields(part, m_format, fields, false);
  return part;
}

void appendRowEnd(std::string& out, Format format) {
  if (format == Format::Jsonl) out += '}';
  out += '\n';
}

void appendHeader(std::string& out, Format format, std::span<const std::string_view> names) {
  if (format != Format::Tsv && format != Format::Csv) return;
  bool first = true;
  for (const std::string_view name : names) {
    if (!first) out += format == Format::Tsv ? '\t' : ',';
    out += name;
    first = false;
  }
  out += '\n';
}

}  // namespace cli
