// taloma-id scan: the numbers in any text, with where they stand; or the text with them masked.
#include <array>

#include "cli/commands.h"
#include "cli/platform.h"
#include "cli/scanner.h"

namespace cli {
namespace {

constexpr std::array<std::string_view, 13> kFields = {
    "file",     "line",   "column", "input",  "valid",    "kind",    "sex",
    "category", "letter", "place",  "reason", "position", "expected"};

class Reporter {
 public:
  Reporter(Output& out, const ScanSettings& settings, bool withFile)
      : m_out(out), m_settings(settings), m_withFile(withFile) {
    std::string header;
    if (settings.common.header && !settings.redact) {
      appendHeader(header, settings.common.format, kFields);
    }
    m_out.put(header);
  }

  void report(std::string_view file, const Found& found) {
    const Format format = m_settings.common.format;
    const rules::IdVerdict& v = found.verdict;
    const std::string line = std::to_string(found.line);
    const std::string column = std::to_string(found.column);
    m_row.clear();
    if (format == Format::Text) {
      if (m_withFile) {
        appendField(m_row, format, file);
        m_row += ':';
      }
      m_row += line + ":" + column + ": ";
      appendField(m_row, format, found.text);
      m_row += ": " + rules::VerdictSentence(language(), v, m_settings.kinds) + "\n";
    } else {
      const bool valid = v.isValid();
      const std::string letter = v.letter ? std::string(1, v.letter) : std::string();
      const std::string position = v.position ? std::to_string(v.position) : std::string();
      const std::string expected = v.expected >= 0 ? std::to_string(v.expected) : std::string();
      const std::array<Field, 13> fields = {{
          {"file", file},
          {"line", line, true},
          {"column", column, true},
          {"input", found.text},
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
      appendFields(m_row, format, fields, true);
      appendRowEnd(m_row, format);
    }
    m_out.put(m_row);
    m_out.endRow();
  }

 private:
  Output& m_out;
  const ScanSettings& m_settings;
  bool m_withFile;
  std::string m_row;
};

}  // namespace

int runScan(const ScanSettings& settings) {
  std::vector<std::string> inputs = settings.inputs;
  if (inputs.empty()) inputs.push_back("-");
  Output out(platform::kStandardOutput);
  out.setLineBuffered(settings.lineBuffered || platform::isTerminal(platform::kStandardOutput));
  Reporter reporter(out, settings, inputs.size() > 1);
  bool anyFound = false;
  const bool allRead = forEachInput(inputs, [&](const std::string& name, int fd) {
    Scanner scanner(
        [&out, fd](char* into, std::size_t size) {
          // Whatever is ready goes out before a read that may wait, so a slow input streams.
          out.flush();
          return platform::readSome(fd, into, size);
        },
        settings.kinds, settings.nearMisses && !settings.redact);
    return scanner.run([&](std::string_view bytes, const Found* number) {
      if (number != nullptr) anyFound = true;
      if (!settings.redact) {
        if (number != nullptr) reporter.report(name, *number);
      } else if (number != nullptr && number->verdict.isValid()) {
        out.put(Masked(bytes));
      } else {
        out.put(bytes);
      }
    });
  });
  if (!allRead) return 2;
  return anyFound ? 0 : 1;
}

}  // namespace cli
