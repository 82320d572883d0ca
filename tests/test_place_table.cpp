// The place table: rows, area codes, postal entries and the invariants the windows rely on.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "rules/id_number.h"
#include "rules/place_table.h"

namespace {

using namespace std::string_view_literals;

TEST(PlaceTable, RowZeroListsEveryEntryAndHasNoLetter) {
  const rules::Place* all = rules::PlaceByIndex(0);
  ASSERT_NE(all, nullptr);
  EXPECT_EQ(all->name, u"不指定"sv);
  EXPECT_EQ(all->letter, 0);
  EXPECT_EQ(all->letterValue, 0);
  EXPECT_EQ(all->areaCode, u"None"sv);
  const auto entries = rules::PostalEntries(*all);
  ASSERT_EQ(entries.size(), 369U);
  EXPECT_EQ(entries.front(), u"中正區  100"sv);
  EXPECT_EQ(entries.back(), u"釣魚台  290"sv);
}

TEST(PlaceTable, LookupsOutsideTheirRangesGiveNoRow) {
  EXPECT_EQ(rules::PlaceByIndex(-1), nullptr);
  EXPECT_EQ(rules::PlaceByIndex(27), nullptr);
  EXPECT_EQ(rules::PlaceByLetterValue(9), nullptr);
  EXPECT_EQ(rules::PlaceByLetterValue(36), nullptr);
  EXPECT_EQ(rules::PlaceByLetter(u'a'), nullptr);
  EXPECT_EQ(rules::PlaceByLetter(u'Ａ'), nullptr);
  EXPECT_TRUE(rules::PostalEntry(1).empty());
  EXPECT_TRUE(rules::PostalEntry(371).empty());
}

struct PlaceCase {
  char16_t letter;
  int letterValue;
  int index;
  std::u16string_view name;
  std::u16string_view areaCode;
  std::size_t entries;
};

TEST(PlaceTable, LettersValuesAndAreaCodes) {
  const PlaceCase cases[] = {
      {u'A', 10, 1, u"台北市", u"022", 12},  {u'C', 12, 3, u"基隆市", u"022", 7},
      {u'F', 15, 6, u"台北縣", u"022", 29},  {u'Y', 31, 22, u"陽明山", u"None", 0},
      {u'W', 32, 23, u"金門縣", u"0823", 6}, {u'Z', 33, 24, u"連江縣", u"None", 4},
      {u'I', 34, 25, u"嘉義市", u"05", 1},   {u'O', 35, 26, u"新竹市", u"03", 1},
  };
  for (const PlaceCase& c : cases) {
    SCOPED_TRACE(static_cast<char>(c.letter));
    const rules::Place* byLetter = rules::PlaceByLetter(c.letter);
    ASSERT_NE(byLetter, nullptr);
    EXPECT_EQ(byLetter, rules::PlaceByLetterValue(c.letterValue));
    EXPECT_EQ(byLetter, rules::PlaceByIndex(c.index));
    EXPECT_EQ(byLetter->name, c.name);
    EXPECT_EQ(byLetter->areaCode, c.areaCode);
    EXPECT_EQ(rules::PostalEntries(*byLetter).size(), c.entries);
  }
  EXPECT_EQ(rules::PostalEntries(*rules::PlaceByIndex(25)).front(), u"嘉義市  600"sv);
  EXPECT_EQ(rules::PostalEntries(*rules::PlaceByIndex(26)).front(), u"新竹市  300"sv);
}

TEST(PlaceTable, EveryLetterBelongsToExactlyOneRow) {
  std::set<char16_t> letters;
  for (const rules::Place& place : rules::Places().subspan(1)) {
    EXPECT_EQ(place.letterValue, place.index + 9);
    EXPECT_EQ(rules::ValueLetter(place.letterValue), place.letter);
    letters.insert(place.letter);
  }
  EXPECT_EQ(letters.size(), 26U);
}

TEST(PlaceTable, AreaCodesAreOnlyTheListedTexts) {
  const std::set<std::u16string_view> allowed = {u"022", u"03", u"037", u"04",   u"049", u"05",
                                                 u"06",  u"07", u"08",  u"0823", u"089", u"None"};
  for (const rules::Place& place : rules::Places()) EXPECT_TRUE(allowed.count(place.areaCode));
}

TEST(PostalEntries, ExactTextsOfTwoAndThreeCharacterNames) {
  // 中, U+3000, 區, two spaces, 400: eight characters, not seven.
  EXPECT_EQ(rules::PostalEntries(*rules::PlaceByIndex(2)).front(), u"中\u3000區  400"sv);
  EXPECT_EQ(rules::PostalEntry(2), u"中正區  100"sv);
  EXPECT_EQ(rules::PostalEntry(47), u"萬\u3000里  207"sv);
  EXPECT_EQ(rules::PostalEntry(198), u"臺\u3000西  636"sv);
  EXPECT_EQ(rules::PostalEntry(290), u"霧\u3000臺  902"sv);
  EXPECT_EQ(rules::PostalEntry(334), u"臺\u3000東  950"sv);
  EXPECT_EQ(rules::PostalEntry(370), u"釣魚台  290"sv);

  int threeCharacterNames = 0;
  for (int id = rules::kFirstPostalId; id <= rules::kLastPostalId; ++id) {
    const auto entry = rules::PostalEntry(id);
    ASSERT_EQ(entry.size(), 8U) << id;
    if (entry[1] != u'\u3000') ++threeCharacterNames;
  }
  EXPECT_EQ(threeCharacterNames, 41);
}

TEST(PostalEntries, OutlyingIslandsBelongToRowZeroOnly) {
  const std::set<std::u16string_view> outside = {u"東\u3000沙  817", u"南\u3000沙  819",
                                                 u"釣魚台  290"};
  for (const rules::Place& place : rules::Places().subspan(1)) {
    for (const auto entry : rules::PostalEntries(place)) EXPECT_FALSE(outside.count(entry));
  }
  const auto all = rules::PostalEntries(rules::Places()[0]);
  EXPECT_EQ(std::set<std::u16string_view>(all.end() - 3, all.end()), outside);
}

}  // namespace
