// taloma-id scan: the numbers in any text, with where they stand; their count; or the text with them
// masked.
#include <array>
#include <optional>

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
    if (settings.common.header) appendHeader(header, m_format, kFields);
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
              : json                   ? std::string_view(",\"input\":")
                                       : separator.substr(0, 1));
    // With --normalize a number may hold invisible characters, which the formats escape.
    if (found.text.size() == rules::kNumberLength) {
      if (json) m_out.put('"');
      m_out.put(found.text);
      if (json) m_out.put('"');
    } else {
      m_field.clear();
      appendField(m_field, m_format, found.text);
      m_out.put(m_field);
    }
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
  std::string m_field;
};

}  // namespace

int runScan(const ScanSettings& settings) {
  std::vector<std::string> inputs = settings.inputs;
  if (inputs.empty()) inputs.push_back("-");
  Output out(platform::kStandardOutput);
  out.setLineBuffered(settings.lineBuffered || platform::isTerminal(platform::kStandardOutput));
  const bool report = !settings.redact && !settings.count;
  std::optional<Reporter> reporter;
  if (report) reporter.emplace(out, settings, inputs.size() > 1);
  Counts counts{};
  bool anyFound = false;
  const ScanOptions options{settings.kinds, settings.nearMisses, settings.normalize, report};
  // Whatever is ready goes out before a read that may wait, so a slow input streams.
  const auto flush = [&out] { out.flush(); };
  const bool allRead = forEachInput(inputs, flush, [&](const std::string& name, TextSource& text) {
    Scanner scanner([&text](char* into, std::size_t size) { return text.read(into, size); },
                    options);
    std::optional<Encoder> encoder;  // --redact writes UTF-16 back as UTF-16
    std::string encoded;
    const int error = scanner.run([&](std::string_view bytes, const Found* number) {
      if (number != nullptr) {
        anyFound = true;
        if (report) reporter->report(name, *number);
        if (settings.count) ++counts[static_cast<std::size_t>(number->verdict.reason)];
      }
      if (!settings.redact) return;
      const std::string masked = number != nullptr ? Masked(bytes) : std::string();
      if (number != nullptr) bytes = masked;
      if (!encoder && text.encoding() != Encoding::Utf8) encoder.emplace(text.encoding());
      if (!encoder) return out.put(bytes);
      encoded.clear();
      encoder->put(bytes, encoded);
      out.put(encoded);
    });
    if (settings.redact && text.oddByte() >= 0) out.put(static_cast<char>(text.oddByte()));
    return error;
  });
  if (settings.count) out.put(CountsRow(counts, settings.common));
  if (!allRead) return 2;
  return anyFound ? 0 : 1;
}

}  // namespace cli
