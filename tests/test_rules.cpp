// The window's verdict, letter values, the check digit and the place list's display forms.
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>

#include "engine/masks.h"
#include "engine/scan.h"
#include "rules/generation.h"
#include "rules/kinds.h"
#include "rules/other_kinds.h"
#include "rules/id_number.h"
#include "rules/place_list.h"

namespace {

using rules::VerdictKind;

struct VerdictCase {
  std::u16string text;
  VerdictKind kind;
  int expectedOrPlace = -1;  // the expected digit of BadCheck, the place index of a valid number
};

class Verdict : public testing::TestWithParam<VerdictCase> {};

TEST_P(Verdict, FirstBrokenRuleDecides) {
  const VerdictCase& c = GetParam();
  const rules::NumVerdict verdict = rules::VerifyNum(c.text);
  EXPECT_EQ(verdict.kind, c.kind);
  EXPECT_EQ(verdict.expectedCheckDigit, c.kind == VerdictKind::BadCheck ? c.expectedOrPlace : -1);
  EXPECT_EQ(verdict.placeIndex, verdict.isValid() ? c.expectedOrPlace : 0);
  EXPECT_EQ(verdict.letterValue, verdict.isValid() ? c.expectedOrPlace + 9 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, Verdict,
    testing::Values(VerdictCase{u"A123456789", VerdictKind::ValidMale, 1},
                    VerdictCase{u"A100000010", VerdictKind::ValidMale, 1},  // sum 10 ends in 0
                    VerdictCase{u"A100000011", VerdictKind::BadCheck, 0},
                    VerdictCase{u"A123456788", VerdictKind::BadCheck, 9},
                    VerdictCase{u"B200000004", VerdictKind::ValidFemale, 2},
                    VerdictCase{u"Z100000002", VerdictKind::ValidMale, 24},
                    VerdictCase{u"I100000003", VerdictKind::ValidMale, 25},
                    VerdictCase{u"O200000006", VerdictKind::ValidFemale, 26},
                    VerdictCase{u"W100000001", VerdictKind::ValidMale, 23},
                    VerdictCase{u"a123456789", VerdictKind::BadLetter},
                    VerdictCase{u"[123456789", VerdictKind::BadLetter},
                    VerdictCase{u"Ａ123456789", VerdictKind::BadLetter},
                    VerdictCase{u"\u0141123456789", VerdictKind::BadLetter},  // 'A' in its low byte
                    VerdictCase{u"", VerdictKind::BadLetter},
                    VerdictCase{u"A323456789", VerdictKind::BadSex},
                    VerdictCase{u"A823456789", VerdictKind::BadSex},  // a resident's, not the window's
                    VerdictCase{u"A3XXXXXXXX", VerdictKind::BadSex},
                    VerdictCase{u"A1234567X9", VerdictKind::BadDigit},
                    VerdictCase{u"A12345678X", VerdictKind::BadDigit},   // not BadCheck
                    VerdictCase{u"A1９3456789", VerdictKind::BadDigit},  // the first digit position
                    VerdictCase{u"A12345678", VerdictKind::BadDigit},
                    VerdictCase{u"A1234567890", VerdictKind::BadDigit},
                    VerdictCase{u"A1234567899", VerdictKind::BadDigit}));  // valid but for the 11th

TEST(LetterValues, AreInverseOverAllLettersAndValues) {
  for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
    const auto value = rules::LetterValue(letter);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->units, value->value % 10);
    EXPECT_EQ(rules::ValueLetter(value->value), letter);
  }
  EXPECT_EQ(rules::LetterValue(u'I')->value, 34);
  EXPECT_EQ(rules::LetterValue(u'W')->value, 32);
  for (const char32_t c : {U'a', U'@', U'[', U'Ａ', U'\0', U'\U00010041'}) {
    EXPECT_FALSE(rules::LetterValue(c));
  }
  EXPECT_EQ(rules::ValueLetter(9), 0);
  EXPECT_EQ(rules::ValueLetter(36), 0);
}

TEST(CheckDigit, ExactlyOneLastDigitMakesANumberValid) {
  // Every letter and sex with serial digits that walk through every value at every position.
  for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
    for (int serial = 0; serial < 200; ++serial) {
      std::u16string text{letter, serial % 2 ? u'2' : u'1'};
      for (int position = 0, n = serial * 7919; position < 7; ++position, n /= 3) {
        text += static_cast<char16_t>(u'0' + (n + position) % 10);
      }
      // Nine wrong last digits all name the one right one.
      int validLast = -1;
      std::set<int> named;
      for (char16_t last = u'0'; last <= u'9'; ++last) {
        const auto verdict = rules::VerifyNum(text + last);
        if (!verdict.isValid()) {
          named.insert(verdict.expectedCheckDigit);
        } else {
          EXPECT_EQ(validLast, -1);
          validLast = last - u'0';
        }
      }
      EXPECT_EQ(named, std::set<int>{validLast});
    }
  }
}

