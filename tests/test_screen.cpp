// The screen the window and the page draw: what each event shows, row by row.
#include <gtest/gtest.h>

#include <string>

#include "rules/words.h"
#include "screen/screen.h"

namespace {

using rules::IdKind;
using rules::KindBit;

struct CheckCase {
  const char* name;
  std::u16string typed;
  rules::KindSet kinds;
  std::string box;      // empty for none
  std::string caption;  // empty when a box shows
  screen::Selection select;
  bool beep = false;
};

class Check : public testing::TestWithParam<CheckCase> {};

TEST_P(Check, ShowsTheFirstBrokenRule) {
  const CheckCase& c = GetParam();
  const screen::CheckOutcome outcome = screen::Check(c.typed, c.kinds);
  EXPECT_EQ(outcome.box, c.box);
  EXPECT_EQ(outcome.caption, c.caption);
  EXPECT_EQ(outcome.select.start, c.select.start);
  EXPECT_EQ(outcome.select.length, c.select.length);
  EXPECT_EQ(outcome.beep, c.beep);
  EXPECT_EQ(outcome.valid, c.caption.starts_with("這是正確的"));
}

constexpr rules::KindSet kNational = KindBit(IdKind::National);
constexpr rules::KindSet kResidents = KindBit(IdKind::Resident) | KindBit(IdKind::ResidentOld);

// The page checks the kind chosen, but a number another identity kind takes is valid as that.
TEST(CheckChosenOrAny, ValidAsAnyIdentityKindElseTheChosenKindsFault) {
  const auto resident = screen::CheckChosenOrAny(u"A800000014", kNational);
  EXPECT_TRUE(resident.valid);
  EXPECT_EQ(resident.caption, "這是正確的男性新式居留證號，字首 A 為台北市，外國人或無國籍人士");
  const auto national = screen::CheckChosenOrAny(u"A123456789", kResidents);
  EXPECT_TRUE(national.valid);
  EXPECT_EQ(national.caption, "這是正確的男性身分證字號戶籍地在台北市");
  // Invalid as every kind: the chosen kind's own message, box and all.
  const auto fault = screen::CheckChosenOrAny(u"A800000015", kNational);
  EXPECT_EQ(fault.box, "身分證第二碼男性應為１、女性應為２!!");
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, Check,
    testing::Values(
        CheckCase{"valid", u"A123456789", kNational, "", "這是正確的男性身分證字號戶籍地在台北市", {}},
        CheckCase{"valid_woman_letter_O", u"O200000006", kNational, "",
                  "這是正確的女性身分證字號戶籍地在新竹市", {}},
        CheckCase{"should_end_in_0", u"A100000011", kNational, "", "最後一碼檢測碼應為0", {9, 1}, true},
        CheckCase{"lower_case", u"a123456789", kNational, "身分證第一碼應為大寫英文字母!!", "", {0, 1}},
        CheckCase{"CJK_first", u"台123456789", kNational, "身分證第一碼應為大寫英文字母!!", "", {0, 1}},
        CheckCase{"sex_before_digits", u"A3XXXXXXXX", kNational,
                  "身分證第二碼男性應為１、女性應為２!!", "", {1, 1}},
        CheckCase{"letter_last_is_no_check_report", u"A12345678X", kNational,
                  "身分證第三碼到第十碼應為數字０～９!!", "", {2, 8}},
        CheckCase{"full_width_digit", u"A12345678９", kNational,
                  "身分證第三碼到第十碼應為數字０～９!!", "", {2, 8}},
        // A character outside the Basic Multilingual Plane is selected whole.
        CheckCase{"emoji_second", u"A\U0001F6001234567", kNational,
                  "身分證第二碼男性應為１、女性應為２!!", "", {1, 2}},
        CheckCase{"emoji_last", u"A1234567\U0001F600", kNational,
                  "身分證第三碼到第十碼應為數字０～９!!", "", {2, 8}},
        // Other kinds: the verdict's sentence, and the faulty characters.
        CheckCase{"resident", u"E882718286", kResidents, "",
                  "這是正確的男性新式居留證號，字首 E 為高雄市，香港或澳門居民", {}},
        CheckCase{"national_among_residents", u"A123456789", kResidents, "",
                  "第二碼男性應為 8、A、C，女性應為 9、B、D", {1, 1}},
        CheckCase{"resident_digit", u"A8123X5678", kResidents, "",
                  "身分證第三碼到第十碼應為數字０～９，第 6 碼不是", {5, 5}}),
    [](const auto& info) { return std::string(info.param.name); });

struct PanelCase {
  int index;
  std::string heading;
  std::string areaCode;  // empty when hidden
  std::size_t lines;
  std::string first, last;
};

class Panel : public testing::TestWithParam<PanelCase> {};

TEST_P(Panel, FollowsThePlace) {
  const PanelCase& c = GetParam();
  const screen::Panel panel = screen::PanelOf(c.index);
  EXPECT_EQ(panel.heading, c.heading);
  EXPECT_EQ(panel.showAreaCode ? panel.areaCode : "", c.areaCode);
  EXPECT_EQ(panel.paintFirst, c.index == 0);
  ASSERT_EQ(panel.lines.size(), c.lines);
  EXPECT_EQ(panel.refill, c.lines != 0);
  if (c.lines == 0) return;
  EXPECT_EQ(panel.lines.front(), c.first);
  EXPECT_EQ(panel.lines.back(), c.last);
}

INSTANTIATE_TEST_SUITE_P(
    Places, Panel,
    testing::Values(PanelCase{0, "全省郵遞區號", "", 369, "中正區  100", "釣魚台  290"},
                    PanelCase{1, "台北市郵遞區號", "022", 12, "中正區  100", "文山區  116"},
                    PanelCase{22, "陽明山郵遞區號", "None", 1, "無特定郵遞區號", "無特定郵遞區號"},
                    PanelCase{23, "金門縣郵遞區號", "0823", 6, "金\u3000沙  890", "烏\u3000坵  896"},
                    PanelCase{24, "連江縣郵遞區號", "None", 4, "南\u3000竿  209", "東\u3000引  212"},
                    PanelCase{25, "嘉義市郵遞區號", "05", 1, "嘉義市  600", "嘉義市  600"},
                    // No row: the heading of an empty name, None shown, the list left as it is.
                    PanelCase{-1, "郵遞區號", "None", 0, "", ""}));

TEST(Screen, BatchCaptionNamesTheLastNumberOrThePlaceholder) {
  EXPECT_EQ(screen::ProducedCaption(1, true, "B200000004"), "產生了1組戶籍地在\r\n台中市的女性身分證字號!!");
  EXPECT_EQ(screen::ProducedCaption(5, true, "B200000004"), "產生了5組戶籍地在\r\nＸＸＸ的Ｘ性身分證字號!!");
  EXPECT_EQ(screen::ProducedCaption(10, false, "A123456789"), "產生了10組戶籍地在\r\n台北市的男性身分證字號!!");
  // Resident numbers: the letter's place, no household registration, and their own kind.
  EXPECT_EQ(screen::ProducedCaption(2, false, "A800000014"), "產生了2組\r\n字首為台北市的男性新式居留證號!!");
  EXPECT_EQ(screen::ProducedCaption(3, true, "HD12345678"), "產生了3組\r\n字首與性別不指定的舊式居留證號!!");
  EXPECT_EQ(screen::ListTip(true), "按兩下可得知此號碼的資訊");
  EXPECT_EQ(screen::ListTip(false), "");
}

TEST(Screen, DecodingNamesPlaceAndSex) {
  EXPECT_EQ(screen::Decoded("A123456789"), "這是一位戶籍地在\r\n「台北市」的「先生」");
  EXPECT_EQ(screen::Decoded("Y212345678"), "這是一位戶籍地在\r\n「陽明山」的「小姐」");
  EXPECT_EQ(screen::Decoded("W100000001"), "這是一位戶籍地在\r\n「金門縣」的「先生」");
  EXPECT_EQ(screen::Decoded("A123456788"), "最後一碼檢測碼應為9");
}

TEST(Screen, BoxFollowsTheLength) {
  for (const auto& [length, clear, check] :
       {std::tuple{0, false, false}, std::tuple{9, true, false}, std::tuple{10, true, true}}) {
    const screen::BoxState box = screen::AfterEdit(static_cast<std::size_t>(length));
    EXPECT_EQ(box.clearEnabled, clear) << length;
    EXPECT_EQ(box.checkEnabled, check) << length;
    EXPECT_EQ(box.checkTakesFocus, check) << length;
  }
}

TEST(Screen, ProgramTexts) {
  EXPECT_EQ(screen::WindowTitle(), "Taloma v2.0 (身分證字號產生器)");
  EXPECT_EQ(screen::WelcomeCaption(), "歡迎使用Taloma v2.0\r\n身分證字號產生器");
  EXPECT_EQ(screen::AboutInfo(), "程式名稱：Taloma v2.0\r\n用途：身分證字號產生器\r\n完成日期：1999/6/6");
  const std::string numbers[] = {"A123456789", "B200000004"};
  EXPECT_EQ(screen::ClipboardText(numbers), "A123456789\r\nB200000004\r\n");
}

}  // namespace
