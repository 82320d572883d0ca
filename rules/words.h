// The words of a verdict, in Traditional Chinese and in English, shared by the command line, the
// C interface and the browser page; and the names of sexes, categories and reasons in their
// machine forms (the kinds' are in their registry, rules/kinds.h). The window keeps its own.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "rules/id_kinds.h"

namespace rules {

enum class Language : std::uint8_t { ZhTw, En };

// A value with its name: one table per enum serves parsing, help texts and output alike.
template <typename Enum>
struct Named {
  std::string_view name;
  Enum value;
};

inline constexpr Named<Sex> kSexNames[] = {{"male", Sex::Male}, {"female", Sex::Female}};
inline constexpr Named<Category> kCategoryNames[] = {{"foreign", Category::Foreign},
                                                     {"unregistered", Category::Unregistered},
                                                     {"hong-kong-macao", Category::HongKongMacao},
                                                     {"mainland-china", Category::MainlandChina}};
// In the order the rules are tried.
inline constexpr Named<Reason> kReasonNames[] = {{"length", Reason::Length},
                                                 {"letter", Reason::Letter},
                                                 {"second", Reason::Second},
                                                 {"digit", Reason::Digit},
                                                 {"check", Reason::Check},
                                                 {"character", Reason::Character}};

// The name of `value` in `names`; empty when it has none (Reason::None, Category::None).
template <typename Enum>
constexpr std::string_view NameOf(std::span<const Named<Enum>> names, Enum value) noexcept {
  for (const Named<Enum>& named : names) {
    if (named.value == value) return named.name;
  }
  return {};
}
constexpr std::string_view NameOf(Sex sex) noexcept { return NameOf<Sex>(kSexNames, sex); }
constexpr std::string_view NameOf(Category c) noexcept { return NameOf<Category>(kCategoryNames, c); }
constexpr std::string_view NameOf(Reason reason) noexcept {
  return NameOf<Reason>(kReasonNames, reason);
}

// "national, resident or resident-old": the names of a table as a sentence lists them.
template <typename Enum>
std::string NameList(std::span<const Named<Enum>> names, Language language) {
  std::string list;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) {
      const bool last = i + 1 == names.size();
      list += language == Language::ZhTw ? (last ? " 或 " : "、") : (last ? " or " : ", ");
    }
    list += names[i].name;
  }
  return list;
}

// The rules in the window's own Chinese sentences, which its prompts and captions are made of.
inline constexpr std::string_view kLetterRule = "身分證第一碼應為大寫英文字母";
inline constexpr std::string_view kNationalSecondRule = "身分證第二碼男性應為１、女性應為２";
inline constexpr std::string_view kDigitRule = "身分證第三碼到第十碼應為數字０～９";
inline constexpr std::string_view kCheckDigitRule = "最後一碼檢測碼應為";
inline constexpr std::string_view kMaleWord = "男性";
inline constexpr std::string_view kFemaleWord = "女性";

// A resident category as people name it: 外國人或無國籍人士, "foreign or stateless", ...
std::string_view CategoryLabel(Language language, Category category);

// A reason as a count names it: its machine name in English, 長度, 字首, ... in Chinese.
std::string_view ReasonLabel(Language language, Reason reason);

// The verdict in a sentence: the window's own wording in Chinese where it has one. `choice` holds
// the kinds asked for, which decide what a wrong second character should have been, and the rule
// 統一編號 were checked by.
std::string VerdictSentence(Language language, const IdVerdict& verdict, const KindChoice& choice);

}  // namespace rules
