// The number rules and the place table: verdicts, check digits, letter values and lookups.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "rules/id_number.h"
#include "rules/place_table.h"

namespace {

using namespace std::string_view_literals;
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
                    VerdictCase{u"@123456789", VerdictKind::BadLetter},
                    VerdictCase{u"[123456789", VerdictKind::BadLetter},
                    VerdictCase{u"Ａ123456789", VerdictKind::BadLetter},
                    VerdictCase{u"", VerdictKind::BadLetter},
                    VerdictCase{u"A323456789", VerdictKind::BadSex},
                    VerdictCase{u"A023456789", VerdictKind::BadSex},
                    VerdictCase{u"A3XXXXXXXX", VerdictKind::BadSex},
                    VerdictCase{u"A1234567X9", VerdictKind::BadDigit},
                    VerdictCase{u"A12345678X", VerdictKind::BadDigit},   // not BadCheck
                    VerdictCase{u"A1９3456789", VerdictKind::BadDigit},  // the first digit position
                    VerdictCase{u"A12345678", VerdictKind::BadDigit},
                    VerdictCase{u"A1234567890", VerdictKind::BadDigit}));

TEST(LetterValues, AreInverseOverAllLettersAndValues) {
  for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
    const auto value = rules::LetterValue(letter);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->tens * 10 + value->units, value->value);
    EXPECT_EQ(rules::ValueLetter(value->value), letter);
  }
  for (int value = 10; value <= 35; ++value) {
    EXPECT_EQ(rules::LetterValue(rules::ValueLetter(value))->value, value);
  }
  for (const char16_t c : {u'a', u'@', u'[', u'Ａ', u'\0'}) EXPECT_FALSE(rules::LetterValue(c));
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

TEST(KeyFilter, UpperCasesOnlyAToZ) {
  EXPECT_EQ(std::u16string({rules::upperCased(u'a'), rules::upperCased(u'z')}), u"AZ");
  for (const char16_t c : {u'A', u'1', u'\b', u'ａ', u'é', u'`', u'{'})
    EXPECT_EQ(rules::upperCased(c), c);
}

TEST(PlaceTable, RowsByLetterValueAndIndex) {
  struct Row {
    char16_t letter;
    int index;
    std::u16string_view name, areaCode, first;
    std::size_t entries;
  };
  const Row rows[] = {
      {u'A', 1, u"台北市", u"022", u"中正區  100", 12},
      {u'B', 2, u"台中市", u"04", u"中\u3000區  400", 8},
      {u'C', 3, u"基隆市", u"022", u"仁愛區  200", 7},
      {u'F', 6, u"台北縣", u"022", u"萬\u3000里  207", 29},
      {u'Y', 22, u"陽明山", u"None", u"", 0},
      {u'W', 23, u"金門縣", u"0823", u"金\u3000沙  890", 6},
      {u'Z', 24, u"連江縣", u"None", u"南\u3000竿  209", 4},
      {u'I', 25, u"嘉義市", u"05", u"嘉義市  600", 1},
      {u'O', 26, u"新竹市", u"03", u"新竹市  300", 1},
  };
  for (const Row& row : rows) {
    const rules::Place* place = rules::PlaceByLetter(row.letter);
    ASSERT_NE(place, nullptr);
    EXPECT_EQ(place, rules::PlaceByIndex(row.index));
    EXPECT_EQ(place, rules::PlaceByLetterValue(row.index + 9));
    EXPECT_EQ(place->name, row.name);
    EXPECT_EQ(place->areaCode, row.areaCode);
    const auto entries = rules::PostalEntries(*place);
    EXPECT_EQ(entries.size(), row.entries);
    EXPECT_EQ(entries.empty() ? u""sv : entries.front(), row.first);
  }
  for (const rules::Place& place : rules::Places().subspan(1)) {
    EXPECT_EQ(rules::ValueLetter(place.letterValue), place.letter);
  }
}

TEST(PlaceTable, NoRowOutsideTheRanges) {
  EXPECT_EQ(rules::PlaceByIndex(-1), nullptr);
  EXPECT_EQ(rules::PlaceByIndex(27), nullptr);
  EXPECT_EQ(rules::PlaceByLetterValue(9), nullptr);
  EXPECT_EQ(rules::PlaceByLetterValue(36), nullptr);
  EXPECT_EQ(rules::PlaceByLetter(u'a'), nullptr);
  EXPECT_TRUE(rules::PostalEntry(1).empty());
  EXPECT_TRUE(rules::PostalEntry(371).empty());
}

TEST(PlaceTable, WholeCountryListsEveryEntryAndTheIslandsOnlyThere) {
  const auto all = rules::PostalEntries(rules::Places()[0]);
  ASSERT_EQ(all.size(), 369U);
  EXPECT_EQ(all.front(), u"中正區  100"sv);
  EXPECT_EQ(rules::PostalEntry(290), u"霧\u3000臺  902"sv);
  const std::set<std::u16string_view> islands = {u"東\u3000沙  817", u"南\u3000沙  819",
                                                 u"釣魚台  290"};
  EXPECT_EQ(std::set<std::u16string_view>(all.end() - 3, all.end()), islands);
  std::size_t inPlaces = 0;
  for (const rules::Place& place : rules::Places().subspan(1)) {
    for (const auto entry : rules::PostalEntries(place)) EXPECT_FALSE(islands.count(entry));
    inPlaces += rules::PostalEntries(place).size();
  }
  EXPECT_EQ(inPlaces, 366U);
}

}  // namespace
