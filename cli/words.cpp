// The words of taloma-id in Traditional Chinese and English.
#include "cli/words.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "cli/platform.h"
#include "cli/rows.h"

namespace cli {
namespace {

constexpr Words kChinese{
    .language = Language::ZhTw,
    .program = "taloma-id：檢查、產生並列出臺灣身分證字號與居留證號（舊式、新式）。",
    .check = "逐行檢查號碼，說明第一個不符合的規則",
    .gen = "產生正確的號碼，可指定種類、地區、性別與種子",
    .places = "列出 26 個字首的地區，或各地的郵遞區號",
    .scan = "在任何文字中找出號碼（CSV、紀錄檔、文件；半形或全形）",
    .key = "寫出一把新的假名金鑰（--pseudonymize 與 --reveal 用）",
    .help = "顯示這份說明後結束",
    .version = "顯示版本後結束",
    .format = "輸出格式：%1（預設 text）",
    .noHeader = "tsv 與 csv 不輸出標題列",
    .lang = "說明與訊息的語言：zh-TW 或 en（預設依 LC_ALL、LC_MESSAGES、LANG）",
    .numbers = "要檢查的號碼；未給號碼也未給 --input 時讀取標準輸入",
    .input = "從檔案逐行讀取號碼，可重複，- 代表標準輸入",
    .kinds = "接受的種類，以逗號分隔：%1（預設 national、resident、resident-old 三種身分號碼）",
    .normalize = "檢查前去掉前後空白與看不見的字元，全形轉半形，a–z 轉為大寫",
    .quiet = "只輸出不正確的號碼，並標出行號",
    .status = "不輸出任何內容，只以結束狀態回報",
    .count = "只輸出正確與不正確的數量，不正確的依原因分列",
    .lineBuffered = "每讀一行就輸出結果（輸出到終端機時一律如此）",
    .genCount = "產生的數量（預設 1）",
    .seed = "隨機種子（無號 64 位元整數）；同一種子與選項產生完全相同的結果",
    .kind = "種類：%1（預設 national）",
    .place = "地區：以逗號分隔的字母或地名，例如 A,F、臺北市 或 新北市（預設全部 26 個字母）",
    .sex = "性別：%1（預設兩者機率相同）",
    .category = "新式居留證的身分類別，以逗號分隔：%1（預設全部）",
    .unique = "同一次產生的號碼不重複（由種子決定的排列，不佔額外記憶體）",
    .current = "只用現在仍在核發的字首（不含 L、R、S、Y）",
    .before2023 = "統一編號依 2023 年 4 月以前的規則檢查（加總為 10 的倍數）",
    .since2023 = "產生只合 2023 年新規則（加總為 5 的倍數）、不合舊規則的統一編號",
    .postal = "改為每個郵遞區號一列",
    .files = "要搜尋的檔案；未給檔案時讀取標準輸入，- 代表標準輸入",
    .nearMisses = "也列出外形像號碼但不正確的，並說明原因",
    .redact = "原樣輸出輸入內容，只把正確的號碼遮蔽為字首加九個 *（加上 -a 時，不正確的也遮蔽）",
    .pseudonymize = "原樣輸出輸入內容，把每個正確的號碼換成同種類、同寫法、也正確的假名：同一金鑰下同一號碼的假名"
                    "相同，不同號碼的假名不同，可用 --reveal 換回（需 --key-file）",
    .reveal = "把 --pseudonymize 寫出的假名換回原來的號碼（需 --key-file 及寫出時的選項）",
    .keyFile = "假名的金鑰檔（以 taloma-id key 產生）",
    .context = "另一組假名：同一金鑰下，不同 TEXT 的假名互不相同（例如每個資料表或專案一個）",
    .keyTarget = "要寫出的金鑰檔；已存在的檔案不覆寫",
    .scanNormalize = "號碼中間夾著看不見的字元（零寬空格、軟連字號等）或字母為小寫時也找得到",
    .scanCount = "只輸出找到的數量，不正確的依原因分列",
    .labelled = "統一編號、自然人憑證與捐贈碼只在有標籤時才算：同一行或上一行、號碼前 20 個字元內有"
                "「統編」「憑證」「捐贈碼」等字，或所在欄位的 CSV、TSV 標題有",
    .encoding = "以 %1 讀取輸入（預設依位元組順序記號或 NUL 認出 UTF-16；第一段含非 ASCII 位元組的內容"
                "不是 UTF-8 而是 Big5 時以 Big5 讀取；其餘為 UTF-8）",
    .checkFooter = "結束狀態：0 全部正確，1 有不正確的號碼，2 用法錯誤或無法讀取輸入。\n"
                   "原因代碼依序為 length、letter、second、digit、check、character。",
    .genFooter = "產生器：xoshiro256**，由 SplitMix64 從 --seed 展開初始狀態；範圍取值用 "
                 "Lemire 的無偏方法。",
    .scanFooter = "結束狀態：0 找到號碼，1 沒有找到，2 用法錯誤或無法讀取輸入。\n"
                  "號碼前後須不緊鄰英文字母或數字；行與欄從 1 起算，欄以字元計。",
    .keyFooter = "金鑰是 64 個十六進位字元加一個換行，取自系統的亂數來源，檔案只有擁有者可讀寫。\n"
                 "持有金鑰的人可以把所有假名換回原來的號碼：請妥善保管，不要放進版本控制。",
    .optionsGroup = "選項",
    .commandsGroup = "子命令",
    .usageLabel = "用法",
    .optionsLabel = "選項",
    .commandLabel = "子命令",
    .argumentsLabel = "引數",
    .numberValue = "號碼",
    .fileValue = "檔案",
    .listValue = "清單",
    .formatValue = "格式",
    .langValue = "語言",
    .countValue = "數量",
    .seedValue = "種子",
    .kindValue = "種類",
    .sexValue = "性別",
    .encodingValue = "編碼",
    .textValue = "文字",
    .hint = "請執行「%1 --help」查看用法。",
    .badCount = "數量「%1」無效：應為 0 到 18446744073709551615 的整數",
    .badSeed = "種子「%1」無效：應為 0 到 18446744073709551615 的整數",
    .badPlace = "不明的地區「%1」：請用 A～Z 的字母或地名，例如 臺北市",
    .badChoice = "不明的%1「%2」：應為 ",
    .badLanguage = "不明的語言「%1」：應為 zh-TW 或 en",
    .unexpected = "無法辨識的引數：%1",
    .needsValue = "選項 %1 需要一個值",
    .givenTwice = "選項 %1 只能給一次",
    .badArguments = "無法解讀這些引數",
    .noCommand = "請指定子命令：check、gen、places、scan 或 key",
    .categoryNeedsResident = "--category 只用於新式居留證號（-k resident）",
    .identityOnly = "%1 只用於身分證字號與居留證號",
    .noMobileNumbers = "不產生手機號碼：任何一個都可能是真實的人在用的號碼",
    .sinceNeedsBusiness = "--since-2023 只用於統一編號（-k business）",
    .notCurrent = "--current 不含已不再核發的字首：%1",
    .redactAlone = "--redact 原樣輸出輸入內容，不能與 -c、-f 或 --no-header 一起用",
    .rewriteAlone = "--pseudonymize 與 --reveal 原樣輸出輸入內容，不能與 -c、-f、--no-header 或 --redact 一起用",
    .oneWay = "--pseudonymize 與 --reveal 只能擇一",
    .needsKey = "%1 需要金鑰檔 --key-file（以 taloma-id key 檔案 產生）",
    .keyUnused = "--key-file 與 --context 只用於 --pseudonymize 或 --reveal",
    .notAKey = "%1 不是金鑰檔：檔案內容應只有 64 個十六進位字元加一個換行",
    .keyReadable = "警告：其他使用者可以讀取金鑰檔 %1；請執行 chmod 600 %1",
    .keyExists = "%1 已存在；taloma-id key 不覆寫檔案",
    .keyWritten = "已把新金鑰寫到 %1：持有它的人可以換回所有假名，請妥善保管",
    .cannotCreate = "無法建立 %1：%2",
    .noRandom = "系統的亂數來源沒有提供位元組",
    .noAes = "系統沒有提供 AES-256：%1",
    .pseudonymSummary = "已換成假名 %1 個；遮蔽 %2 個，無法換回（不正確的號碼、三到五碼的捐贈碼等）",
    .revealSummary = "已換回 %1 個號碼；遮蔽 %2 個",
    .undecodable = "%1：第 %2 行有不是 UTF-8、UTF-16 或 Big5 文字的位元組，每個位元組各算一個字元",
    .readAsBig5 = "%1：不是 UTF-8，以 Big5（950 字碼頁）讀取；要以其他編碼讀取請用 --encoding",
    .tooFew = "這些條件只有 %1 個不同的號碼，無法產生更多不重複的號碼",
    .tooFewBusiness = "產生器只從 %1 個統一編號中抽取（前七碼每種一個），無法產生更多不重複的號碼",
    .isFile = "「%1」是一個檔案；要檢查檔案中的號碼，請用 -i %1",
    .cannotRead = "無法讀取 %1：%2",
    .cannotWrite = "無法寫入標準輸出：%1",
    .progress = "已產生 %1 個號碼（每秒 %2 百萬個）",
    .summary = "正確 %1 個，不正確 %2 個",
    .formatWord = "格式",
    .kindWord = "種類",
    .sexWord = "性別",
    .categoryWord = "身分類別",
    .encodingWord = "編碼",
};

constexpr Words kEnglish{
    .language = Language::En,
    .program =
        "taloma-id: check, generate and list Taiwanese identity-card and resident-certificate "
        "numbers.",
    .check = "Check numbers, one per line, naming the first rule each breaks",
    .gen = "Generate valid numbers of a chosen kind, place, sex and seed",
    .places = "List the places of the 26 letters, or their postal districts",
    .scan = "Find the numbers in any text (CSV, logs, documents; ASCII or full-width)",
    .key = "Write a new key for the pseudonyms of --pseudonymize and --reveal",
    .help = "Print this help and exit",
    .version = "Print the version and exit",
    .format = "Output format: %1 (default text)",
    .noHeader = "No header line in tsv and csv",
    .lang = "Language of help and messages: zh-TW or en (default from LC_ALL, LC_MESSAGES, LANG)",
    .numbers = "Numbers to check; with neither NUMBER nor --input, standard input is read",
    .input = "Read numbers from FILE, one per line; repeatable; - is standard input",
    .kinds = "Kinds accepted, comma-separated: %1 (default the identity kinds national, resident, resident-old)",
    .normalize = "Before checking, trim white space, drop invisible characters, turn full-width "
                 "letters and digits into ASCII and upper-case a-z",
    .quiet = "Print only the invalid numbers, with their line numbers",
    .status = "Print nothing; the exit status tells",
    .count = "Print only how many are valid and invalid, the invalid by reason",
    .lineBuffered = "Write each verdict as soon as its line is read (always so on a terminal)",
    .genCount = "How many numbers (default 1)",
    .seed = "Seed (unsigned 64-bit); the same seed and options give the same output",
    .kind = "Kind: %1 (default national)",
    .place =
        "Places: comma-separated letters or place names such as A,F, 臺北市 or 新北市 (default "
        "all 26)",
    .sex = "Sex: %1 (default either, with equal chance)",
    .category = "Holder categories of resident numbers, comma-separated: %1 (default all)",
    .unique = "No number twice in one run (a permutation chosen by the seed, in constant memory)",
    .current = "Only letters still issued today (not L, R, S or Y)",
    .before2023 = "Check business numbers by the rule before April 2023 (sum a multiple of 10)",
    .since2023 = "Business numbers valid by the 2023 rule (sum a multiple of 5) but not by the older one",
    .postal = "One row per postal district instead",
    .files = "Files to search; with none, standard input is read; - is standard input",
    .nearMisses = "Also report what looks like a number but is not valid, with the reason",
    .redact = "Write the input back as it is, with each valid number masked as its letter and "
              "nine * (with -a, the invalid ones too)",
    .pseudonymize = "Write the input back with each valid number replaced by a valid pseudonym of its "
                    "kind, written the same way: the same number gets the same pseudonym under one "
                    "key, two numbers never the same one, and --reveal turns it back (needs --key-file)",
    .reveal = "Turn the pseudonyms that --pseudonymize wrote back into the numbers (needs --key-file "
              "and the options they were written with)",
    .keyFile = "The pseudonyms' key, a file that taloma-id key wrote",
    .context = "A separate family of pseudonyms under the same key, one for each TEXT (a table, a "
               "project)",
    .keyTarget = "The key file to write; an existing file is never overwritten",
    .scanNormalize = "Also find numbers with invisible characters inside them (zero-width spaces, "
                     "soft hyphens and the like) or letters in lower case",
    .scanCount = "Print only how many numbers were found, the invalid ones by reason",
    .labelled = "Business numbers, certificates and donation codes count only with a label: 統編, "
                "憑證, 捐贈碼 and the like within 20 characters before them on their line or the "
                "line before, or in their column's CSV or TSV header",
    .encoding = "Read the input as %1 (default: UTF-16 by its byte-order mark or its NULs; Big5 when "
                "the first part that is not ASCII is not UTF-8 but reads as Big5; else UTF-8)",
    .checkFooter = "Exit status: 0 all valid, 1 any invalid, 2 usage error or unreadable input.\n"
                   "Reasons, in the order tried: length, letter, second, digit, check, character.",
    .genFooter = "Generator: xoshiro256** seeded from --seed through SplitMix64; Lemire's "
                 "unbiased bounded draw.",
    .scanFooter = "Exit status: 0 a number was found, 1 none, 2 usage error or unreadable input.\n"
                  "A number stands alone: no letter or digit touches it. Lines and columns count "
                  "from 1, columns in characters.",
    .keyFooter = "A key is 64 hexadecimal characters and a newline from the system's random source, in "
                 "a file that only its owner may read and write.\nWhoever holds the key can turn every "
                 "pseudonym back into its number: keep it safe, and out of version control.",
    .optionsGroup = "Options",
    .commandsGroup = "Commands",
    .usageLabel = "Usage",
    .optionsLabel = "OPTIONS",
    .commandLabel = "COMMAND",
    .argumentsLabel = "Arguments",
    .numberValue = "NUMBER",
    .fileValue = "FILE",
    .listValue = "LIST",
    .formatValue = "FORMAT",
    .langValue = "LANG",
    .countValue = "N",
    .seedValue = "S",
    .kindValue = "KIND",
    .sexValue = "SEX",
    .encodingValue = "ENCODING",
    .textValue = "TEXT",
    .hint = "Try '%1 --help' for more information.",
    .badCount = "invalid count '%1': give a whole number from 0 to 18446744073709551615",
    .badSeed = "invalid seed '%1': give a whole number from 0 to 18446744073709551615",
    .badPlace = "unknown place '%1': give letters A-Z or place names such as 台北市",
    .badChoice = "unknown %1 '%2': ",
    .badLanguage = "unknown language '%1': zh-TW or en",
    .unexpected = "The following argument was not expected: %1",
    .needsValue = "%1 needs a value",
    .givenTwice = "%1 is given more than once",
    .badArguments = "%1",
    .noCommand = "a command is needed: check, gen, places, scan or key",
    .categoryNeedsResident = "--category is for resident numbers only (-k resident)",
    .identityOnly = "%1 is for identity and resident numbers only",
    .noMobileNumbers = "mobile numbers are not generated: any of them may be a real person's",
    .sinceNeedsBusiness = "--since-2023 is for business numbers only (-k business)",
    .notCurrent = "--current leaves out the letters no longer issued: %1",
    .redactAlone = "--redact writes the input back as it was; it takes no -c, -f or --no-header",
    .rewriteAlone = "--pseudonymize and --reveal write the input back; they take no -c, -f, --no-header "
                    "or --redact",
    .oneWay = "give --pseudonymize or --reveal, not both",
    .needsKey = "%1 needs a key: --key-file FILE (make one with taloma-id key FILE)",
    .keyUnused = "--key-file and --context go with --pseudonymize or --reveal",
    .notAKey = "%1 is not a key file: it must hold 64 hexadecimal characters and a newline, nothing else",
    .keyReadable = "warning: other users may read the key file %1; run chmod 600 %1",
    .keyExists = "%1 exists; taloma-id key never overwrites a file",
    .keyWritten = "wrote a new key to %1: whoever holds it can reveal every pseudonym; keep it safe",
    .cannotCreate = "cannot create %1: %2",
    .noRandom = "the system's random source gave no bytes",
    .noAes = "the system gives no AES-256: %1",
    .pseudonymSummary = "pseudonymized: %1, masked: %2 (near misses, 捐贈碼 of three to five digits: "
                        "these cannot be revealed)",
    .revealSummary = "revealed: %1, masked: %2",
    .undecodable = "%1: line %2 holds bytes that are not UTF-8, UTF-16 or Big5 text; each counts "
                   "as one character",
    .readAsBig5 = "%1: not UTF-8, read as Big5 (code page 950); give --encoding to read it otherwise",
    .tooFew = "only %1 different numbers exist for these choices; --unique cannot give more",
    .tooFewBusiness = "gen draws from %1 business numbers, one for each choice of the first seven "
                      "digits; --unique cannot give more",
    .isFile = "'%1' is a file; to check the numbers in it, give -i %1",
    .cannotRead = "cannot read %1: %2",
    .cannotWrite = "cannot write to standard output: %1",
    .progress = "%1 numbers (%2 M/s)",
    .summary = "%1 valid, %2 invalid",
    .formatWord = "format",
    .kindWord = "kind",
    .sexWord = "sex",
    .categoryWord = "category",
    .encodingWord = "encoding",
};

// The system's reasons we name ourselves, so that they read the same on every system and in
// both languages.
struct Reason {
  int error;
  const char* english;
  const char* chinese;
};
constexpr Reason kReasons[] = {
    {ENOENT, "No such file or directory", "沒有這個檔案或目錄"},
    {EACCES, "Permission denied", "沒有權限"},
    {EPERM, "Operation not permitted", "不允許這項操作"},
    {EISDIR, "Is a directory", "這是一個目錄"},
    {ENOTDIR, "Not a directory", "路徑中有一段不是目錄"},
    {ENOSPC, "No space left on device", "裝置上已沒有空間"},
    {EIO, "Input/output error", "輸入輸出錯誤"},
    {ENAMETOOLONG, "File name too long", "檔名太長"},
    {ELOOP, "Too many levels of symbolic links", "符號連結的層數太多"},
    {EMFILE, "Too many open files", "開啟的檔案太多"},
    {EFBIG, "File too large", "檔案太大"},
    {EROFS, "Read-only file system", "唯讀的檔案系統"},
    {EINVAL, "Invalid argument", "無效的引數"},
    {EBADF, "Bad file descriptor", "無效的檔案描述子"},
    {ENXIO, "No such device or address", "沒有這個裝置或位址"},
};

}  // namespace

std::optional<Language> languageNamed(std::string_view name) {
  // "zh_TW.UTF-8@variant" names the same language as "zh-tw".
  name = name.substr(0, name.find_first_of(".@"));
  std::string lower;
  for (const char c : name) {
    lower += c == '_' ? '-' : (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  if (lower == "zh" || lower.starts_with("zh-")) return Language::ZhTw;
  if (lower == "en" || lower.starts_with("en-") || lower == "c" || lower == "posix") {
    return Language::En;
  }
  return std::nullopt;
}

Language languageOfEnvironment() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') continue;
    return languageNamed(value).value_or(Language::En);
  }
  return languageNamed(platform::systemLanguage()).value_or(Language::En);
}

const Words& wordsIn(Language language) {
  return language == Language::ZhTw ? kChinese : kEnglish;
}

std::string filled(const char* patternText, std::string_view first, std::string_view second) {
  const std::string_view pattern = patternText;
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

std::string reasonOf(Language language, int error) {
  for (const Reason& reason : kReasons) {
    if (reason.error == error) {
      return language == Language::ZhTw ? reason.chinese : reason.english;
    }
  }
  return language == Language::ZhTw ? "系統錯誤（代碼 " + std::to_string(error) + "）"
                                    : std::string(std::strerror(error));
}

std::string shownValue(std::string_view value) {
  std::string scratch;
  return std::string(shown(value, false, scratch));
}

void note(std::string_view message) {
  platform::writeAll(platform::kStandardError, "taloma-id: " + printable(message) + "\n");
}

void fail(std::string_view message) {
  note(message);
  platform::quit(2);
}

}  // namespace cli
