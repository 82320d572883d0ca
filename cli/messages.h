// Everything taloma-id says to a person, in Traditional Chinese and in English.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "rules/id_kinds.h"

namespace cli {

enum class Language { ZhTw, En };

// "zh-TW" or "en"; nothing for any other name.
std::optional<Language> languageNamed(std::string_view name);

// The language of the first set of LC_ALL, LC_MESSAGES and LANG: Chinese for a value starting
// with "zh", English for any other or none.
Language languageOfEnvironment();

struct Messages {
  // Help
  const char* program;
  const char* check;
  const char* gen;
  const char* places;
  const char* help;
  const char* version;
  const char* format;
  const char* noHeader;
  const char* lang;
  const char* numbers;
  const char* input;
  const char* kinds;
  const char* normalize;
  const char* quiet;
  const char* status;
  const char* count;
  const char* seed;
  const char* kind;
  const char* place;
  const char* sex;
  const char* postal;
  const char* checkFooter;
  const char* genFooter;
  const char* optionsGroup;
  const char* commandsGroup;
  const char* usageLabel;
  const char* optionsLabel;
  const char* commandLabel;
  const char* argumentsLabel;
  // Errors; %1 and %2 stand for the values named
  const char* hint;          // %1 the command
  const char* badCount;      // %1 the value
  const char* badSeed;       // %1 the value
  const char* badPlace;      // %1 the value
  const char* badKind;       // %1 the value
  const char* badSex;        // %1 the value
  const char* badFormat;     // %1 the value
  const char* badLanguage;   // %1 the value
  const char* badArguments;  // %1 the parser's own message
  const char* noCommand;
  const char* cannotRead;  // %1 the file, %2 the system's reason
  const char* progress;    // %1 the count, %2 millions per second
};

const Messages& messagesIn(Language language);

// `pattern` with %1 and %2 replaced by `first` and `second`.
std::string filled(std::string_view pattern, std::string_view first, std::string_view second = {});

// The verdict as the text format words it, after the input: the window's own wording in Chinese
// where it has one. `kinds` are those asked for, `placeName` the valid number's place.
std::string verdictText(Language language, const rules::IdVerdict& verdict, rules::KindSet kinds,
                        std::string_view placeName);

// The names used in tsv, csv and jsonl, the same in every language.
std::string_view kindName(rules::IdKind kind);
std::string_view sexName(rules::Sex sex);
std::string_view reasonName(rules::Reason reason);

}  // namespace cli
