// The words of taloma-id in Traditional Chinese and English.
#include "cli/messages.h"

#include <cstdlib>

namespace cli {
namespace {

using rules::IdKind;
using rules::Reason;
using rules::Sex;

constexpr Messages kChinese = {
    "taloma-id：檢測、產生並列出台灣身分證字號與居留證號（舊式、新式）。",
    "逐行檢測號碼，說明第一個不符合的規則",
    "產生正確的號碼，可指定種類、地區、性別與種子",
    "列出 26 個字首的地區，或各地的郵遞區號",
    "顯示這份說明後結束",
    "顯示版本後結束",
    "輸出格式：text、tsv、csv 或 jsonl（預設 text）",
    "tsv 與 csv 不輸出標題列",
    "說明與訊息的語言：zh-TW 或 en（預設依 LC_ALL、LC_MESSAGES、LANG）",
    "要檢測的號碼；未給號碼也未給 --input 時讀取標準輸入",
    "從檔案逐行讀取號碼，可重複，- 代表標準輸入",
    "接受的種類，以逗號分隔：national、resident、resident-old（預設全部）",
    "檢測前去掉前後空白，並將 a–z 轉為大寫",
    "只輸出不正確的號碼",
    "不輸出任何內容，只以結束狀態回報",
    "產生的數量（預設 1）",
    "隨機種子（無號 64 位元整數）；同一種子與選項產生完全相同的結果",
    "種類：national、resident 或 resident-old（預設 national）",
    "地區：以逗號分隔的字母或地名，例如 A,F 或 台北市（預設全部 26 個字母）",
    "性別：male 或 female（預設兩者機率相同）",
    "改為每個郵遞區號一列",
    "結束狀態：0 全部正確，1 有不正確的號碼，2 用法錯誤或無法讀取輸入。\n"
    "原因代碼依序為 length、letter、second、digit、check。",
    "產生器：xoshiro256**，由 SplitMix64 從 --seed 展開初始狀態；範圍取值用 Lemire 的無偏方法。",
    "選項",
    "子命令",
    "用法",
    "選項",
    "子命令",
    "引數",
    "請執行「%1 --help」查看用法。",
    "數量「%1」無效：應為 0 到 18446744073709551615 的整數",
    "種子「%1」無效：應為 0 到 18446744073709551615 的整數",
    "不明的地區「%1」：請用 A～Z 的字母或地名，例如 台北市",
    "不明的種類「%1」：應為 national、resident 或 resident-old",
    "不明的性別「%1」：應為 male 或 female",
    "不明的格式「%1」：應為 text、tsv、csv 或 jsonl",
    "不明的語言「%1」：應為 zh-TW 或 en",
    "引數有誤：%1",
    "請指定子命令：check、gen 或 places",
    "無法讀取 %1：%2",
    "已產生 %1 個號碼（每秒 %2 百萬個）",
};

constexpr Messages kEnglish = {
    "taloma-id: check, generate and list Taiwanese identity-card and resident-certificate numbers.",
    "Check numbers, one per line, naming the first rule each breaks",
    "Generate valid numbers of a chosen kind, place, sex and seed",
    "List the places of the 26 letters, or their postal districts",
    "Print this help and exit",
    "Print the version and exit",
    "Output format: text, tsv, csv or jsonl (default text)",
    "No header line in tsv and csv",
    "Language of help and messages: zh-TW or en (default from LC_ALL, LC_MESSAGES, LANG)",
    "Numbers to check; with neither NUMBER nor --input, standard input is read",
    "Read numbers from FILE, one per line; repeatable; - is standard input",
    "Kinds accepted, comma-separated: national, resident, resident-old (default all)",
    "Trim surrounding white space and upper-case a-z before checking",
    "Print only the invalid numbers",
    "Print nothing; the exit status tells",
    "How many numbers (default 1)",
    "Seed (unsigned 64-bit); the same seed and options give the same output",
    "Kind: national, resident or resident-old (default national)",
    "Places: comma-separated letters or place names such as A,F or 台北市 (default all 26)",
    "Sex: male or female (default either, with equal chance)",
    "One row per postal district instead",
    "Exit status: 0 all valid, 1 any invalid, 2 usage error or unreadable input.\n"
    "Reasons, in the order tried: length, letter, second, digit, check.",
    "Generator: xoshiro256** seeded from --seed through SplitMix64; Lemire's unbiased bounded "
    "draw.",
    "Options",
    "Commands",
    "Usage",
    "OPTIONS",
    "COMMAND",
    "Arguments",
    "Try '%1 --help' for more information.",
    "invalid count '%1': give a whole number from 0 to 18446744073709551615",
    "invalid seed '%1': give a whole number from 0 to 18446744073709551615",
    "unknown place '%1': give letters A-Z or place names such as 台北市",
    "unknown kind '%1': national, resident or resident-old",
    "unknown sex '%1': male or female",
    "unknown format '%1': text, tsv, csv or jsonl",
    "unknown language '%1': zh-TW or en",
    "%1",
    "a command is needed: check, gen or places",
    "cannot read %1: %2",
    "%1 numbers (%2 M/s)",
};

// The second characters allowed for `kinds`, as a sentence's list.
std::string allowedSeconds(Language language, rules::KindSet kinds) {
  std::string text;
  if (language == Language::ZhTw) {
    std::string male, female;
    for (const IdKind kind : {IdKind::National, IdKind::Resident, IdKind::ResidentOld}) {
      if ((kinds & rules::kindBit(kind)) == 0) continue;
      for (const char c : rules::SecondCharacters(kind, Sex::Male))
        (male += male.empty() ? "" : "、") += c;
      for (const char c : rules::SecondCharacters(kind, Sex::Female))
        (female += female.empty() ? "" : "、") += c;
    }
    return "第二碼男性應為 " + male + "，女性應為 " + female;
  }
  constexpr std::pair<IdKind, const char*> kAllowed[] = {
      {IdKind::National, "1 or 2 (national)"},
      {IdKind::Resident, "8 or 9 (resident)"},
      {IdKind::ResidentOld, "A to D (resident-old)"}};
  for (const auto& [kind, allowed] : kAllowed) {
    if ((kinds & rules::kindBit(kind)) == 0) continue;
    text += text.empty() ? "" : ", ";
    text += allowed;
  }
  return "position 2 must be " + text;
}

}  // namespace

std::optional<Language> languageNamed(std::string_view name) {
  if (name == "zh-TW") return Language::ZhTw;
  if (name == "en") return Language::En;
  return std::nullopt;
}

Language languageOfEnvironment() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') continue;
    return std::string_view(value).starts_with("zh") ? Language::ZhTw : Language::En;
  }
  return Language::En;
}

