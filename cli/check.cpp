// taloma-id check: a verdict per number, from arguments and from input read in blocks.
#include <algorithm>
#include <array>
#include <charconv>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "engine/line_reader.h"
#include "cli/platform.h"
#include "cli/report.h"
#include "rules/other_kinds.h"
#include "rules/row.h"

namespace cli {
namespace {

using rules::IdVerdict;
using rules::Reason;

// Many Windows editors and spreadsheet exports begin a file with a byte-order mark.
void dropByteOrderMark(std::string_view& firstLine) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (firstLine.starts_with(kByteOrderMark)) firstLine.remove_prefix(kByteOrderMark.size());
}

// A row's fields: the input, the verdict's, and the line and file the input came from.
constexpr auto kFields = [] {
  std::array<std::string_view, 1 + std::size(rules::kVerdictFields) + 2> names{};
  std::size_t at = 0;
  names[at++] = rules::kInputField.name;
  for (const rules::RowField& field : rules::kVerdictFields) names[at++] = field.name;
  names[at++] = "line";
  names[at] = "file";
  return names;
}();

// Where a number came from: a line of an input, or an argument (line 0).
struct Where {
  std::string_view file;
  std::uint64_t line = 0;
};

// Writes one row per verdict. What follows the input up to the line depends on the verdict alone,
// so each of those parts is built once and kept; the row's other pieces are the printer's, taken
// once.
class CheckWriter {
 public:
  CheckWriter(Output& out, const CheckSettings& settings, bool withFile)
      : m_out(out),
        m_rows(settings.common.format),
        m_settings(settings),
        m_withFile(withFile),
        m_parts(m_rows, settings.kinds, settings.common.m().language),
        m_open(m_rows.before(rules::kInputField.name, true)),
        m_beforeLine(m_rows.before("line", false)),
        m_beforeFile(m_rows.before("file", false)) {
    std::string header;
    if (settings.common.header && !settings.count) {
      m_rows.header(header, std::span(kFields).first(withFile ? kFields.size() : kFields.size() - 1));
    }
    m_out.put(header);
  }

  void write(std::string_view text, bool cut, const IdVerdict& verdict, const Where& where) {
    const Format format = m_rows.format();
    const bool json = format == Format::Jsonl;
    if (format == Format::Text) {
      if (m_settings.quiet && where.line != 0) writeTextPlace(where);
    } else if (json) {
      m_out.put(m_open);
    }
    // A valid number is ten capital letters and digits, which no format escapes.
    if (verdict.isValid() || (!cut && isPlain(text))) {
      if (json) m_out.put('"');
      m_out.put(text);
      if (json) m_out.put('"');
    } else {
      m_field.clear();
      m_rows.value(m_field, shown(text, cut, m_shown));
      m_out.put(m_field);
    }
    m_out.put(m_parts(verdict));
    if (format != Format::Text) writePlace(where, json);
    m_out.endRow();
  }

 private:
  // "file:line: " before a text row of -q; the file only when there are several.
  void writeTextPlace(const Where& where) {
    if (m_withFile) {
      m_out.put(m_file.of(where.file, m_rows, ""));
      m_out.put(':');
    }
    putNumber(m_out, where.line);
    m_out.put(": ");
  }

  // The line and file fields, absent for an argument, and the end of the row, written in place.
  // Between fields tsv and csv put one character; jsonl puts a key.
  void writePlace(const Where& where, bool json) {
    const bool line = where.line != 0;
    char* const start = m_out.reserve(48);
    char* at = start;
    if (!json) *at++ = m_beforeLine[0];
    if (line) {
      if (json) at = std::copy(m_beforeLine.begin(), m_beforeLine.end(), at);
      at = std::to_chars(at, start + 48, where.line).ptr;
    }
    if (m_withFile && !json) *at++ = m_beforeFile[0];
    m_out.commit(static_cast<std::size_t>(at - start));
    if (m_withFile && line) m_out.put(m_file.of(where.file, m_rows, json ? m_beforeFile : ""));
    char* const end = m_out.reserve(2);
    m_out.commit(static_cast<std::size_t>(m_rows.end(end) - end));
  }

  Output& m_out;
  RowPrinter m_rows;
  const CheckSettings& m_settings;
  bool m_withFile;
  VerdictParts m_parts;
  std::string m_open, m_beforeLine, m_beforeFile;
  std::string m_shown;
  std::string m_field;
  FileField m_file;
};

class Checker {
 public:
  Checker(const CheckSettings& settings, bool withFile)
      : m_settings(settings), m_writer(m_out, settings, withFile) {
    m_out.setLineBuffered(settings.lineBuffered || platform::isTerminal(platform::kStandardOutput));
  }
  ~Checker() {
    if (m_settings.count) writeCounts();
  }

  // A blank line is skipped, a blank argument is not.
  void check(std::string_view text, bool cut, const Where& where) {
    if (m_settings.normalize) {
      m_normalized = rules::NormalizedNumber(text);
      text = m_normalized;
    }
    if (where.line != 0 && text.empty() && !cut) return;
    const IdVerdict verdict = rules::VerifyAny(text, m_settings.kinds);
    // Only --count keeps counts: an increment in memory on every line would chain one line's
    // work to the next.
    if (m_settings.count) {
      ++m_counts[static_cast<std::size_t>(verdict.reason)];
      return;
    }
    m_anyInvalid = m_anyInvalid || !verdict.isValid();
    if (m_settings.status || (m_settings.quiet && verdict.isValid())) return;
    m_writer.write(text, cut, verdict, where);
  }

  // Whatever is ready goes out before a read that may wait, so a slow input streams.
  void flush() { m_out.flush(); }

