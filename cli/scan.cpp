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

// Writes a row per number found, straight into the output: a number is letters and digits, which
// no format escapes, and what follows it depends on the verdict alone.
class Reporter {
 public:
  Reporter(Output& out, const ScanSettings& settings, bool withFile)
      : m_out(out),
        m_format(settings.common.format),
        m_withFile(withFile || m_format != Format::Text),
        m_parts(m_format, settings.kinds) {
    std::string header;
    if (settings.common.header && !settings.redact) appendHeader(header, m_format, kFields);
    m_out.put(header);
  }

  void report(std::string_view file, const Found& found) {
    const bool json = m_format == Format::Jsonl;
    const std::string_view separator = m_format == Format::Text  ? ":"
                                       : m_format == Format::Tsv ? "\t"
                                       : json                    ? ",\"line\":"
                                                                 : ",";
    if (m_withFile) {
      m_out.put(m_file.of(file, m_format, json ? "{\"file\":" : ""));
      m_out.put(separator);
    } else if (json) {
      m_out.put("{\"line\":");
    }
    putNumber(m_out, found.line);
    m_out.put(json ? std::string_view(",\"column\":") : separator.substr(0, 1));
    putNumber(m_out, found.column);
    m_out.put(m_format == Format::Text ? std::string_view(": ")
              : json                   ? std::string_view(",\"input\":\"")
                                       : separator.substr(0, 1));
    m_out.put(found.text);
    if (json) m_out.put('"');
    m_out.put(m_parts(found.verdict));
    if (m_format != Format::Text) m_out.put(json ? std::string_view("}\n") : std::string_view("\n"));
    m_out.endRow();
  }

 private:
  Output& m_out;
  Format m_format;
  bool m_withFile;
  VerdictParts m_parts;
  FileField m_file;
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
