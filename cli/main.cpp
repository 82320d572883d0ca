// taloma-id: the arguments, checked and turned into settings, and the subcommand they name.
#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "rules/place_table.h"

namespace {

using cli::Language;
using cli::Messages;

// A value the user gave that no setting takes; `message` is already in the user's language.
struct BadValue {
  std::string message;
};

// The language has to be known before the help texts are built, so --lang is looked for first.
Language chooseLanguage(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--") break;
    std::string_view value;
    if (arg == "--lang" && i + 1 < argc) value = argv[i + 1];
    if (arg.starts_with("--lang=")) value = arg.substr(7);
    if (const auto language = cli::languageNamed(value)) return *language;
  }
  return cli::languageOfEnvironment();
}

std::vector<std::string_view> splitList(std::string_view list) {
  std::vector<std::string_view> items;
  for (std::size_t start = 0;;) {
    const std::size_t comma = list.find(',', start);
    items.push_back(list.substr(start, comma - start));
    if (comma == std::string_view::npos) return items;
    start = comma + 1;
  }
}

std::uint64_t parseUnsigned(std::string_view text, const char* pattern) {
  std::uint64_t value = 0;
  bool ok = !text.empty();
  for (const char c : text) {
    const auto digit = static_cast<unsigned>(c - '0');
    if (c < '0' || c > '9' || value > (UINT64_MAX - digit) / 10) {
      ok = false;
      break;
    }
    value = value * 10 + digit;
  }
  if (!ok) throw BadValue{cli::filled(pattern, text)};
  return value;
}

rules::IdKind parseKind(std::string_view name, const Messages& m) {
  for (const auto kind :
       {rules::IdKind::National, rules::IdKind::Resident, rules::IdKind::ResidentOld}) {
    if (cli::kindName(kind) == name) return kind;
  }
  throw BadValue{cli::filled(m.badKind, name)};
}

const rules::Place* parsePlace(std::string_view name, const Messages& m) {
  for (const rules::Place& place : rules::Places().subspan(1)) {
    const char letter = static_cast<char>(place.letter);
    if (name.size() == 1 && (name[0] == letter || name[0] == letter - 'A' + 'a')) return &place;
    if (name == cli::utf8(place.name)) return &place;
  }
  throw BadValue{cli::filled(m.badPlace, name)};
}

// The options every subcommand takes.
struct CommonOptions {
  std::string format = "text";
  bool noHeader = false;
  std::string lang;

  void addTo(CLI::App& command, const Messages& m) {
    command.add_option("-f,--format", format, m.format)->type_name("FORMAT");
    command.add_flag("--no-header", noHeader, m.noHeader);
    command.add_option("--lang", lang, m.lang)->type_name("LANG");
  }

  cli::Common settings(Language language, const Messages& m) const {
    cli::Common common;
    common.language = language;
    common.header = !noHeader;
    constexpr std::pair<std::string_view, cli::Format> kFormats[] = {{"text", cli::Format::Text},
                                                                     {"tsv", cli::Format::Tsv},
                                                                     {"csv", cli::Format::Csv},
                                                                     {"jsonl", cli::Format::Jsonl}};
    for (const auto& [name, value] : kFormats) {
      if (name == format) {
        common.format = value;
        return common;
      }
    }
    throw BadValue{cli::filled(m.badFormat, format)};
  }
};

void localize(CLI::App& app, const Messages& m) {
  const auto formatter = app.get_formatter();
  formatter->label("Usage", m.usageLabel);
  formatter->label("OPTIONS", m.optionsLabel);
  formatter->label("SUBCOMMAND", m.commandLabel);
  formatter->label("Positionals", m.argumentsLabel);
  formatter->column_width(26);
  app.option_defaults()->group(m.optionsGroup);
  app.set_help_flag("-h,--help", m.help);
}

}  // namespace