TEST(PlaceList, RowsShowTheWindowsTexts) {
  struct Row {
    int index;
    std::string_view name, areaCode, first;
    std::size_t entries;
  };
  const Row rows[] = {
      {0, "不指定", "None", "中正區  100", 369},   {1, "台北市", "022", "中正區  100", 12},
      {2, "台中市", "04", "中\u3000區  400", 8},   {6, "台北縣", "022", "萬\u3000里  207", 29},
      {22, "陽明山", "None", "", 0},              {23, "金門縣", "0823", "金\u3000沙  890", 6},
      {24, "連江縣", "None", "南\u3000竿  209", 4}, {25, "嘉義市", "05", "嘉義市  600", 1},
  };
  for (const Row& row : rows) {
    const auto place = rules::PlaceByIndex(row.index);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->name, row.name);
    EXPECT_EQ(place->areaCode, row.areaCode);
    EXPECT_EQ(place->place ? place->place->index() : 0, row.index);
    const auto entries = rules::PostalEntries(*place);
    EXPECT_EQ(entries.size(), row.entries);
    EXPECT_EQ(entries.empty() ? "" : entries.front(), row.first);
  }
  // The whole country's list ends with the three districts of no place.
  EXPECT_EQ(rules::PostalEntries(*rules::PlaceByIndex(0)).back(), "釣魚台  290");
  EXPECT_FALSE(rules::PlaceByIndex(-1));
  EXPECT_FALSE(rules::PlaceByIndex(27));
  for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
    EXPECT_EQ(rules::PlaceByLetter(letter)->index(), rules::LetterValue(letter)->value - 9);
  }
}

TEST(PlaceByName, TakesLettersBothWritingsOfTaiAndTodaysCities) {
  const std::pair<std::string_view, char> rows[] = {
      {"a", 'A'},      {"Z", 'Z'},      {"臺北市", 'A'}, {"台東縣", 'V'}, {"新北市", 'F'},
      {"桃園市", 'H'}, {"臺中縣", 'L'}, {"1", 0},        {"台北", 0},     {"", 0}, {" A", 0},
  };
  for (const auto& [name, letter] : rows) {
    const rules::Place* place = rules::PlaceByName(name);
    EXPECT_EQ(place ? place->letter : 0, letter) << name;
  }
}

}  // namespace

