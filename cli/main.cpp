// taloma-id: the arguments, parsed and checked by CLI11 into settings, and the subcommand they name.
#include <CLI/CLI.hpp>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/platform.h"
#include "resources/version.h"
#include "rules/place_table.h"
#include "rules/text.h"

namespace {

using cli::Format;
using cli::Language;
using cli::Messages;
using rules::Named;

constexpr Named<Format> kFormatNames[] = {{"text", Format::Text},
                                          {"tsv", Format::Tsv},
                                          {"csv", Format::Csv},
                                          {"jsonl", Format::Jsonl}};

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// A value the user gave that no setting takes; `message` is already in the user's language.
struct BadValue {
  std::string message;
};

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

// Turns a name of `names` into its value, for CLI11 to convert; any other name is refused with
// the names that would do.
template <typename Enum>
CLI::Validator oneOf(std::span<const Named<Enum>> names, const char* what) {
  return CLI::Validator(
      [names, what](std::string& value) -> std::string {
        for (const Named<Enum>& named : names) {
          if (named.name == value) {
            value = std::to_string(static_cast<int>(named.value));
            return {};
          }
        }
        throw BadValue{cli::filled(cli::messages().badChoice, what, cli::shownValue(value)) +
                       rules::NameList(names, cli::language())};
      },
      "");
}

// The help text of an option that takes one of `names`: the names fill its %1.
template <typename Enum>
std::string describing(const char* text, std::span<const Named<Enum>> names) {
  return cli::filled(text, rules::NameList(names, cli::language()));
}

// Refuses anything but a whole number from 0 to 2^64 - 1, before CLI11 converts it.
CLI::Validator wholeNumber(const char* pattern) {
  return CLI::Validator(
      [pattern](std::string& value) -> std::string {
        std::uint64_t number = 0;
        bool ok = !value.empty();
        for (const char c : value) {
          const auto digit = static_cast<unsigned>(c - '0');
          if (c < '0' || c > '9' || number > (UINT64_MAX - digit) / 10) {
            ok = false;
            break;
          }
          number = number * 10 + digit;
        }
        if (!ok) throw BadValue{cli::filled(pattern, cli::shownValue(value))};
        return {};
      },
      "");
}

// A place as rules::PlaceByName knows it: its letter value, for CLI11 to convert.
CLI::Validator placeName() {
  return CLI::Validator(
      [](std::string& value) -> std::string {
        // Spaces around a name in a list are the list's, not the name's.
        const std::string_view name = trimmed(value);
        const rules::Place* found = rules::PlaceByName(name);
        if (found == nullptr) {
          throw BadValue{cli::filled(cli::messages().badPlace, cli::shownValue(name))};
        }
        value = std::to_string(found->letterValue);
        return {};
      },
      "");
}

CLI::Validator languageName() {
  return CLI::Validator(
      [](std::string& value) -> std::string {
        if (!cli::languageNamed(value)) {
          throw BadValue{cli::filled(cli::messages().badLanguage, cli::shownValue(value))};
        }
        return {};
      },
      "");
}

// The options every subcommand takes.
struct CommonOptions {
  Format format = Format::Text;
  bool noHeader = false;
  std::string lang;
  const CLI::Option* formatOption = nullptr;
  const CLI::Option* noHeaderOption = nullptr;

  void addTo(CLI::App& command, const Messages& m) {
    formatOption = command.add_option("-f,--format", format, describing<Format>(m.format, kFormatNames))
        ->type_name(m.formatValue)
        ->transform(oneOf<Format>(kFormatNames, m.formatWord));
    noHeaderOption = command.add_flag("--no-header", noHeader, m.noHeader);
    command.add_option("--lang", lang, m.lang)->type_name(m.langValue)->check(languageName());
  }

  // Whether -f or --no-header was given, which a command that writes no rows refuses.
  bool shapesRows() const { return formatOption->count() != 0 || noHeaderOption->count() != 0; }

