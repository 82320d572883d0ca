// taloma-id scan: the numbers in any text, with where they stand; their count; or the text with them
// masked, or pseudonymized, or revealed.
#include <array>
#include <optional>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/platform.h"
#include "cli/report.h"
#include "engine/masks.h"
#include "engine/pseudonyms.h"
#include "engine/scan.h"
#include "rules/row.h"

namespace cli {
namespace {

// A row's fields: the file, where the number stands in it, the number and its verdict's.
constexpr auto kFields = [] {
  std::array<std::string_view, 2 + std::size(rules::kFoundFields) + std::size(rules::kVerdictFields)> names{};
  std::size_t at = 0;
  names[at++] = "file";
  for (const rules::RowField& field : rules::kFoundFields) names[at++] = field.name;
  names[at++] = rules::kInputField.name;
  for (const rules::RowField& field : rules::kVerdictFields) names[at++] = field.name;
  return names;
}();

// Writes a row per number found, straight into the output: a number is letters and digits, which
// no format escapes, and what follows it depends on the verdict alone.
class Reporter {
 public:
  Reporter(Output& out, const ScanSettings& settings, bool withFile)
      : m_out(out),
        m_rows(settings.common.format),
        m_withFile(withFile || m_rows.format() != Format::Text),
        m_parts(m_rows, settings.kinds, settings.common.m().language) {
    // Text rows are file:line:column: input, the others the fields in order.
    const bool text = m_rows.format() == Format::Text;
    m_beforeFile = m_rows.before("file", true);
    m_beforeLine = text ? (m_withFile ? ":" : "") : m_rows.before("line", !m_withFile);
    m_beforeColumn = text ? ":" : m_rows.before("column", false);
    // The offset and length in bytes, in every format but text's file:line:column.
    if (!text) {
      m_beforeOffset = m_rows.before("offset", false);
      m_beforeLength = m_rows.before("length", false);
    }
    m_beforeInput = text ? ": " : m_rows.before(rules::kInputField.name, false);
    m_rows.end(m_close);
    if (text) m_close.clear();  // the verdict's sentence ends the line
    std::string header;
    if (settings.common.header) m_rows.header(header, kFields);
    m_out.put(header);
  }

  void report(std::string_view file, const engine::Found& found) {
    if (m_withFile) m_out.put(m_file.of(file, m_rows, m_beforeFile));
    if (!m_beforeLine.empty()) m_out.put(m_beforeLine);
    putNumber(m_out, found.line);
    m_out.put(m_beforeColumn);
    putNumber(m_out, found.column);
    if (!m_beforeOffset.empty()) {
      m_out.put(m_beforeOffset);
      putNumber(m_out, found.offset);
      m_out.put(m_beforeLength);
      putNumber(m_out, found.text.size());
    }
    m_out.put(m_beforeInput);
    // With --normalize a number may hold invisible characters, which the formats escape; a
    // number of the other kinds holds at most spaces, hyphens, dots and pluses.
    if (found.text.size() == rules::kNumberLength || isPlain(found.text)) {
      const bool json = m_rows.format() == Format::Jsonl;
      if (json) m_out.put('"');
      m_out.put(found.text);
      if (json) m_out.put('"');
    } else {
      m_field.clear();
      m_rows.value(m_field, found.text);
      m_out.put(m_field);
    }
    m_out.put(m_parts(found.verdict));
    if (!m_close.empty()) m_out.put(m_close);
    m_out.endRow();
  }

