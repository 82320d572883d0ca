// Everything taloma-id says to a person, in Traditional Chinese and in English.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "rules/words.h"

namespace cli {

using rules::Language;

// The language a --lang value names: zh-TW for "zh", "zh_TW", "zh-tw", "zh_TW.UTF-8" and the
// like, English for "en", "en_US", "C" and "POSIX"; nothing for any other.
std::optional<Language> languageNamed(std::string_view name);

// The language of the first set of LC_ALL, LC_MESSAGES and LANG, else the system's setting;
// English when none names a language we speak.
Language languageOfEnvironment();

// One text of the tables below. It has no default, so a table that leaves one out does not
// compile.
struct Text {
  consteval Text(const char* text) : text(text) {}  // NOLINT: texts are written as literals
  operator const char*() const { return text; }     // NOLINT
  operator std::string() const { return text; }     // NOLINT
  const char* text;
};

struct Words {
  Language language;
  // Help; %1 in the texts of enum options stands for the names they take
  Text program, check, gen, places, scan, key, help, version;
  Text format, noHeader, lang;
  Text numbers, input, kinds, normalize, quiet, status, count, lineBuffered;
  Text genCount, seed, kind, place, sex, category, unique, current, before2023, since2023;
  Text postal;
  Text files, nearMisses, redact, pseudonymize, reveal, keyFile, context, keyTarget, scanNormalize,
      scanCount, labelled, encoding;
  Text checkFooter, genFooter, scanFooter, keyFooter;
  Text optionsGroup, commandsGroup, usageLabel, optionsLabel, commandLabel, argumentsLabel;
  // What the help calls the values options and arguments take
  Text numberValue, fileValue, listValue, formatValue, langValue, countValue, seedValue, kindValue,
      sexValue, encodingValue, textValue;
  // Errors and notes; %1 and %2 stand for the values named
  Text hint;             // %1 the command
  Text badCount;         // %1 the value
  Text badSeed;          // %1 the value
  Text badPlace;         // %1 the value
  Text badChoice;        // %1 what, %2 the value; followed by the names allowed
  Text badLanguage;      // %1 the value
  Text unexpected;       // %1 the argument
  Text needsValue;       // %1 the option
  Text givenTwice;       // %1 the option
  Text badArguments;     // %1 the parser's own message
  Text noCommand;
  Text categoryNeedsResident;
  Text identityOnly;     // %1 the option
  Text noMobileNumbers;
  Text sinceNeedsBusiness;
  Text notCurrent;       // %1 the letters left out
  Text redactAlone;
  Text rewriteAlone;     // --pseudonymize and --reveal alone
  Text oneWay;           // not both of them
  Text needsKey;         // %1 the option
  Text keyUnused;
  Text notAKey;          // %1 the file
  Text keyReadable;      // %1 the file
  Text keyExists;        // %1 the file
  Text keyWritten;       // %1 the file
  Text cannotCreate;     // %1 the file, %2 the system's reason
  Text noRandom;
  Text noAes;            // %1 the system's words
  Text pseudonymSummary; // %1 replaced, %2 masked
  Text revealSummary;    // %1 replaced, %2 masked
  Text undecodable;      // %1 the file, %2 the line
  Text readAsBig5;       // %1 the file
  Text tooFew;           // %1 how many different numbers there are
  Text tooFewBusiness;   // %1 how many business numbers gen draws from (more are valid)
  Text isFile;           // %1 the argument
  Text cannotRead;       // %1 the file, %2 the system's reason
  Text cannotWrite;      // %1 the system's reason
  Text progress;         // %1 the count, %2 millions per second
  Text summary;          // %1 valid, %2 invalid
  // The words of badChoice's %1
  Text formatWord, kindWord, sexWord, categoryWord, encodingWord;
};

// The texts of `language`.
const Words& wordsIn(Language language);

// `pattern` with %1 and %2 replaced by `first` and `second`.
std::string filled(const char* pattern, std::string_view first, std::string_view second = {});

// The system's reason for `error` (an errno value) in `language`.
std::string reasonOf(Language language, int error);

// A value the user gave, as a message shows it: cut to its first 64 characters as inputs are.
std::string shownValue(std::string_view value);

// One line on standard error, "taloma-id: <message>", with what a terminal would act on shown as
// escapes and bytes that are not UTF-8 as U+FFFD.
void note(std::string_view message);

// Ends the program at once with status 2 after note(message).
[[noreturn]] void fail(std::string_view message);

}  // namespace cli
