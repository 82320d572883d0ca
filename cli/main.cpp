// taloma-id: the language chosen, the commands declared on CLI11, the arguments parsed, and the
// command they name run.
#include <CLI/CLI.hpp>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "cli/output.h"
#include "cli/platform.h"
#include "resources/version.h"

namespace {

using cli::Language;
using cli::Words;

// The language has to be known before the help texts are built, so --lang is looked for first.
Language chooseLanguage(const std::vector<std::string>& args) {
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--") break;
    std::string_view value;
    if (arg == "--lang" && i + 1 < args.size()) value = args[i + 1];
    if (arg.starts_with("--lang=")) value = arg.substr(7);
    if (const auto language = cli::languageNamed(value)) return *language;
  }
  return cli::languageOfEnvironment();
}

// Writes `text` to standard output, and fails as any output does when it cannot.
int print(const std::string& text, const Words& m) {
  cli::Output out(cli::platform::kStandardOutput, m);
  out.put(text);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args = cli::platform::start(argc, argv);
  const Words& m = cli::wordsIn(chooseLanguage(args));

  CLI::App app(m.program, "taloma-id");
  // A file name such as /tmp/x is no option, on Windows as anywhere.
  app.allow_windows_style_options(false);
  cli::localize(app, m);
  // A plain flag rather than CLI11's version flag, which throws: the first exception thrown in a
  // static program sorts its whole unwind table, a fifth of a start-up.
  bool version = false;
  app.add_flag("--version", version, m.version);
  app.require_subcommand(0, 1);
  app.allow_extras();
  std::string lang;
  app.add_option("--lang", lang, m.lang)->type_name(m.langValue)->check(cli::languageName(m));

  const std::pair<const char*, cli::Runner> commands[] = {
      {"check", cli::addCheck(app, m)},
      {"gen", cli::addGen(app, m)},
      {"places", cli::addPlaces(app, m)},
      {"scan", cli::addScan(app, m)},
      {"key", cli::addKey(app, m)},
  };

  try {
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend() - 1);
    app.parse(reversed);
    // "--" ends the options; CLI11 leaves the mark itself among the extras.
    std::vector<CLI::App*> parsed = app.get_subcommands({});
    parsed.push_back(&app);
    for (const CLI::App* command : parsed) {
      for (const std::string& extra : command->remaining()) {
        if (extra != "--") cli::refuse(cli::filled(m.unexpected, cli::shownValue(extra)));
      }
    }
    if (version) return print("taloma-id " + std::string(version::kVersion) + "\n", m);
    for (const auto& [name, run] : commands) {
      if (app.got_subcommand(name)) return run();
    }
    cli::refuse(m.noCommand.text);
  } catch (const CLI::ParseError& error) {
    // CLI11's own path: the help on standard output, or a message and a hint on standard error.
    std::ostringstream out, err;
    const int status = app.exit(error, out, err);
    if (!err.str().empty()) cli::platform::writeAll(cli::platform::kStandardError, err.str());
    if (!out.str().empty()) print(out.str(), m);
    return status == 0 ? 0 : 2;
  }
}
