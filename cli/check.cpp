// taloma-id check: a verdict per number, from arguments and from input read in blocks.
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/commands.h"
#include "cli/line_reader.h"

namespace cli {
namespace {

using rules::IdVerdict;
using rules::Reason;

constexpr std::array<std::string_view, 9> kFields = {
    "input", "valid", "kind", "sex", "letter", "place", "reason", "position", "expected"};

// Writes one row per verdict. Everything after the input depends on the verdict alone, so each of
// those row ends is built once and kept.
class CheckWriter {
 public:
  CheckWriter(Output& out, const CheckSettings& settings)
      : m_out(out), m_format(settings.common.format), m_settings(settings) {
    std::string header;
    if (settings.common.header) appendHeader(header, m_format, kFields);
    m_out.put(header);
  }

  void write(std::string_view text, bool cut, const IdVerdict& verdict) {
    if (m_format == Format::Jsonl) m_out.put("{\"input\":");
    // A valid number is ten capital letters and digits, which no format escapes.
    if (verdict.isValid() || (!cut && isPlain(text))) {
      if (m_format == Format::Jsonl) m_out.put('"');
      m_out.put(text);
      if (m_format == Format::Jsonl) m_out.put('"');
    } else {
      m_field.clear();
      appendField(m_field, m_format, shown(text, cut, m_shown));
      m_out.put(m_field);
    }
    m_out.put(rowEnd(verdict));
  }

 private:
  // Valid rows by kind, sex and letter; then length, letter, second, the digit positions 3 to 10
  // and the check digits 0 to 9.
  static constexpr std::size_t kValidEnds = 3 * 2 * 26;
  static constexpr std::size_t kEnds = kValidEnds + 3 + 8 + 10;

  static std::size_t slotOf(const IdVerdict& v) {
    switch (v.reason) {
      case Reason::None:
        return (static_cast<std::size_t>(v.kind) * 2 + static_cast<std::size_t>(v.sex)) * 26 +
               static_cast<std::size_t>(v.place->index - 1);
      case Reason::Length: return kValidEnds;
      case Reason::Letter: return kValidEnds + 1;
      case Reason::Second: return kValidEnds + 2;
      case Reason::Digit: return kValidEnds + 3 + static_cast<std::size_t>(v.position - 3);
      case Reason::Check: return kValidEnds + 11 + static_cast<std::size_t>(v.expected);
    }
    return 0;
  }

  const std::string& rowEnd(const IdVerdict& verdict) {
    std::string& end = m_ends[slotOf(verdict)];
    if (end.empty()) end = buildRowEnd(verdict);
    return end;
  }

  std::string buildRowEnd(const IdVerdict& v) const {
    const std::string place = v.place ? utf8(v.place->name) : std::string();
    std::string end;
    if (m_format == Format::Text) {
      end = ": " + verdictText(m_settings.common.language, v, m_settings.kinds, place) + "\n";
      return end;
    }
    const std::string letter = v.letter ? std::string(1, v.letter) : std::string();
    const std::string position = v.position ? std::to_string(v.position) : std::string();
    const std::string expected = v.expected >= 0 ? std::to_string(v.expected) : std::string();
    const bool valid = v.isValid();
    const std::array<Field, 8> fields = {{
        {"valid", valid ? "true" : "false", true},
        {"kind", valid ? kindName(v.kind) : ""},
        {"sex", valid ? sexName(v.sex) : ""},
        {"letter", letter},
        {"place", place},
        {"reason", reasonName(v.reason)},
        {"position", position, true},
        {"expected", expected},
    }};
    appendFields(end, m_format, fields, false);
    appendRowEnd(end, m_format);
    return end;
  }

  Output& m_out;
  Format m_format;
  const CheckSettings& m_settings;
  std::array<std::string, kEnds> m_ends;
  std::string m_shown;
  std::string m_field;
};

// Trims white space (ASCII, U+00A0 and U+3000) around `text` and upper-cases a to z, in `scratch`.
// The tail of a cut line is not its end, so only its front is trimmed.
std::string_view normalized(std::string_view text, bool cut, std::string& scratch) {
  const auto spaceAt = [&text](std::size_t at, bool back) -> std::size_t {
    const std::string_view rest = back ? text.substr(0, text.size() - at) : text.substr(at);
    for (const std::string_view space : {" ", "\t", "\v", "\f", "\r", "\n", "\u00A0", "\u3000"}) {
      if (back ? rest.ends_with(space) : rest.starts_with(space)) return space.size();
    }
    return 0;
  };
  std::size_t front = 0;
  while (const std::size_t n = spaceAt(front, false)) front += n;
  text.remove_prefix(front);
  std::size_t back = 0;
  while (!cut && back < text.size()) {
    const std::size_t n = spaceAt(back, true);
    if (n == 0) break;
    back += n;
  }
  text.remove_suffix(back);
  scratch.assign(text);
  for (char& c : scratch) c = static_cast<char>(rules::upperCased(static_cast<unsigned char>(c)));
  return scratch;
}

class Checker {
 public:
  explicit Checker(const CheckSettings& settings)
      : m_settings(settings), m_writer(m_out, settings) {}

  // A blank line is skipped, a blank argument is not.
  void check(std::string_view text, bool cut, bool line = false) {
    if (m_settings.normalize) text = normalized(text, cut, m_normalized);
    if (line && text.empty() && !cut) return;
    const IdVerdict verdict = rules::VerifyId(text, m_settings.kinds);
    m_anyInvalid = m_anyInvalid || !verdict.isValid();
    if (m_settings.status || (m_settings.quiet && verdict.isValid())) return;
    m_writer.write(text, cut, verdict);
  }

  // Checks every line of `reader` but the blank ones; false when a read error ended it.
  bool checkLines(LineReader& reader) {
    Line line;
    while (reader.next(line)) check(line.text, line.cut, true);
    return reader.error() == 0;
  }

  bool anyInvalid() const { return m_anyInvalid; }

 private:
  const CheckSettings& m_settings;
  Output m_out{STDOUT_FILENO};
  CheckWriter m_writer;
  std::string m_normalized;
  bool m_anyInvalid = false;
};

}  // namespace

int runCheck(const CheckSettings& settings) {
  const Messages& messages = messagesIn(settings.common.language);
  bool unreadable = false;
  const auto complain = [&](std::string_view name, int error) {
    std::fprintf(stderr, "taloma-id: %s\n",
                 filled(messages.cannotRead, name, std::strerror(error)).c_str());
    unreadable = true;
  };

  Checker checker(settings);
  for (const std::string& number : settings.numbers) checker.check(number, false);
  std::vector<std::string> inputs = settings.inputs;
  if (inputs.empty() && settings.numbers.empty()) inputs.push_back("-");
  for (const std::string& name : inputs) {
    const bool standardInput = name == "-";
    const int fd = standardInput ? STDIN_FILENO : ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      complain(name, errno);
      continue;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    LineReader reader = LineReader::ofDescriptor(fd);
    if (!checker.checkLines(reader)) complain(standardInput ? "-" : name, reader.error());
    if (!standardInput) ::close(fd);
  }
  if (unreadable) return 2;
  return checker.anyInvalid() ? 1 : 0;
}

}  // namespace cli