  cli::Common settings() const { return {format, !noHeader}; }
};

// The help's columns line up by the width the text shows: a Chinese character takes two columns.
class Help : public CLI::Formatter {
 public:
  std::string make_option(const CLI::Option* option, bool positional) const override {
    const std::string name = "  " + make_option_name(option, positional) + make_option_opts(option);
    const std::string description = make_option_desc(option);
    const std::size_t column = get_column_width();
    const std::size_t shown = shownWidth(name);
    std::string out = name;
    if (!description.empty()) {
      out += shown >= column ? "\n" + std::string(column, ' ') : std::string(column - shown, ' ');
      for (const char c : description) {
        out += c;
        if (c == '\n') out += std::string(column, ' ');
      }
    }
    return out + "\n";
  }

 private:
  static std::size_t shownWidth(std::string_view text) {
    std::size_t width = 0;
    for (std::size_t at = 0; at < text.size();) {
      const rules::Utf8Character character = rules::Utf8At(text, at);
      width += character.code >= 0x2E80 ? 2 : 1;  // CJK and the full-width forms
      at += character.size;
    }
    return width;
  }
};

void localize(CLI::App& app, const Messages& m) {
  app.formatter(std::make_shared<Help>());
  const auto formatter = app.get_formatter();
  formatter->label("Usage", m.usageLabel);
  formatter->label("OPTIONS", m.optionsLabel);
  formatter->label("SUBCOMMAND", m.commandLabel);
  formatter->label("Positionals", m.argumentsLabel);
  formatter->column_width(26);
  app.option_defaults()->group(m.optionsGroup);
  app.set_help_flag("-h,--help", m.help);
}

// Writes `text` to standard output, and fails as any output does when it cannot.
int print(const std::string& text) {
  cli::Output out(cli::platform::kStandardOutput);
  out.put(text);
  return 0;
}

// The option a CLI11 message is about: its text up to the first ": ".
std::string optionIn(std::string_view message) {
  const std::size_t colon = message.find(": ");
  return std::string(message.substr(0, colon == std::string_view::npos ? 0 : colon));
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args = cli::platform::start(argc, argv);
  cli::useLanguage(chooseLanguage(args));
  const Messages& m = cli::messages();

  CLI::App app(m.program, "taloma-id");
  // A file name such as /tmp/x is no option, on Windows as anywhere.
  app.allow_windows_style_options(false);
  localize(app, m);
  // A plain flag rather than CLI11's version flag, which throws: the first exception thrown in a
  // static program sorts its whole unwind table, a fifth of a start-up.
  bool version = false;
  app.add_flag("--version", version, m.version);
  app.require_subcommand(0, 1);
  app.allow_extras();
  std::string topLang;
  app.add_option("--lang", topLang, m.lang)->type_name(m.langValue)->check(languageName());

  const auto addCommand = [&](const char* name, const char* description) {
    CLI::App* command = app.add_subcommand(name, description);
    command->group(m.commandsGroup);
    command->set_help_flag("-h,--help", m.help);
    command->allow_extras();
    return command;
  };

  CommonOptions checkCommon, genCommon, placesCommon, scanCommon;
  cli::CheckSettings check;
  std::vector<rules::IdKind> checkKinds;
  CLI::App* checkCommand = addCommand("check", m.check);
  checkCommand->add_option(m.numberValue, check.numbers, m.numbers)->type_name("");
  checkCommand->add_option("-i,--input", check.inputs, m.input)
      ->type_name(m.fileValue)
      ->allow_extra_args(false);
  const std::string kindsHelp = describing<rules::IdKind>(m.kinds, rules::kKindNames);
  checkCommand->add_option("-k,--kinds", checkKinds, kindsHelp)
      ->type_name(m.listValue)
      ->delimiter(',')
      ->allow_extra_args(false)
      ->transform(oneOf<rules::IdKind>(rules::kKindNames, m.kindWord));
  checkCommand->add_flag("--normalize", check.normalize, m.normalize);
  checkCommand->add_flag("-q,--quiet", check.quiet, m.quiet);
  checkCommand->add_flag("-s,--status", check.status, m.status);
  checkCommand->add_flag("-c,--count", check.count, m.count);
  checkCommand->add_flag("--line-buffered", check.lineBuffered, m.lineBuffered);
  checkCommon.addTo(*checkCommand, m);
  checkCommand->footer(m.checkFooter);

  cli::GenSettings gen;
  std::vector<int> placeValues;
  rules::Sex sex = rules::Sex::Male;
  bool current = false;
  CLI::App* genCommand = addCommand("gen", m.gen);
  genCommand->add_option("-n,--count", gen.count, m.genCount)
      ->type_name(m.countValue)
      ->check(wholeNumber(m.badCount));
  const CLI::Option* seedOption = genCommand->add_option("--seed", gen.seed, m.seed)
                                      ->type_name(m.seedValue)
                                      ->check(wholeNumber(m.badSeed));
  genCommand->add_option("-k,--kind", gen.kind, describing<rules::IdKind>(m.kind, rules::kKindNames))
      ->type_name(m.kindValue)
      ->transform(oneOf<rules::IdKind>(rules::kKindNames, m.kindWord));
  const CLI::Option* placeOption = genCommand->add_option("-p,--place", placeValues, m.place)
                                       ->type_name(m.listValue)
                                       ->delimiter(',')
                                       ->allow_extra_args(false)
                                       ->transform(placeName());
  const CLI::Option* sexOption =
      genCommand->add_option("--sex", sex, describing<rules::Sex>(m.sex, rules::kSexNames))
                                     ->type_name(m.sexValue)
                                     ->transform(oneOf<rules::Sex>(rules::kSexNames, m.sexWord));
  const CLI::Option* categoryOption =
      genCommand
          ->add_option("--category", gen.categories,
                       describing<rules::Category>(m.category, rules::kCategoryNames))
          ->type_name(m.listValue)
          ->delimiter(',')
          ->allow_extra_args(false)
          ->transform(oneOf<rules::Category>(rules::kCategoryNames, m.categoryWord));
  genCommand->add_flag("--unique", gen.unique, m.unique);
  genCommand->add_flag("--current", current, m.current);
  genCommon.addTo(*genCommand, m);
  genCommand->footer(m.genFooter);

  cli::PlacesSettings places;
  CLI::App* placesCommand = addCommand("places", m.places);
  placesCommand->add_flag("--postal", places.postal, m.postal);
  placesCommon.addTo(*placesCommand, m);

  cli::ScanSettings scan;
  std::vector<rules::IdKind> scanKinds;
  CLI::App* scanCommand = addCommand("scan", m.scan);
  scanCommand->add_option(m.fileValue, scan.inputs, m.files)->type_name("");
  scanCommand->add_option("-k,--kinds", scanKinds, kindsHelp)
      ->type_name(m.listValue)
      ->delimiter(',')
      ->allow_extra_args(false)
      ->transform(oneOf<rules::IdKind>(rules::kKindNames, m.kindWord));
  scanCommand->add_flag("-a,--near-misses", scan.nearMisses, m.nearMisses);
  scanCommand->add_flag("--normalize", scan.normalize, m.scanNormalize);
  scanCommand->add_flag("-c,--count", scan.count, m.scanCount);
  scanCommand->add_flag("--redact", scan.redact, m.redact);
  scanCommand->add_flag("--line-buffered", scan.lineBuffered, m.lineBuffered);
  scanCommon.addTo(*scanCommand, m);
  scanCommand->footer(m.scanFooter);

  CLI::App* const commands[] = {checkCommand, genCommand, placesCommand, scanCommand};
  const auto usageError = [&](const std::string& message) {
    std::string command = "taloma-id";
    for (const CLI::App* sub : commands) {
      if (sub->parsed()) command += " " + sub->get_name();
    }
    cli::note(message);
    cli::platform::writeAll(cli::platform::kStandardError, cli::filled(m.hint, command) + "\n");
    return 2;
  };
  const auto kindSet = [](const std::vector<rules::IdKind>& kinds) {
    rules::KindSet set = 0;
    for (const rules::IdKind kind : kinds) set |= rules::KindBit(kind);
    return kinds.empty() ? rules::kAllKinds : set;
  };

  try {
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(args.rbegin(), args.rend() - 1);
    app.parse(reversed);
    for (const CLI::App* command :
         std::initializer_list<const CLI::App*>{&app, checkCommand, genCommand, placesCommand,
                                                scanCommand}) {
      // "--" ends the options; CLI11 leaves the mark itself among the extras.
      for (const std::string& extra : command->remaining()) {
        if (extra != "--") return usageError(cli::filled(m.unexpected, cli::shownValue(extra)));
      }
    }
    if (version) return print("taloma-id " + std::string(version::kVersion) + "\n");

    if (checkCommand->parsed()) {
      check.common = checkCommon.settings();
      check.kinds = kindSet(checkKinds);
      return cli::runCheck(check);
    }
    if (genCommand->parsed()) {
      gen.common = genCommon.settings();
      if (seedOption->count() == 0) {
        std::random_device entropy;
        gen.seed = (std::uint64_t{entropy()} << 32) | entropy();
      }
      // Without --place or --sex every place and both sexes; the places in letter-value order.
      if (placeOption->count() != 0 && placeValues.empty()) {
        throw BadValue{cli::filled(m.badPlace, placeOption->results().empty()
                                                   ? ""
                                                   : placeOption->results().front())};
      }
      std::string leftOut;
      for (const rules::Place& place : rules::Places()) {
        const bool chosen = placeOption->count() == 0 ||
                            std::find(placeValues.begin(), placeValues.end(),
                                      place.letterValue) != placeValues.end();
        if (!chosen) continue;
        if (current && place.lastIssued != 0) {
          leftOut += (leftOut.empty() ? "" : ", ") + std::string(1, place.letter);
        } else {
          gen.places.push_back(&place);
        }
      }
      if (gen.places.empty()) throw BadValue{cli::filled(m.notCurrent, leftOut)};
      if (sexOption->count() == 0 || sex == rules::Sex::Male) gen.sexes.push_back(rules::Sex::Male);
      if (sexOption->count() == 0 || sex == rules::Sex::Female) {
        gen.sexes.push_back(rules::Sex::Female);
      }
      if (categoryOption->count() != 0 && gen.kind != rules::IdKind::Resident) {
        throw BadValue{m.categoryNeedsResident.text};
      }
      std::vector<rules::Category> categories;
      for (const auto& [name, category] : rules::kCategoryNames) {
        if (std::find(gen.categories.begin(), gen.categories.end(), category) !=
            gen.categories.end()) {
          categories.push_back(category);
        }
      }
      gen.categories = categories;
      return cli::runGen(gen);
    }
    if (scanCommand->parsed()) {
      if (scan.redact && (scan.count || scanCommon.shapesRows())) throw BadValue{m.redactAlone.text};
      scan.common = scanCommon.settings();
      scan.kinds = kindSet(scanKinds);
      return cli::runScan(scan);
    }
    if (!placesCommand->parsed()) return usageError(m.noCommand.text);
    places.common = placesCommon.settings();
    return cli::runPlaces(places);
  } catch (const CLI::CallForHelp&) {
    std::string help = app.help();
    // CLI11 puts an ASCII colon after its headings; Chinese text takes the full-width one.
    if (cli::language() == Language::ZhTw) {
      for (const char* label : {m.usageLabel.text, m.argumentsLabel.text, m.optionsLabel.text,
                                m.commandsGroup.text, m.commandLabel.text}) {
        const std::string from = std::string(label) + ":";
        for (std::size_t at = 0; (at = help.find(from, at)) != std::string::npos;) {
          help.replace(at, from.size() + (help.compare(at + from.size(), 1, " ") == 0),
                       std::string(label) + "：");
        }
      }
    }
    return print(help);
  } catch (const CLI::ArgumentMismatch& e) {
    // An option of one value that came twice, or one that came without its value.
    for (const CLI::App* command : commands) {
      for (const CLI::Option* option : command->get_options()) {
        if (option->get_items_expected_max() == 1 && option->count() > 1) {
          return usageError(cli::filled(m.givenTwice, option->get_name()));
        }
      }
    }
    return usageError(cli::filled(m.needsValue, optionIn(e.what())));
  } catch (const CLI::ParseError& e) {
    return usageError(cli::filled(m.badArguments, e.what()));
  } catch (const BadValue& e) {
    return usageError(e.message);
  }
}