int main(int argc, char** argv) {
  // A reader that stops reading ends us at once, without a word, as it ends any filter; a parent
  // may have left SIGPIPE ignored.
  std::signal(SIGPIPE, SIG_DFL);

  const Language language = chooseLanguage(argc, argv);
  const Messages& m = cli::messagesIn(language);

  CLI::App app(m.program, "taloma-id");
  localize(app, m);
  // A plain flag rather than CLI11's version flag, which throws: the first exception thrown in a
  // static program sorts its whole unwind table, a fifth of a start-up.
  bool version = false;
  app.add_flag("--version", version, m.version);
  app.require_subcommand(0, 1);
  std::string topLang;
  app.add_option("--lang", topLang, m.lang)->type_name("LANG");

  const auto addCommand = [&](const char* name, const char* description) {
    CLI::App* command = app.add_subcommand(name, description);
    command->group(m.commandsGroup);
    command->set_help_flag("-h,--help", m.help);
    return command;
  };

  CommonOptions checkCommon, genCommon, placesCommon;
  std::vector<std::string> numbers, inputs;
  std::string kinds = "national,resident,resident-old";
  bool normalize = false, quiet = false, status = false;
  CLI::App* check = addCommand("check", m.check);
  check->add_option("NUMBER", numbers, m.numbers)->type_name("");
  check->add_option("-i,--input", inputs, m.input)->type_name("FILE")->allow_extra_args(false);
  check->add_option("-k,--kinds", kinds, m.kinds)->type_name("LIST");
  check->add_flag("--normalize", normalize, m.normalize);
  check->add_flag("-q,--quiet", quiet, m.quiet);
  check->add_flag("-s,--status", status, m.status);
  checkCommon.addTo(*check, m);
  check->footer(m.checkFooter);

  std::string count = "1", seed, kind = "national", places, sex;
  CLI::App* gen = addCommand("gen", m.gen);
  gen->add_option("-n,--count", count, m.count)->type_name("N");
  const CLI::Option* seedOption = gen->add_option("--seed", seed, m.seed)->type_name("S");
  gen->add_option("-k,--kind", kind, m.kind)->type_name("KIND");
  const CLI::Option* placeOption =
      gen->add_option("-p,--place", places, m.place)->type_name("LIST");
  const CLI::Option* sexOption = gen->add_option("--sex", sex, m.sex)->type_name("SEX");
  genCommon.addTo(*gen, m);
  gen->footer(m.genFooter);

  bool postal = false;
  CLI::App* placesCommand = addCommand("places", m.places);
  placesCommand->add_flag("--postal", postal, m.postal);
  placesCommon.addTo(*placesCommand, m);

  const auto usageError = [&](const std::string& message) {
    std::string command = "taloma-id";
    for (const CLI::App* sub : {check, gen, placesCommand}) {
      if (sub->parsed()) command += " " + sub->get_name();
    }
    std::fprintf(stderr, "taloma-id: %s\n%s\n", message.c_str(),
                 cli::filled(m.hint, command).c_str());
    return 2;
  };

  try {
    app.parse(argc, argv);
    for (const std::string* lang :
         {&topLang, &checkCommon.lang, &genCommon.lang, &placesCommon.lang}) {
      if (!lang->empty() && !cli::languageNamed(*lang))
        throw BadValue{cli::filled(m.badLanguage, *lang)};
    }

    if (version) {
      std::fputs("taloma-id " TALOMA_VERSION_TEXT "\n", stdout);
      return 0;
    }
    if (check->parsed()) {
      cli::CheckSettings settings;
      settings.common = checkCommon.settings(language, m);
      settings.numbers = std::move(numbers);
      settings.inputs = std::move(inputs);
      settings.kinds = 0;
      for (const std::string_view name : splitList(kinds))
        settings.kinds |= rules::kindBit(parseKind(name, m));
      settings.normalize = normalize;
      settings.quiet = quiet;
      settings.status = status;
      return cli::runCheck(settings);
    }
    if (gen->parsed()) {
      cli::GenSettings settings;
      settings.common = genCommon.settings(language, m);
      settings.count = parseUnsigned(count, m.badCount);
      if (seedOption->count() == 0) {
        std::random_device entropy;
        settings.seed = (std::uint64_t{entropy()} << 32) | entropy();
      } else {
        settings.seed = parseUnsigned(seed, m.badSeed);
      }
      settings.kind = parseKind(kind, m);
      // Without --place or --sex every place and both sexes; the places in letter-value order.
      std::array<bool, rules::kPlaceCount> chosen{};
      if (placeOption->count() != 0) {
        for (const std::string_view name : splitList(places)) {
          chosen[static_cast<std::size_t>(parsePlace(name, m)->index)] = true;
        }
      }
      for (int value = rules::kFirstLetterValue; value <= rules::kLastLetterValue; ++value) {
        const rules::Place* place = rules::PlaceByLetterValue(value);
        if (placeOption->count() == 0 || chosen[static_cast<std::size_t>(place->index)]) {
          settings.places.push_back(place);
        }
      }
      const bool anySex = sexOption->count() == 0;
      if (anySex || sex == "male") settings.sexes.push_back(rules::Sex::Male);
      if (anySex || sex == "female") settings.sexes.push_back(rules::Sex::Female);
      if (settings.sexes.empty()) throw BadValue{cli::filled(m.badSex, sex)};
      return cli::runGen(settings);
    }
    if (!placesCommand->parsed()) return usageError(m.noCommand);
    cli::PlacesSettings settings;
    settings.common = placesCommon.settings(language, m);
    settings.postal = postal;
    return cli::runPlaces(settings);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    return usageError(cli::filled(m.badArguments, e.what()));
  } catch (const BadValue& e) {
    return usageError(e.message);
  }
}
