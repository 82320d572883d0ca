// The output buffer, shown text and the escaping rules of each format.
#include "cli/output.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "rules/id_kinds.h"

namespace cli {

Output::Output(int fd) : m_fd(fd), m_data(new char[kSize]) {}

void Output::flush() {
  write({m_data.get(), m_used});
  m_used = 0;
}

void Output::write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t done = ::write(m_fd, bytes.data(), bytes.size());
    if (done >= 0) {
      bytes.remove_prefix(static_cast<std::size_t>(done));
      continue;
    }
    if (errno == EINTR) continue;
    if (errno == EPIPE) {
      // SIGPIPE was blocked or ignored when we were started: end as it would have ended us.
      std::_Exit(128 + SIGPIPE);
    }
    std::fprintf(stderr, "taloma-id: standard output: %s\n", std::strerror(errno));
    std::_Exit(2);
  }
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
    const int length = rules::Utf8SequenceLength(text, at);
    if (length == 0) {
      scratch += "\uFFFD";
      ++at;
    } else {
      scratch.append(text, at, static_cast<std::size_t>(length));
      at += static_cast<std::size_t>(length);
    }
  }
  if (cut || at < text.size()) scratch += "\u2026";
  return scratch;
}

void appendField(std::string& out, Format format, std::string_view value) {
  switch (format) {
    case Format::Text: out += value; return;
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
          static constexpr char kHex[] = "0123456789abcdef";
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

std::string utf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
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
  return out;
}

}  // namespace cli
