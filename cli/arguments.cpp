// The options every command shares, the help's form and CLI11's error path in our words.
#include "cli/arguments.h"

#include <cstdint>
#include <sstream>

#include "cli/rows.h"
#include "rules/text.h"

namespace cli {
namespace {

constexpr rules::Named<Format> kFormatNames[] = {{"text", Format::Text},
                                                 {"tsv", Format::Tsv},
                                                 {"csv", Format::Csv},
                                                 {"jsonl", Format::Jsonl}};

// The help's columns line up by the width the text shows, a Chinese character taking two columns,
// and its headings end in the language's own colon.
class Help : public CLI::Formatter {
 public:
  explicit Help(const Words& m) : m_words(m) {}

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

  std::string make_help(const CLI::App* app, std::string name,
                        CLI::AppFormatMode mode) const override {
    std::string help = CLI::Formatter::make_help(app, std::move(name), mode);
    if (m_words.language != Language::ZhTw) return help;
    const Words& m = m_words;
    for (const char* label : {m.usageLabel.text, m.argumentsLabel.text, m.optionsLabel.text,
                              m.commandsGroup.text, m.commandLabel.text}) {
      const std::string from = std::string(label) + ":";
      for (std::size_t at = 0; (at = help.find(from, at)) != std::string::npos;) {
        help.replace(at, from.size() + (help.compare(at + from.size(), 1, " ") == 0),
                     std::string(label) + "：");
      }
    }
    return help;
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

  const Words& m_words;
};

// Every option under `app`, its commands' included.
std::vector<const CLI::Option*> everyOption(const CLI::App& app) {
  std::vector<const CLI::Option*> options = app.get_options();
  for (const CLI::App* command : app.get_subcommands({})) {
    for (const CLI::Option* option : command->get_options()) options.push_back(option);
  }
  return options;
}

// What went wrong, in our words. CLI11 puts the name of the option a message is about before it.
std::string whatWentWrong(const CLI::App& app, const CLI::Error& error, const Words& m) {
  const std::string what = error.what();
  const CLI::Option* about = nullptr;
  std::string rest = what;
  for (const CLI::Option* option : everyOption(app)) {
    const std::string name = option->get_name() + ": ";
    if (what.starts_with(name)) {
      about = option;
      rest = what.substr(name.size());
    }
  }
  if (dynamic_cast<const CLI::ValidationError*>(&error) != nullptr) return rest;
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error) != nullptr) {
    // An option of one value that came twice, or one that came without its value.
    for (const CLI::Option* option : everyOption(app)) {
      if (option->get_items_expected_max() == 1 && option->count() > 1) {
        return filled(m.givenTwice, option->get_name());
      }
    }
    if (about != nullptr) return filled(m.needsValue, about->get_name());
  }
  return filled(m.badArguments, what);
}

}  // namespace

CLI::App* addCommand(CLI::App& app, const char* name, const char* description, const Words& m) {
  CLI::App* command = app.add_subcommand(name, description);
  command->group(m.commandsGroup);
  command->set_help_flag("-h,--help", m.help);
  // CLI11 keeps the "--" that ends the options among the extras; main looks at them itself.
  command->allow_extras();
  return command;
}

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
        return ok ? std::string() : filled(pattern, shownValue(value));
      },
      "");
}

void addKinds(CLI::App& command, std::vector<rules::IdKind>& kinds, const Words& m) {
  command.add_option("-k,--kinds", kinds, describing<rules::IdKind>(m.kinds, rules::kKindNames, m))
      ->type_name(m.listValue)
      ->delimiter(',')
      ->allow_extra_args(false)
      ->transform(oneOf<rules::IdKind>(rules::kKindNames, m.kindWord, m));
}

rules::KindChoice kindSetOf(const std::vector<rules::IdKind>& kinds, bool before2023) {
  rules::KindSet set = 0;
  for (const rules::IdKind kind : kinds) set |= rules::KindBit(kind);
  return {set == 0 ? rules::kIdentityKinds : set, before2023};
}

void addEncoding(CLI::App& command, std::optional<Encoding>& encoding, const Words& m) {
  command
      .add_option_function<int>(
          "--encoding", [&encoding](int value) { encoding = static_cast<Encoding>(value); },
          describing<Encoding>(m.encoding, kEncodingNames, m))
      ->type_name(m.encodingValue)
      ->transform(oneOf<Encoding>(kEncodingNames, m.encodingWord, m));
}

CLI::Validator languageName(const Words& m) {
  return CLI::Validator(
      [&m](std::string& value) -> std::string {
        return languageNamed(value) ? std::string() : filled(m.badLanguage, shownValue(value));
      },
      "");
}

void CommonOptions::addTo(CLI::App& command, const Words& m) {
  formatOption =
      command.add_option("-f,--format", format, describing<Format>(m.format, kFormatNames, m))
          ->type_name(m.formatValue)
          ->transform(oneOf<Format>(kFormatNames, m.formatWord, m));
  noHeaderOption = command.add_flag("--no-header", noHeader, m.noHeader);
  command.add_option("--lang", lang, m.lang)->type_name(m.langValue)->check(languageName(m));
}

void refuse(const std::string& message) { throw CLI::ValidationError(message); }

void localize(CLI::App& app, const Words& m) {
  app.formatter(std::make_shared<Help>(m));
  const auto formatter = app.get_formatter();
  formatter->label("Usage", m.usageLabel);
  formatter->label("OPTIONS", m.optionsLabel);
  formatter->label("SUBCOMMAND", m.commandLabel);
  formatter->label("Positionals", m.argumentsLabel);
  formatter->column_width(26);
  app.option_defaults()->group(m.optionsGroup);
  app.set_help_flag("-h,--help", m.help);
  app.failure_message([&m](const CLI::App* parsed, const CLI::Error& error) {
    std::string command = "taloma-id";
    for (const CLI::App* sub : parsed->get_subcommands({})) {
      if (sub->parsed()) command += " " + sub->get_name();
    }
    return "taloma-id: " + printable(whatWentWrong(*parsed, error, m)) + "\n" +
           filled(m.hint, command) + "\n";
  });
}

}  // namespace cli
