// The three subcommands of taloma-id, each run with settings already checked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/messages.h"
#include "cli/output.h"
#include "rules/id_kinds.h"

namespace cli {

struct Common {
  Format format = Format::Text;
  bool header = true;
  Language language = Language::En;
};

struct CheckSettings {
  Common common;
  std::vector<std::string> numbers;
  std::vector<std::string> inputs;  // file names, "-" for standard input
  rules::KindSet kinds = rules::kAllKinds;
  bool normalize = false;
  bool quiet = false;
  bool status = false;
};

struct GenSettings {
  Common common;
  std::uint64_t count = 1;
  std::uint64_t seed = 0;
  rules::IdKind kind = rules::IdKind::National;
  std::vector<const rules::Place*> places;  // distinct, in letter-value order
  std::vector<rules::Sex> sexes;            // male first
};

struct PlacesSettings {
  Common common;
  bool postal = false;
};

// Each returns the exit status: 0, 1 (check found an invalid number) or 2 (an input was
// unreadable).
int runCheck(const CheckSettings& settings);
int runGen(const GenSettings& settings);
int runPlaces(const PlacesSettings& settings);

}  // namespace cli
