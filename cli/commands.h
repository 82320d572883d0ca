// The four subcommands of taloma-id, each run with settings already checked.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cli/messages.h"
#include "cli/output.h"
#include "rules/id_kinds.h"

namespace cli {

struct Common {
  Format format = Format::Text;
  bool header = true;
};

struct CheckSettings {
  Common common;
  std::vector<std::string> numbers;
  std::vector<std::string> inputs;  // file names, "-" for standard input
  rules::KindSet kinds = rules::kAllKinds;
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
};

struct PlacesSettings {
  Common common;
  bool postal = false;
};

struct ScanSettings {
  Common common;
  std::vector<std::string> inputs;  // file names, "-" for standard input
  rules::KindSet kinds = rules::kAllKinds;
  bool nearMisses = false;
  bool redact = false;
  bool lineBuffered = false;
};

// Each returns the exit status: for check 0 all valid, 1 any invalid; for scan 0 a number found,
// 1 none; 2 for an unreadable input.
int runCheck(const CheckSettings& settings);
int runGen(const GenSettings& settings);
int runPlaces(const PlacesSettings& settings);
int runScan(const ScanSettings& settings);

// Calls `each(name, fd)` for every input, "-" being standard input, opened for reading; `each`
// returns 0, or the errno of a read error. An input that cannot be opened or read is named on
// standard error with the reason, and makes the result false; the others are still read.
bool forEachInput(const std::vector<std::string>& inputs,
                  const std::function<int(const std::string& name, int fd)>& each);

}  // namespace cli