namespace {

struct FormCase {
  std::string text;
  rules::IdKind kind;
  rules::Reason reason;
  int position = 0;  // the expected digit for Check
};

class FormVerdict : public testing::TestWithParam<FormCase> {};

TEST_P(FormVerdict, NamesTheKindAndTheFirstBrokenRule) {
  const FormCase& c = GetParam();
  const rules::IdVerdict verdict = rules::VerifyOther(c.text, c.kind);
  EXPECT_EQ(verdict.kind, c.kind);
  EXPECT_EQ(verdict.reason, c.reason);
  EXPECT_EQ(c.reason == rules::Reason::Check ? verdict.expected : verdict.position, c.position);
}

using K = rules::IdKind;
using R = rules::Reason;
INSTANTIATE_TEST_SUITE_P(
    OtherKinds, FormVerdict,
    testing::Values(
        FormCase{"04595257", K::Business, R::None}, FormCase{"10458570", K::Business, R::None},
        FormCase{"0459525", K::Business, R::Length}, FormCase{"０4595257", K::Business, R::Digit, 1},
        FormCase{"04595258", K::Business, R::Check, 2},
        FormCase{"ZZ00000000000000", K::Certificate, R::None},
        FormCase{"Z000000000000000", K::Certificate, R::Letter, 2},
        FormCase{"ZZ0000000000000x", K::Certificate, R::Digit, 16},
        FormCase{"/+-.09AZ", K::Carrier, R::None}, FormCase{"/+-.09Az", K::Carrier, R::Character, 8},
        FormCase{"+ABCDEFG", K::Carrier, R::Character, 1}, FormCase{"/ABCDEF", K::Carrier, R::Length},
        FormCase{"000", K::Donation, R::None}, FormCase{"0000000", K::Donation, R::None},
        FormCase{"00", K::Donation, R::Length}, FormCase{"00000000", K::Donation, R::Length},
        FormCase{"09-1234-5678", K::Mobile, R::None}, FormCase{"886-9 1234 5678", K::Mobile, R::None},
        FormCase{"+886 9123 45678", K::Mobile, R::None},
        FormCase{"0912-345-678-", K::Mobile, R::Character, 13},
        FormCase{"-0912345678", K::Mobile, R::Character, 1},
        FormCase{"+8869123456780", K::Mobile, R::Length},
        FormCase{"+885912345678", K::Mobile, R::Character, 4},
        FormCase{"+886812345678", K::Mobile, R::Character, 5},
        FormCase{"091234567８", K::Mobile, R::Digit, 10},
        FormCase{"0912  345678", K::Mobile, R::Character, 5}));

// The 統一編號 rule as the Ministry states it, against every number: the sum divisible by 5
// (10 before 2023), or with a seventh digit 7 the sum plus 1.
TEST(Business, EveryNumberFollowsBothRules) {
  int valid = 0, validBefore = 0;
  for (int n = 0; n < 100'000'000; n += 7) {
    std::array<int, 8> d{};
    for (int i = 7, rest = n; i >= 0; --i, rest /= 10) d[static_cast<std::size_t>(i)] = rest % 10;
    int sum = 0;
    for (std::size_t i = 0; i < 8; ++i) {
      const int product = d[i] * std::array{1, 2, 1, 2, 1, 2, 4, 1}[i];
      sum += product / 10 + product % 10;
    }
    const bool seven = d[6] == 7;
    ASSERT_EQ(rules::BusinessValid(d, false), sum % 5 == 0 || (seven && (sum + 1) % 5 == 0)) << n;
    ASSERT_EQ(rules::BusinessValid(d, true), sum % 10 == 0 || (seven && (sum + 1) % 10 == 0)) << n;
    valid += rules::BusinessValid(d, false);
    validBefore += rules::BusinessValid(d, true);
  }
  // About one in five numbers passes since 2023, one in ten before (the manual says so).
  EXPECT_NEAR(valid / (100'000'000 / 7.0), 0.2, 0.02);
  EXPECT_NEAR(validBefore / (100'000'000 / 7.0), 0.1, 0.02);
}

// Every kind of the registry through every table: its name, label and sentences; gen's plan draws
// valid numbers of it, distinct ones, or refuses a kind that is never drawn; the engine finds a
// number of it in text where it stands, masks it by its shape, and under --labelled finds a kind
// that needs a label only after one of its labels.
TEST(Registry, EveryKindThroughEveryTable) {
  for (const rules::KindEntry& entry : rules::kKinds) {
    SCOPED_TRACE(std::string(entry.name));
    const auto index = static_cast<std::size_t>(entry.kind);
    EXPECT_EQ(rules::kKindNames[index].name, entry.name);
    EXPECT_FALSE(rules::KindLabel(entry.kind).empty());
    EXPECT_EQ(entry.verify == nullptr, rules::IsIdentityKind(entry.kind));
    EXPECT_EQ(entry.draw == nullptr, entry.drawable == 0);
    for (std::uint8_t r = 1; r <= static_cast<std::uint8_t>(R::Character); ++r) {
      if ((entry.reasons & rules::ReasonBit(static_cast<R>(r))) == 0) continue;
      rules::IdVerdict broken{static_cast<R>(r), 2};
      broken.kind = entry.kind;
      for (const auto language : {rules::Language::ZhTw, rules::Language::En}) {
        EXPECT_FALSE(rules::VerdictSentence(language, broken, {rules::KindBit(entry.kind)}).empty());
      }
    }
    rules::GenRequest request;
    request.kind = entry.kind;
    const rules::GenPlan plan = rules::PlanGen(request);
    std::vector<std::string> numbers = {"0912-345-678"};
    if (plan.refusal != rules::GenRefusal::NotDrawn) {
      ASSERT_EQ(plan.refusal, rules::GenRefusal::None);
      rules::PlannedDraw draw(plan, 42, true);
      numbers = {draw.next(), draw.next(), draw.next()};
      EXPECT_EQ(std::set<std::string>(numbers.begin(), numbers.end()).size(), 3u);
    } else {
      EXPECT_TRUE(entry.draw == nullptr && !rules::IsIdentityKind(entry.kind));
    }
    for (const std::string& number : numbers) {
      EXPECT_TRUE(rules::VerifyOther(number, entry.kind).isValid()) << number;
      const std::string masked = engine::MaskedNumber(number, entry.kind);
      EXPECT_EQ(masked.size(), number.size());
      EXPECT_NE(masked, number);
      for (const bool labelled : {false, true}) {
        const bool needs = labelled && (rules::kNeedLabels & rules::KindBit(entry.kind)) != 0;
        for (const std::string_view before : {std::string_view("x "), entry.labels[0]}) {
          if (before.empty()) continue;
          const std::string text = std::string(before) + number + " y\n";
          std::vector<std::pair<std::uint64_t, std::string>> found;
          std::string redacted;
          engine::ScanOptions options;
          options.kinds = rules::KindBit(entry.kind);
          options.labelled = labelled;
          bool given = false;
          engine::ScanWith(options, [&](char* into, std::size_t) -> long {
                             if (given) return 0;
                             given = true;
                             std::copy(text.begin(), text.end(), into);
                             return static_cast<long>(text.size());
                           },
                           [&](std::string_view bytes, const engine::Found* f) {
                             if (f != nullptr) found.emplace_back(f->offset, std::string(bytes));
                             redacted += f != nullptr ? engine::MaskedNumber(bytes, f->verdict.kind) : std::string(bytes);
                           });
          const bool expected = !needs || before == entry.labels[0];
          EXPECT_EQ(found.size(), expected ? 1u : 0u) << text;
          if (!expected || found.empty()) continue;
          EXPECT_EQ(found[0], std::pair(std::uint64_t{before.size()}, number));
          EXPECT_EQ(redacted, std::string(before) + masked + " y\n");
        }
      }
    }
  }
}

}  // namespace