const Messages& messagesIn(Language language) {
  return language == Language::ZhTw ? kChinese : kEnglish;
}

std::string filled(std::string_view pattern, std::string_view first, std::string_view second) {
  std::string text;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size() &&
        (pattern[i + 1] == '1' || pattern[i + 1] == '2')) {
      text += pattern[++i] == '1' ? first : second;
    } else {
      text += pattern[i];
    }
  }
  return text;
}

std::string verdictText(Language language, const rules::IdVerdict& verdict, rules::KindSet kinds,
                        std::string_view placeName) {
  const bool zh = language == Language::ZhTw;
  const std::string position = std::to_string(verdict.position);
  switch (verdict.reason) {
    case Reason::None: {
      const std::string letter(1, verdict.letter);
      if (zh) {
        const std::string sex = verdict.sex == Sex::Male ? "男性" : "女性";
        switch (verdict.kind) {
          case IdKind::National:
            return "這是正確的" + sex + "身分證字號戶籍地在" + std::string(placeName);
          case IdKind::Resident:
            return "這是正確的" + sex + "新式居留證號，字首 " + letter + " 為" +
                   std::string(placeName);
          case IdKind::ResidentOld:
            return "這是正確的" + sex + "舊式居留證號，字首 " + letter + " 為" +
                   std::string(placeName);
        }
      }
      return "valid " + std::string(kindName(verdict.kind)) + " number, " +
             std::string(sexName(verdict.sex)) + ", " + letter + " " + std::string(placeName);
    }
    case Reason::Length: return zh ? "號碼應為十個字元" : "not ten characters";
    case Reason::Letter:
      return zh ? "身分證第一碼應為大寫英文字母" : "position 1 must be a capital letter A-Z";
    case Reason::Second:
      if (zh && kinds == rules::kindBit(IdKind::National))
        return "身分證第二碼男性應為１、女性應為２";
      return allowedSeconds(language, kinds);
    case Reason::Digit:
      return zh ? "身分證第三碼到第十碼應為數字０～９，第 " + position + " 碼不是"
                : "position " + position + " must be a digit 0-9";
    case Reason::Check: {
      const std::string digit(1, static_cast<char>('0' + verdict.expected));
      return zh ? "最後一碼檢測碼應為" + digit : "wrong check digit, expected " + digit;
    }
  }
  return {};
}

std::string_view kindName(IdKind kind) {
  switch (kind) {
    case IdKind::National: return "national";
    case IdKind::Resident: return "resident";
    case IdKind::ResidentOld: return "resident-old";
  }
  return {};
}

std::string_view sexName(Sex sex) { return sex == Sex::Male ? "male" : "female"; }

std::string_view reasonName(Reason reason) {
  switch (reason) {
    case Reason::None: return {};
    case Reason::Length: return "length";
    case Reason::Letter: return "letter";
    case Reason::Second: return "second";
    case Reason::Digit: return "digit";
    case Reason::Check: return "check";
  }
  return {};
}

}  // namespace cli