 private:
  Output& m_out;
  RowPrinter m_rows;
  bool m_withFile;
  VerdictParts m_parts;
  std::string m_beforeFile, m_beforeLine, m_beforeColumn, m_beforeOffset, m_beforeLength, m_beforeInput,
      m_close;
  FileField m_file;
  std::string m_field;
};

}  // namespace

int runScan(const ScanSettings& settings) {
  std::vector<std::string> inputs = settings.inputs;
  if (inputs.empty()) inputs.push_back("-");
  const Words& m = settings.common.m();
  std::optional<engine::Pseudonyms> pseudonyms;
  if (settings.key) {
    try {
      pseudonyms.emplace(engine::OpenAes256(*settings.key), settings.context, settings.reveal);
    } catch (const std::runtime_error& error) {
      fail(filled(m.noAes, error.what()));
    }
  }
  const bool rewrite = settings.redact || pseudonyms;
  Output out(platform::kStandardOutput, m);
  out.setLineBuffered(settings.lineBuffered || platform::isTerminal(platform::kStandardOutput));
  const bool report = !rewrite && !settings.count;
  std::optional<Reporter> reporter;
  if (report) reporter.emplace(out, settings, inputs.size() > 1);
  Counts counts{};
  bool anyFound = false;
  engine::ScanOptions options{settings.kinds.kinds, settings.nearMisses, settings.normalize,
                              report, rewrite, settings.labelled};
  options.before2023 = settings.kinds.before2023;
  // The text written back, in the input's own encoding (UTF-16 and Big5 as they were); with
  // pseudonyms, held until the numbers waiting are enciphered together.
  std::optional<engine::Redaction> redaction;
  // Whatever is ready goes out before a read that may wait, so a slow input streams.
  const auto flush = [&] {
    if (redaction) out.put(redaction->release());
    out.flush();
  };
  const bool allRead = forEachInput(inputs, settings.encoding, m, flush, [&](const std::string& name, TextSource& text) {
    const engine::Source source = [&text](char* into, std::size_t size) {
      return text.read(into, size);
    };
    if (rewrite) redaction.emplace(text, pseudonyms ? &*pseudonyms : nullptr);
    const engine::Sink sink = [&](std::string_view bytes, const engine::Found* number) {
      if (number != nullptr) {
        anyFound = true;
        if (report) reporter->report(name, *number);
        if (settings.count) ++counts[static_cast<std::size_t>(number->verdict.reason)];
      }
      if (redaction) out.put(redaction->put(bytes, number));
    };
    const int error = engine::ScanWith(options, source, sink);
    if (redaction) out.put(redaction->end());
    return error;
  });
  if (settings.count) out.put(CountsRow(counts, settings.common, settings.kinds.kinds));
  if (pseudonyms) {
    out.flush();
    const std::string replaced = std::to_string(pseudonyms->replaced());
    note(filled(settings.reveal ? m.revealSummary : m.pseudonymSummary, replaced,
                std::to_string(pseudonyms->masked())));
  }
  if (!allRead) return 2;
  return anyFound ? 0 : 1;
}

Runner addScan(CLI::App& app, const Words& m) {
  struct Options {
    ScanSettings settings;
    std::vector<rules::IdKind> kinds;
    bool before2023 = false;
    std::string keyFile;
    CommonOptions common;
  };
  auto options = std::make_shared<Options>();
  ScanSettings& s = options->settings;
  CLI::App* command = addCommand(app, "scan", m.scan, m);
  command->add_option(m.fileValue, s.inputs, m.files)->type_name("");
  addKinds(*command, options->kinds, m);
  command->add_flag("--before-2023", options->before2023, m.before2023);
  command->add_flag("--labelled", s.labelled, m.labelled);
  command->add_flag("-a,--near-misses", s.nearMisses, m.nearMisses);
  command->add_flag("--normalize", s.normalize, m.scanNormalize);
  addEncoding(*command, s.encoding, m);
  command->add_flag("-c,--count", s.count, m.scanCount);
  command->add_flag("--redact", s.redact, m.redact);
  command->add_flag("--pseudonymize", s.pseudonymize, m.pseudonymize);
  command->add_flag("--reveal", s.reveal, m.reveal);
  command->add_option("--key-file", options->keyFile, m.keyFile)->type_name(m.fileValue);
  command->add_option("--context", s.context, m.context)->type_name(m.textValue);
  command->add_flag("--line-buffered", s.lineBuffered, m.lineBuffered);
  options->common.addTo(*command, m);
  command->footer(m.scanFooter);
  return [options, &m] {
    ScanSettings& settings = options->settings;
    const bool rewrite = settings.pseudonymize || settings.reveal;
    if (rewrite && (settings.count || settings.redact || options->common.shapesRows())) refuse(m.rewriteAlone.text);
    if (settings.redact && (settings.count || options->common.shapesRows())) refuse(m.redactAlone.text);
    if (settings.pseudonymize && settings.reveal) refuse(m.oneWay.text);
    if (rewrite && options->keyFile.empty()) {
      refuse(filled(m.needsKey, settings.reveal ? "--reveal" : "--pseudonymize"));
    }
    if (!rewrite && (!options->keyFile.empty() || !settings.context.empty())) refuse(m.keyUnused.text);
    if (rewrite) settings.key = readKey(options->keyFile, m);
    settings.common = options->common.settings(m);
    settings.kinds = kindSetOf(options->kinds, options->before2023);
    return runScan(settings);
  };
}

}  // namespace cli
