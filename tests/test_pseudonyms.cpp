// FF1 against NIST's published samples, and the pseudonyms of every kind: valid, written as the
// number was, turned back byte for byte, or masked where they could not come back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/aes.h"
#include "engine/bytes.h"
#include "engine/ff1.h"
#include "engine/pseudonyms.h"
#include "rules/kinds.h"

namespace {

using K = rules::IdKind;

const engine::Key kNistKey =
    *engine::KeyOfFile("2B7E151628AED2A6ABF7158809CF4F3CEF4359D8D580AA4F7F036D6F04FC6A94\r\n");

// NIST SP 800-38G, FF1 samples 7 to 9 (AES-256): numerals written 0-9 then a-z, the tweak's bytes
// as text.
TEST(Ff1, EnciphersAndDeciphersAsNistPublished) {
  constexpr std::string_view kDigits = "0123456789abcdefghijklmnopqrstuvwxyz";
  const auto cipher = engine::OpenAes256(kNistKey);
  struct Sample {
    unsigned radix;
    std::string_view tweak, plain, enciphered;
  };
  for (const Sample& s : {Sample{10, "", "0123456789", "6657667009"},
                          Sample{10, "9876543210", "0123456789", "1001623463"},
                          Sample{36, "7777pqrs777", "0123456789abcdefghi", "xs8a0azh2avyalyzuwd"}}) {
    std::vector<std::uint8_t> plain;
    for (const char c : s.plain) plain.push_back(static_cast<std::uint8_t>(kDigits.find(c)));
    const std::vector<std::uint8_t> out = engine::Ff1(*cipher, s.radix, s.tweak, plain, false);
    std::string written;
    for (const std::uint8_t n : out) written += kDigits[n];
    EXPECT_EQ(written, s.enciphered);
    EXPECT_EQ(engine::Ff1(*cipher, s.radix, s.tweak, out, true), plain);
  }
}

struct Rewritten {
  std::string text;
  std::uint64_t replaced, masked;
};

Rewritten rewrite(std::string_view text, K kind, bool reveal, std::string_view context = {}, bool normalize = false,
                  bool nearMisses = false) {
  engine::Pseudonyms pseudonyms(engine::OpenAes256(kNistKey), context, reveal);
  engine::ScanOptions options;
  options.kinds = rules::KindBit(kind);
  options.normalize = normalize;
  options.nearMisses = nearMisses;
  std::string out = engine::PseudonymizedText(text, options, pseudonyms);
  return {std::move(out), pseudonyms.replaced(), pseudonyms.masked()};
}

struct WrittenCase {
  K kind;
  std::string_view number;     // as a text has it, valid
  std::string_view keptFront;  // what the pseudonym keeps at its start
  bool normalize = false;
};

// Each way of writing each kind: the pseudonym differs, is valid, keeps its front, each byte that
// is no digit or letter and each character's width; it comes back as it was, under a context too.
class Written : public testing::TestWithParam<WrittenCase> {};

TEST_P(Written, KeepsTheFormAndComesBack) {
  const WrittenCase& c = GetParam();
  const std::string text = std::string("x ").append(c.number).append(" y\n");
  const Rewritten pseudonym = rewrite(text, c.kind, false, {}, c.normalize);
  ASSERT_EQ(pseudonym.replaced, 1u);
  ASSERT_EQ(pseudonym.text.size(), text.size());
  const std::string made = pseudonym.text.substr(2, c.number.size());
  EXPECT_NE(made, c.number);
  EXPECT_EQ(made.substr(0, c.keptFront.size()), c.keptFront);
  std::string ascii;  // the rules read full-width forms narrowed
  for (std::size_t at = 0; at < made.size(); at += engine::NumberCharacterAt(made, at).size) {
    ascii += engine::NumberCharacterAt(made, at).ascii;
  }
  EXPECT_TRUE(rules::VerifyOther(ascii, c.kind).isValid() || c.normalize) << made;
  for (std::size_t i = 0; i < made.size(); ++i) {
    const bool plain = static_cast<unsigned char>(c.number[i]) < 0x80;
    if (plain && !engine::IsAsciiWord(c.number[i]) && c.kind != K::Carrier) {
      EXPECT_EQ(made[i], c.number[i]) << i;
    }
    EXPECT_EQ(static_cast<unsigned char>(made[i]) < 0x80, plain) << i;
  }
  EXPECT_EQ(rewrite(pseudonym.text, c.kind, true, {}, c.normalize).text, text);
  const Rewritten other = rewrite(text, c.kind, false, "crm", c.normalize);
  EXPECT_NE(other.text, pseudonym.text);
  EXPECT_EQ(rewrite(other.text, c.kind, true, "crm", c.normalize).text, text);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Written,
    testing::Values(WrittenCase{K::National, "A123456789", "A1"}, WrittenCase{K::National, "Ａ１２３４５６７８９", "Ａ１"},
                    WrittenCase{K::National, "a123456789", "a1", true},
                    WrittenCase{K::National, "A12345\u200B6789", "A1", true},
                    WrittenCase{K::Resident, "A800000014", "A80"}, WrittenCase{K::ResidentOld, "AC12345679", "AC"},
                    WrittenCase{K::Business, "04595257", ""}, WrittenCase{K::Business, "１０４５８５７５", ""},
                    WrittenCase{K::Certificate, "AB12345678901234", "AB"},
                    WrittenCase{K::Carrier, "/ABC+123", "/"}, WrittenCase{K::Carrier, "／ＡＢＣ＋１２３", "／"},
                    WrittenCase{K::Donation, "1234567", ""},
                    WrittenCase{K::Mobile, "0912-345-678", "09"}, WrittenCase{K::Mobile, "+886 912 345 678", "+886 9"},
                    WrittenCase{K::Mobile, "０９１２３４５６７８", "０９"}));

// What cannot have a pseudonym is masked as --redact masks it, and counted: a near miss, a 捐贈碼
// below a million values, a 手機條碼 whose lower-case letters could not come back.
TEST(Pseudonyms, MaskWhatCannotComeBack) {
  struct Case {
    K kind;
    std::string_view number, masked;
    bool normalize, nearMisses;
  };
  for (const Case& c : {Case{K::National, "A123456788", "A*********", false, true},
                        Case{K::Donation, "123", "**3", false, false},
                        Case{K::Donation, "12345", "****5", false, false},
                        Case{K::Carrier, "/abc+123", "/*****23", true, false}}) {
    const Rewritten out = rewrite(std::string(c.number) + '\n', c.kind, false, {}, c.normalize, c.nearMisses);
    EXPECT_EQ(out.text, std::string(c.masked) + '\n');
    EXPECT_EQ(out.replaced, 0u);
    EXPECT_EQ(out.masked, 1u);
  }
}

}  // namespace
