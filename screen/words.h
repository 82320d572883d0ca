// The windows' own words, as one table: the windows show them and the browser page shows the
// same, so the two cannot drift apart. UTF-8, exactly as the design writes them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "rules/id_number.h"

namespace texts {

using Text = std::string_view;

// The main window: captions and tooltips.
inline constexpr Text kProgramPurpose = "身分證字號產生器";
inline constexpr Text kProduce = "產生號碼";
inline constexpr Text kProduceTip = "隨機產生正確的身分證字號";
inline constexpr Text kCheck = "檢測錯誤";
inline constexpr Text kCheckTip = "判斷所輸入的身分證字號是否有誤";
inline constexpr Text kClear = "清除號碼";
inline constexpr Text kClearTip = "清除所輸入的字";
inline constexpr Text kCut = "剪下號碼";
inline constexpr Text kCutTip = "剪下身分證字號至剪貼簿";
inline constexpr Text kMale = "男性";
inline constexpr Text kFemale = "女性";
inline constexpr Text kNumberTip = "此欄位為資料輸入欄";
inline constexpr Text kPlaceTip = "選擇身分證字號的出生地";
inline constexpr Text kHowmuchTip = "選擇產生1~100組身分證字號的數量";
inline constexpr Text kDecodeTip = "按兩下可得知此號碼的資訊";
inline constexpr Text kCopy = "複製";
inline constexpr Text kCopyTip = "複製所選取的字號(配合Ctrl和Shift鍵)";
inline constexpr Text kSelectall = "全部";
inline constexpr Text kSelectallTip = "將全部的號碼複製到剪貼簿中";
inline constexpr Text kAbout = "關於";
inline constexpr Text kAboutTip = "關於作者";
inline constexpr Text kWholeCountryPostal = "全省郵遞區號";
inline constexpr Text kPostalSuffix = "郵遞區號";
inline constexpr Text kPostalTip = "符合你所選擇出生地的郵遞區號";
inline constexpr Text kAreacodeTip = "符合你所選擇出生地的區域碼";
inline constexpr Text kAreacodeLabel = "區碼：";
inline constexpr int kBatchSizes[] = {1, 5, 10, 20, 50, 100};

// What a screen reader names the controls that have no caption.
inline constexpr Text kNumberName = "身分證字號";
inline constexpr Text kPlaceName = "出生地";
inline constexpr Text kHowmuchName = "產生數量";
inline constexpr Text kListName = "產生的身分證字號";

// The main window: messages, and the pieces the handlers build them from.
inline constexpr Text kWelcome = "歡迎使用";
inline constexpr Text kErrorTitle = "<錯誤>";
inline constexpr Text kLetterPrompt = "身分證第一碼應為大寫英文字母!!";
inline constexpr Text kSexPrompt = "身分證第二碼男性應為１、女性應為２!!";
inline constexpr Text kDigitPrompt = "身分證第三碼到第十碼應為數字０～９!!";
inline constexpr Text kCheckDigitShouldBe = "最後一碼檢測碼應為";
inline constexpr Text kValidMale = "這是正確的男性身分證字號";
inline constexpr Text kValidFemale = "這是正確的女性身分證字號";
inline constexpr Text kRegisteredIn = "戶籍地在";
inline constexpr Text kCutDone = "已經成功的將身分證字號移到剪貼簿中!!";
inline constexpr Text kCleared = "資料已清除!!";
inline constexpr Text kProduced = "產生了";
inline constexpr Text kProducedIn = "組戶籍地在";
inline constexpr Text kProducedUnspecified = "ＸＸＸ的Ｘ性身分證字號!!";
inline constexpr Text kOf = "的";
inline constexpr Text kProducedEnd = "身分證字號!!";
inline constexpr Text kCopiedSelected = "已成功的將所選取的身分證字號複製到剪貼簿中!!";
inline constexpr Text kCopiedAll = "已成功的將全部的身分證字號複製到剪貼簿中!!";
inline constexpr Text kNothingSelected = "請先選取要複製的身分證字號";
inline constexpr Text kDecodedIn = "這是一位戶籍地在";
inline constexpr Text kOpenQuote = "「";
inline constexpr Text kCloseQuote = "」";
inline constexpr Text kSir = "的「先生」";
inline constexpr Text kMadam = "的「小姐」";
inline constexpr Text kLineBreak = "\r\n";

// A fault of form in a typed number: the prompt shown in a box, and the characters selected
// after it (first position, how many). Other verdicts are not faults of form.
struct FormFault {
  Text prompt;
  int first;
  int count;
};

constexpr std::optional<FormFault> FormFaultOf(rules::VerdictKind kind) {
  switch (kind) {
    case rules::VerdictKind::BadLetter: return FormFault{kLetterPrompt, 1, 1};
    case rules::VerdictKind::BadSex: return FormFault{kSexPrompt, 2, 1};
    case rules::VerdictKind::BadDigit: return FormFault{kDigitPrompt, 3, 8};
    default: return std::nullopt;
  }
}

// The caption after 檢測錯誤 finds a wrong check digit.
inline std::string CheckDigitCaption(int expected) {
  return std::string(kCheckDigitShouldBe) + std::to_string(expected);
}

// The caption after 檢測錯誤 finds a valid number registered in `place`.
inline std::string ValidCaption(bool male, std::string_view place) {
  return std::string(male ? kValidMale : kValidFemale) + std::string(kRegisteredIn) +
         std::string(place);
}

// The caption 產生號碼 leaves after a batch of `count`: the place and sex of the last number,
// or the placeholder when no place was chosen and the batch has more than one. `end` names
// the kind of number.
inline std::string ProducedCaption(int count, bool unspecified, std::string_view place,
                                   bool male, Text end = kProducedEnd) {
  std::string caption = std::string(kProduced) + std::to_string(count) +
                        std::string(kProducedIn) + std::string(kLineBreak);
  if (unspecified && count != 1) return caption + std::string(kProducedUnspecified);
  return caption + std::string(place) + std::string(kOf) +
         std::string(male ? kMale : kFemale) + std::string(end);
}

// The caption for a number chosen from the list: where it is registered and whose it is.
inline std::string DecodedCaption(std::string_view place, bool male) {
  return std::string(kDecodedIn) + std::string(kLineBreak) + std::string(kOpenQuote) +
         std::string(place) + std::string(kCloseQuote) + std::string(male ? kSir : kMadam);
}

// The About window.
inline constexpr Text kAboutTitle = "關於作者";
inline constexpr Text kProgramNameIs = "程式名稱：";
inline constexpr Text kPurposeIs = "用途：";
inline constexpr Text kCompletedOn = "完成日期：1999/6/6";
inline constexpr Text kMailLabel = "E-Mail：";
inline constexpr Text kOk = "確定";
inline constexpr Text kNoMailProgram = "無法開啟郵件程式。\n請自行寫信至：";
inline constexpr Text kMailKey = "按 Alt+E 寄信給作者";

}  // namespace texts
