// Declaring taloma-id's options on CLI11: validators that turn names into values and refuse
// anything else with our own words, the options every command takes, the help's form, and the
// error path that says what was wrong in the user's language.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cli/commands.h"

namespace cli {

// A command under `app`, in the commands' group, with help in the user's language.
CLI::App* addCommand(CLI::App& app, const char* name, const char* description, const Words& m);

// Turns a name of `names` into its value for CLI11 to convert; any other name is refused with the
// names that would do. `what` names the kind of value in the message.
template <typename Enum>
CLI::Validator oneOf(std::span<const rules::Named<Enum>> names, const char* what,
                     const Words& m) {
  return CLI::Validator(
      [names, what, &m](std::string& value) -> std::string {
        for (const rules::Named<Enum>& named : names) {
          if (named.name == value) {
            value = std::to_string(static_cast<int>(named.value));
            return {};
          }
        }
        return filled(m.badChoice, what, shownValue(value)) + rules::NameList(names, m.language);
      },
      "");
}

// The help text of an option that takes one of `names`: the names fill its %1.
template <typename Enum>
std::string describing(const char* text, std::span<const rules::Named<Enum>> names,
                       const Words& m) {
  return filled(text, rules::NameList(names, m.language));
}

// Refuses anything but a whole number from 0 to 2^64 - 1, before CLI11 converts it; `pattern`
// says so, with the value for its %1.
CLI::Validator wholeNumber(const char* pattern);

// -k/--kinds LIST of check and scan: the kinds accepted, the identity kinds when none is given;
// with --before-2023, business numbers by the older rule.
void addKinds(CLI::App& command, std::vector<rules::IdKind>& kinds, const Words& m);
rules::KindChoice kindSetOf(const std::vector<rules::IdKind>& kinds, bool before2023);

// --encoding NAME of check and scan.
void addEncoding(CLI::App& command, std::optional<Encoding>& encoding, const Words& m);

// The options every command takes: -f, --no-header and --lang.
struct CommonOptions {
  Format format = Format::Text;
  bool noHeader = false;
  std::string lang;
  const CLI::Option* formatOption = nullptr;
  const CLI::Option* noHeaderOption = nullptr;

  void addTo(CLI::App& command, const Words& m);
  // Whether -f or --no-header was given, which a command that writes no rows refuses.
  bool shapesRows() const { return formatOption->count() != 0 || noHeaderOption->count() != 0; }
  Common settings(const Words& m) const { return {&m, format, !noHeader}; }
};

// The validator of --lang.
CLI::Validator languageName(const Words& m);

// A value the command cannot take, found after parsing; told as CLI11's own errors are.
[[noreturn]] void refuse(const std::string& message);

// The help in the user's language, its columns lined up by the width the text shows, and the
// messages of CLI11's errors in our words, each followed by a hint at the command's help.
void localize(CLI::App& app, const Words& m);

}  // namespace cli
