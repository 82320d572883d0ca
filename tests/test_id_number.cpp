// Verdicts, check digits and letter values of identity numbers.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "rules/id_number.h"

namespace {

using rules::VerdictKind;

struct VerdictCase {
  const char* name;
  std::u16string text;
  VerdictKind kind;
  int expectedCheckDigit = -1;
  int letterValue = 0;
  int placeIndex = 0;
};

void PrintTo(const VerdictCase& c, std::ostream* os) { *os << c.name; }

class VerdictTest : public testing::TestWithParam<VerdictCase> {};

TEST_P(VerdictTest, FirstBrokenRuleDecides) {
  const VerdictCase& c = GetParam();
  const rules::NumVerdict verdict = rules::VerifyNum(c.text);
  EXPECT_EQ(verdict.kind, c.kind);
  EXPECT_EQ(verdict.expectedCheckDigit, c.expectedCheckDigit);
  EXPECT_EQ(verdict.letterValue, c.letterValue);
  EXPECT_EQ(verdict.placeIndex, c.placeIndex);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, VerdictTest,
    testing::Values(
        VerdictCase{"ValidMaleTaipei", u"A123456789", VerdictKind::ValidMale, -1, 10, 1},
        VerdictCase{"SumMultipleOfTenEndsInZero", u"A100000010", VerdictKind::ValidMale, -1, 10, 1},
        VerdictCase{"ZeroCheckDigitNotTen", u"A100000011", VerdictKind::BadCheck, 0},
        VerdictCase{"WrongLastDigit", u"A123456788", VerdictKind::BadCheck, 9},
        VerdictCase{"ValidFemale", u"B200000004", VerdictKind::ValidFemale, -1, 11, 2},
        VerdictCase{"LetterZ", u"Z100000002", VerdictKind::ValidMale, -1, 33, 24},
        VerdictCase{"LetterI", u"I100000003", VerdictKind::ValidMale, -1, 34, 25},
        VerdictCase{"LetterO", u"O200000006", VerdictKind::ValidFemale, -1, 35, 26},
        VerdictCase{"LetterW", u"W100000001", VerdictKind::ValidMale, -1, 32, 23},
        VerdictCase{"LowerCaseLetter", u"a123456789", VerdictKind::BadLetter},
        VerdictCase{"DigitFirst", u"1123456789", VerdictKind::BadLetter},
        VerdictCase{"PunctuationFirst", u"@123456789", VerdictKind::BadLetter},
        VerdictCase{"BracketAfterZ", u"[123456789", VerdictKind::BadLetter},
        VerdictCase{"FullWidthLetter", u"Ａ123456789", VerdictKind::BadLetter},
        VerdictCase{"CjkFirst", u"台123456789", VerdictKind::BadLetter},
        VerdictCase{"LoneHighSurrogateFirst", std::u16string(1, char16_t{0xD83D}) + u"123456789",
                    VerdictKind::BadLetter},
        VerdictCase{"SexThree", u"A323456789", VerdictKind::BadSex},
        VerdictCase{"SexZero", u"A023456789", VerdictKind::BadSex},
        VerdictCase{"BadSexBeatsBadDigits", u"A3XXXXXXXX", VerdictKind::BadSex},
        VerdictCase{"FullWidthSexDigit", u"A１23456789", VerdictKind::BadSex},
        VerdictCase{"LetterInSerial", u"A1234567X9", VerdictKind::BadDigit},
        VerdictCase{"LastNotDigitIsNotBadCheck", u"A12345678X", VerdictKind::BadDigit},
        VerdictCase{"FullWidthDigit", u"A12345678９", VerdictKind::BadDigit},
        VerdictCase{"SpaceInSerial", u"A12345 789", VerdictKind::BadDigit},
        VerdictCase{"TooShort", u"A12345678", VerdictKind::BadDigit},
        VerdictCase{"TooLong", u"A1234567890", VerdictKind::BadDigit},
        VerdictCase{"Empty", u"", VerdictKind::BadLetter}),
    [](const testing::TestParamInfo<VerdictCase>& info) { return std::string(info.param.name); });

TEST(LetterValues, AreInverseOverAllLettersAndValues) {
  for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
    const auto value = rules::LetterValue(letter);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(value->tens, value->value / 10);
    EXPECT_EQ(value->units, value->value % 10);
    EXPECT_EQ(rules::ValueLetter(value->value), letter);
  }
  for (int value = rules::kFirstLetterValue; value <= rules::kLastLetterValue; ++value) {
    const char16_t letter = rules::ValueLetter(value);
    ASSERT_NE(letter, 0) << value;
    EXPECT_EQ(rules::LetterValue(letter)->value, value);
  }
}

TEST(LetterValues, OutsideTheAlphabetThereIsNone) {
  for (const char16_t c : {u'a', u'z', u'@', u'[', u'0', u'Ａ', u'\0'}) {
    EXPECT_FALSE(rules::LetterValue(c).has_value()) << static_cast<int>(c);
  }
  EXPECT_EQ(rules::ValueLetter(9), 0);
  EXPECT_EQ(rules::ValueLetter(36), 0);
}

TEST(CheckDigit, ExactlyOneLastDigitMakesANumberValid) {
  std::mt19937 generator(7);
  std::uniform_int_distribution<int> digit(0, 9);
  for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
    for (const char16_t sex : {u'1', u'2'}) {
      for (int serial = 0; serial < 40; ++serial) {
        std::u16string text{letter, sex};
        std::array<int, 8> digits{sex - u'0'};
        for (int i = 1; i < 8; ++i) {
          digits[static_cast<std::size_t>(i)] = digit(generator);
          text += static_cast<char16_t>(u'0' + digits[static_cast<std::size_t>(i)]);
        }
        const int expected = rules::CheckDigit(rules::LetterValue(letter)->value, digits);
        int valid = 0;
        for (char16_t last = u'0'; last <= u'9'; ++last) {
          const auto verdict = rules::VerifyNum(text + last);
          if (verdict.isValid()) {
            ++valid;
            EXPECT_EQ(last - u'0', expected);
            EXPECT_EQ(verdict.kind,
                      sex == u'1' ? VerdictKind::ValidMale : VerdictKind::ValidFemale);
          } else {
            EXPECT_EQ(verdict.kind, VerdictKind::BadCheck);
            EXPECT_EQ(verdict.expectedCheckDigit, expected);
          }
        }
        EXPECT_EQ(valid, 1);
      }
    }
  }
}

TEST(CharacterHelpers, OnlyAsciiCountsAndOnlyAToZUpperCases) {
  EXPECT_EQ(rules::characterCode(u'A'), 65);
  EXPECT_EQ(rules::characterCode(u'\x7f'), 127);
  EXPECT_LT(rules::characterCode(u'台'), 0);
  EXPECT_LT(rules::characterCode(u'Ａ'), 0);
  EXPECT_LT(rules::characterCode(char16_t{0xDC00}), 0);
  EXPECT_EQ(rules::upperCased(u'a'), u'A');
  EXPECT_EQ(rules::upperCased(u'z'), u'Z');
  for (const char16_t c : {u'A', u'1', u'\b', u'\r', u'ａ', u'é', u'台', u'`', u'{'}) {
    EXPECT_EQ(rules::upperCased(c), c) << static_cast<int>(c);
  }
}

}  // namespace
