// The five subcommands of taloma-id: what each takes, how each is added to the parser and how each
// runs with its settings already checked.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/words.h"
#include "cli/output.h"
#include "cli/rows.h"
#include "engine/aes.h"
#include "engine/text_source.h"
#include "rules/kinds.h"

namespace CLI {
class App;
}

namespace cli {

using engine::Encoding;
using engine::TextSource;

// The encodings that --encoding names.
inline constexpr rules::Named<Encoding> kEncodingNames[] = {{"utf-8", Encoding::Utf8},
                                                           {"utf-16le", Encoding::Utf16Le},
                                                           {"utf-16be", Encoding::Utf16Be},
                                                           {"big5", Encoding::Big5}};

// What every command takes: the user's language, and the shape of its rows.
struct Common {
  const Words* messages = &wordsIn(Language::En);
  Format format = Format::Text;
  bool header = true;

  const Words& m() const { return *messages; }
};

struct CheckSettings {
  Common common;
  std::vector<std::string> numbers;
  std::vector<std::string> inputs;  // file names, "-" for standard input
  std::optional<Encoding> encoding;  // as --encoding gives it; none to tell from the input
  rules::KindChoice kinds;
  bool normalize = false;
  bool quiet = false;
  bool status = false;
  bool count = false;
  bool lineBuffered = false;
};

struct GenSettings {
  Common common;
  std::uint64_t count = 1;
  std::uint64_t seed = 0;
  rules::IdKind kind = rules::IdKind::National;
  std::vector<const rules::Place*> places;     // distinct, in letter-value order
  std::vector<rules::Sex> sexes;               // male first
  std::vector<rules::Category> categories;     // distinct, in order; empty for all
  bool unique = false;
  bool since2023 = false;  // business numbers that only the 2023 rule accepts
};

struct PlacesSettings {
  Common common;
  bool postal = false;
};

struct ScanSettings {
  Common common;
  std::vector<std::string> inputs;  // file names, "-" for standard input
  std::optional<Encoding> encoding;  // as --encoding gives it; none to tell from the input
  rules::KindChoice kinds;
  bool labelled = false;
  bool nearMisses = false;
  bool normalize = false;
  bool redact = false;
  bool count = false;
  bool lineBuffered = false;
  // --pseudonymize or --reveal: the key read from --key-file, and --context
  bool pseudonymize = false;
  bool reveal = false;
  std::optional<engine::Key> key;
  std::string context;
};

struct KeySettings {
  Common common;
  std::string file;
};

// What runs a command once the arguments are parsed; its exit status.
using Runner = std::function<int()>;

// Each command: add* adds it to `app` and returns what runs it, run* runs it with its settings
// checked. The exit status: for check 0 all valid, 1 any invalid; for scan 0 a number found, 1
// none; 2 for an unreadable input (or key).
Runner addCheck(CLI::App& app, const Words& m);
int runCheck(const CheckSettings& settings);
Runner addGen(CLI::App& app, const Words& m);
int runGen(const GenSettings& settings);
Runner addPlaces(CLI::App& app, const Words& m);
int runPlaces(const PlacesSettings& settings);
Runner addScan(CLI::App& app, const Words& m);
int runScan(const ScanSettings& settings);
Runner addKey(CLI::App& app, const Words& m);
int runKey(const KeySettings& settings);
// The key in `file` for scan's --key-file; a file that cannot be read or holds no key ends the
// program with status 2, one that others may read gets a warning.
engine::Key readKey(const std::string& file, const Words& m);

// Calls `each(name, text)` for every input, "-" being standard input, read as text in `encoding`
// or in the encoding it shows; `beforeRead` runs before each read, which may wait. `each` returns
// 0, or the errno of a read error. An input that cannot be opened or read is named on standard
// error with the reason, and makes the result false; the others are still read. An input that is
// not text, or was taken for Big5, gets a note on standard error.
bool forEachInput(const std::vector<std::string>& inputs, std::optional<Encoding> encoding,
                  const Words& m,
                  const std::function<void()>& beforeRead,
                  const std::function<int(const std::string& name, TextSource& text)>& each);

// The numbers found or checked, by reason (Reason::None, the valid ones, first), written as
// -c/--count writes them: "9 valid, 2 invalid (check 2)" in text, a header and one row otherwise.
// Only the reasons that the kinds asked for can fail by have a column.
using Counts = std::array<std::uint64_t, 7>;
std::string CountsRow(const Counts& counts, const Common& common, rules::KindSet kinds);

}  // namespace cli
