// The screen's words, as one table: the window and the browser page show them, so the two cannot
// drift apart. UTF-8, exactly as the window has always shown them.
#pragma once

#include <string_view>

#include "rules/words.h"

namespace words {

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
inline constexpr Text kMale = rules::kMaleWord;
inline constexpr Text kFemale = rules::kFemaleWord;
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
// What ends a prompt about a fault of form, and every caption that reports a completed action.
inline constexpr Text kDone = "!!";
inline constexpr Text kCutDone = "已經成功的將身分證字號移到剪貼簿中!!";
inline constexpr Text kCleared = "資料已清除!!";
inline constexpr Text kProduced = "產生了";
inline constexpr Text kProducedIn = "組戶籍地在";
inline constexpr Text kProducedUnspecified = "ＸＸＸ的Ｘ性身分證字號!!";
inline constexpr Text kOf = "的";
inline constexpr Text kProducedEnd = "身分證字號!!";
// A batch of resident numbers, whose holders have no household registration: its letter's place.
inline constexpr Text kProducedGroups = "組";
inline constexpr Text kLetterIs = "字首為";
inline constexpr Text kLetterAndSexUnspecified = "字首與性別不指定的";
inline constexpr Text kCopiedSelected = "已成功的將所選取的身分證字號複製到剪貼簿中!!";
inline constexpr Text kCopiedAll = "已成功的將全部的身分證字號複製到剪貼簿中!!";
inline constexpr Text kNothingSelected = "請先選取要複製的身分證字號";
inline constexpr Text kDecodedIn = "這是一位戶籍地在";
inline constexpr Text kOpenQuote = "「";
inline constexpr Text kCloseQuote = "」";
inline constexpr Text kSir = "的「先生」";
inline constexpr Text kMadam = "的「小姐」";
inline constexpr Text kLineBreak = "\r\n";

// The About window.
inline constexpr Text kAboutTitle = "關於作者";
inline constexpr Text kProgramNameIs = "程式名稱：";
inline constexpr Text kPurposeIs = "用途：";
inline constexpr Text kCompletedOn = "完成日期：1999/6/6";
inline constexpr Text kMailLabel = "E-Mail：";
inline constexpr Text kOk = "確定";
inline constexpr Text kNoMailProgram = "無法開啟郵件程式。\n請自行寫信至：";
inline constexpr Text kMailKey = "按 Alt+E 寄信給作者";

// The page's own: what the window shows without words.
inline constexpr Text kOptionsLegend = "產生與檢查的選項";
inline constexpr Text kSexName = "性別";
inline constexpr Text kKindName = "號碼種類";
inline constexpr Text kCategoryName = "居留證身分類別";
inline constexpr Text kAllCategories = "全部";
// The page's panel for the other numbers of a form.
inline constexpr Text kOtherLegend = "其他號碼";
inline constexpr Text kOtherKindName = "種類";
inline constexpr Text kOtherNumberName = "號碼";
inline constexpr Text kOtherNumberTip = "輸入要檢查的號碼";
inline constexpr Text kOtherCheck = "檢查";
inline constexpr Text kOtherCheckTip = "檢查這個號碼是否合於所選種類的規則";
inline constexpr Text kOtherProduce = "產生";
inline constexpr Text kOtherProduceTip = "產生十個所選種類的測試用號碼";
inline constexpr Text kOtherListName = "產生的號碼";
inline constexpr Text kOtherCopy = "複製";
inline constexpr Text kOtherCopyTip = "把產生的號碼全部複製到剪貼簿";
inline constexpr Text kOtherCopied = "已把產生的號碼複製到剪貼簿";
inline constexpr Text kOtherNoMobile = "不產生手機號碼：任何一個都可能是真實的人在用的號碼。";
inline constexpr int kOtherBatch = 10;
// Shown by the page until its module runs: a browser without WebAssembly or script keeps it.
inline constexpr Text kNeedsWebAssembly = "此頁需要 WebAssembly";
// Under the page's number list, where a phone shows no tooltip.
inline constexpr Text kDecodeHint = "按兩下號碼、點一下已選取的號碼或按 Enter，可得知此號碼的資訊";
inline constexpr Text kOffline = "這個頁面只在你的瀏覽器裡運作：不連線，也不傳送你輸入的任何資料。";

}  // namespace words