  // Checks every line of the input but the blank ones; the errno of a read error, or 0.
  int checkLines(const std::string& name, TextSource& text) {
    engine::LineReader reader([&text](char* into, std::size_t size) { return text.read(into, size); });
    Where where{name, 0};
    if (m_settings.status && !m_settings.normalize && !m_settings.count) {
      // -s asks only whether every number is valid: the fewest steps a line can take.
      bool valid = true;
      for (engine::Line line; reader.next(line);) {
        if (++where.line == 1) dropByteOrderMark(line.text);
        if (line.text.empty() && !line.cut) continue;
        valid &= rules::VerifyAny(line.text, m_settings.kinds).isValid();
      }
      m_anyInvalid = m_anyInvalid || !valid;
      return reader.error();
    }
    for (engine::Line line; reader.next(line);) {
      if (++where.line == 1) dropByteOrderMark(line.text);
      check(line.text, line.cut, where);
    }
    return reader.error();
  }

  bool anyInvalid() const { return m_anyInvalid || m_counts[0] != totalChecked(); }

 private:
  std::uint64_t totalChecked() const {
    std::uint64_t total = 0;
    for (const std::uint64_t count : m_counts) total += count;
    return total;
  }

  void writeCounts() {
    m_out.put(CountsRow(m_counts, m_settings.common, m_settings.kinds.kinds));
  }

  const CheckSettings& m_settings;
  Output m_out{platform::kStandardOutput, m_settings.common.m()};
  CheckWriter m_writer;
  std::string m_normalized;
  Counts m_counts{};
  bool m_anyInvalid = false;
};

}  // namespace

std::string CountsRow(const Counts& counts, const Common& common, rules::KindSet kinds) {
  const Words& m = common.m();
  const RowPrinter rows(common.format);
  std::uint64_t total = 0;
  for (const std::uint64_t count : counts) total += count;
  const std::uint64_t valid = counts[0];
  const std::uint64_t invalid = total - valid;
  const auto countOf = [&counts](rules::Reason reason) {
    return counts[static_cast<std::size_t>(reason)];
  };
  std::string text;
  if (common.format == Format::Text) {
    text = filled(m.summary, std::to_string(valid), std::to_string(invalid));
    const bool zh = m.language == Language::ZhTw;
    std::string reasons;
    for (const auto& [name, reason] : rules::kReasonNames) {
      if (countOf(reason) == 0 || !rules::CanFailBy(kinds, reason)) continue;
      reasons += reasons.empty() ? "" : zh ? "、" : ", ";
      reasons += std::string(rules::ReasonLabel(m.language, reason)) + " " +
                 std::to_string(countOf(reason));
    }
    if (!reasons.empty()) text += zh ? "（" + reasons + "）" : " (" + reasons + ")";
    text += '\n';
    return text;
  }
  std::vector<std::string> numbers = {std::to_string(valid), std::to_string(invalid)};
  std::vector<std::string_view> names = {"valid", "invalid"};
  for (const auto& [name, reason] : rules::kReasonNames) {
    if (!rules::CanFailBy(kinds, reason)) continue;
    names.push_back(name);
    numbers.push_back(std::to_string(countOf(reason)));
  }
  if (common.header) rows.header(text, names);
  std::vector<Field> fields;
  for (std::size_t i = 0; i < names.size(); ++i) fields.push_back({names[i], numbers[i], true});
  rows.fields(text, fields, true);
  rows.end(text);
  return text;
}

int runCheck(const CheckSettings& settings) {
  std::vector<std::string> inputs = settings.inputs;
  if (inputs.empty() && settings.numbers.empty()) inputs.push_back("-");
  Checker checker(settings, inputs.size() > 1);
  for (const std::string& number : settings.numbers) {
    // A file name given where a number belongs is most likely meant to be read.
    if (!rules::VerifyAny(number, settings.kinds).isValid() && platform::exists(number)) {
      const std::string shown = shownValue(number);
      note(filled(settings.common.m().isFile, shown, shown));
    }
    checker.check(number, false, {});
  }
  const bool allRead =
      forEachInput(inputs, settings.encoding, settings.common.m(), [&checker] { checker.flush(); },
                   [&checker](const std::string& name, TextSource& text) {
                     return checker.checkLines(name, text);
                   });
  if (!allRead) return 2;
  return checker.anyInvalid() ? 1 : 0;
}

Runner addCheck(CLI::App& app, const Words& m) {
  struct Options {
    CheckSettings settings;
    std::vector<rules::IdKind> kinds;
    bool before2023 = false;
    CommonOptions common;
  };
  auto options = std::make_shared<Options>();
  CheckSettings& s = options->settings;
  CLI::App* command = addCommand(app, "check", m.check, m);
  command->add_option(m.numberValue, s.numbers, m.numbers)->type_name("");
  command->add_option("-i,--input", s.inputs, m.input)
      ->type_name(m.fileValue)
      ->allow_extra_args(false);
  addKinds(*command, options->kinds, m);
  command->add_flag("--before-2023", options->before2023, m.before2023);
  command->add_flag("--normalize", s.normalize, m.normalize);
  addEncoding(*command, s.encoding, m);
  command->add_flag("-q,--quiet", s.quiet, m.quiet);
  command->add_flag("-s,--status", s.status, m.status);
  command->add_flag("-c,--count", s.count, m.count);
  command->add_flag("--line-buffered", s.lineBuffered, m.lineBuffered);
  options->common.addTo(*command, m);
  command->footer(m.checkFooter);
  return [options, &m] {
    options->settings.common = options->common.settings(m);
    options->settings.kinds = kindSetOf(options->kinds, options->before2023);
    return runCheck(options->settings);
  };
}

}  // namespace cli
