// The verdict sentences in Traditional Chinese and English.
#include "rules/words.h"

#include "rules/kinds.h"

namespace rules {
namespace {

// The second characters allowed for `kinds`, as a sentence lists them.
std::string AllowedSeconds(Language language, KindSet kinds) {
  if (language == Language::ZhTw) {
    std::string male, female;
    for (const KindEntry& entry : kKinds) {
      const IdKind kind = entry.kind;
      if (!IsIdentityKind(kind) || (kinds & KindBit(kind)) == 0) continue;
      for (const char c : SecondCharacters(kind, Sex::Male)) (male += male.empty() ? "" : "、") += c;
      for (const char c : SecondCharacters(kind, Sex::Female))
        (female += female.empty() ? "" : "、") += c;
    }
    return "第二碼男性應為 " + male + "，女性應為 " + female;
  }
  constexpr std::pair<IdKind, std::string_view> kAllowed[] = {
      {IdKind::National, "1 or 2 (national)"},
      {IdKind::Resident, "8 or 9 (resident)"},
      {IdKind::ResidentOld, "A to D (resident-old)"}};
  std::string text;
  for (const auto& [kind, allowed] : kAllowed) {
    if ((kinds & KindBit(kind)) == 0) continue;
    text += text.empty() ? "" : ", ";
    text += allowed;
  }
  return "position 2 must be " + text;
}

std::string CategoryWords(Language language, Category category) {
  if (category == Category::None) return {};
  return (language == Language::ZhTw ? "，" : ", ") + std::string(CategoryLabel(language, category));
}

std::string ValidSentence(Language language, const IdVerdict& verdict) {
  const std::string letter(1, verdict.letter);
  const std::string place(verdict.place->name);
  const std::string category = CategoryWords(language, verdict.category);
  if (language == Language::En) {
    return "valid " + std::string(NameOf(verdict.kind)) + " number, " +
           std::string(NameOf(verdict.sex)) + ", " + letter + " " + place + category;
  }
  const std::string sex(verdict.sex == Sex::Male ? kMaleWord : kFemaleWord);
  const std::string start = "這是正確的" + sex + std::string(KindLabel(verdict.kind));
  if (verdict.kind == IdKind::National) return start + "戶籍地在" + place;
  return start + "，字首 " + letter + " 為" + place + category;
}

std::string OtherSentence(Language language, const IdVerdict& verdict, bool before2023) {
  const bool zh = language == Language::ZhTw;
  const RuleWords* rules = &EntryOf(verdict.kind).words;
  const std::string label(zh ? KindLabel(verdict.kind) : NameOf(verdict.kind));
  const std::string position = std::to_string(verdict.position);
  switch (verdict.reason) {
    case Reason::None:
      if (zh) return "這是正確的" + label;
      return "valid " + label + " number";
    case Reason::Length: return std::string(zh ? rules->zhLength : rules->enLength);
    case Reason::Check: {
      const std::string digit(1, static_cast<char>('0' + verdict.expected));
      if (zh) {
        return std::string(before2023 ? "統一編號檢查不符（2023 年前的規則：加總應為 10 的倍數），"
                                      : "統一編號檢查不符（加總應為 5 的倍數），") +
               "最後一碼可為" + digit;
      }
      return std::string(before2023 ? "check sum not a multiple of 10 (the rule before 2023)"
                                    : "check sum not a multiple of 5") +
             ", last digit could be " + digit;
    }
    default:
      if (zh) return std::string(rules->zhCharacter) + "，第 " + position + " 碼不符";
      return "position " + position + " " + std::string(rules->enCharacter);
  }
}

}  // namespace

std::string_view ReasonLabel(Language language, Reason reason) {
  if (language == Language::En) return NameOf(reason);
  switch (reason) {
    case Reason::Length: return "長度";
    case Reason::Letter: return "字首";
    case Reason::Second: return "第二碼";
    case Reason::Digit: return "數字";
    case Reason::Check: return "檢測碼";
    case Reason::Character: return "字元";
    case Reason::None: break;
  }
  return {};
}

std::string_view CategoryLabel(Language language, Category category) {
  const bool zh = language == Language::ZhTw;
  switch (category) {
    case Category::Foreign: return zh ? "外國人或無國籍人士" : "foreign or stateless";
    case Category::Unregistered: return zh ? "無戶籍國民" : "national without household registration";
    case Category::HongKongMacao: return zh ? "香港或澳門居民" : "from Hong Kong or Macao";
    case Category::MainlandChina: return zh ? "大陸地區人民" : "from mainland China";
    case Category::None: break;
  }
  return {};
}

std::string VerdictSentence(Language language, const IdVerdict& verdict, const KindChoice& choice) {
  const bool zh = language == Language::ZhTw;
  const KindSet kinds = choice.kinds;
  if (!IsIdentityKind(verdict.kind)) return OtherSentence(language, verdict, choice.before2023);
  const std::string position = std::to_string(verdict.position);
  switch (verdict.reason) {
    case Reason::None: return ValidSentence(language, verdict);
    case Reason::Length: return zh ? "號碼應為十個字元" : "not ten characters";
    case Reason::Letter:
      return zh ? std::string(kLetterRule) : "position 1 must be a capital letter A-Z";
    case Reason::Second:
      if (zh && kinds == KindBit(IdKind::National)) return std::string(kNationalSecondRule);
      return AllowedSeconds(language, kinds);
    case Reason::Digit:
      return zh ? std::string(kDigitRule) + "，第 " + position + " 碼不是"
                : "position " + position + " must be a digit 0-9";
    case Reason::Check: {
      const std::string digit(1, static_cast<char>('0' + verdict.expected));
      return zh ? std::string(kCheckDigitRule) + digit : "wrong check digit, expected " + digit;
    }
    case Reason::Character: break;
  }
  return {};
}

}  // namespace rules
