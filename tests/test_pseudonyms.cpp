// FF1 against NIST's published samples, and the pseudonyms of every kind: valid, written as the
// number was, the same for the same number, and turned back byte for byte.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "engine/aes.h"
#include "engine/bytes.h"
#include "engine/ff1.h"
#include "engine/masks.h"
#include "engine/pseudonyms.h"
#include "rules/kinds.h"

namespace {

engine::Key keyOf(std::string_view hex) {
  return *engine::KeyOfFile(std::string(hex) + "\n");
}

const engine::Key kNistKey = keyOf("2B7E151628AED2A6ABF7158809CF4F3CEF4359D8D580AA4F7F036D6F04FC6A94");

std::string bytesOf(std::string_view hex) {
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
  return bytes;
}

struct NistSample {
  unsigned radix;
  std::string_view tweakHex, plain, cipher;
};

// NIST SP 800-38G, FF1 samples 7 to 9 (AES-256); numerals written 0-9 then a-z.
class Ff1Nist : public testing::TestWithParam<NistSample> {};

TEST_P(Ff1Nist, EnciphersAndDeciphersAsPublished) {
  const NistSample& s = GetParam();
  constexpr std::string_view kDigits = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::vector<std::uint8_t> plain;
  for (const char c : s.plain) plain.push_back(static_cast<std::uint8_t>(kDigits.find(c)));
  const auto cipher = engine::OpenAes256(kNistKey);
  const std::string tweak = bytesOf(s.tweakHex);
  const std::vector<std::uint8_t> out = engine::Ff1(*cipher, s.radix, tweak, plain, false);
  std::string written;
  for (const std::uint8_t n : out) written += kDigits[n];
  EXPECT_EQ(written, s.cipher);
  EXPECT_EQ(engine::Ff1(*cipher, s.radix, tweak, out, true), plain);
}

INSTANTIATE_TEST_SUITE_P(Samples, Ff1Nist,
                         testing::Values(NistSample{10, "", "0123456789", "6657667009"},
                                         NistSample{10, "39383736353433323130", "0123456789", "1001623463"},
                                         NistSample{36, "3737373770717273373737", "0123456789abcdefghi",
                                                    "xs8a0azh2avyalyzuwd"}));

// A batch of strings of several domains gives what each gives alone.
TEST(Ff1Batch, GivesWhatEachStringGivesAlone) {
  const auto cipher = engine::OpenAes256(kNistKey);
  const engine::Ff1Domain seven(*cipher, 10, 7, "national/A1"), carrier(*cipher, 39, 7, "a longer tweak, of two blocks");
  engine::Ff1Batch batch;
  std::vector<std::vector<std::uint8_t>> strings = {{1, 2, 3, 4, 5, 6, 7}, {38, 0, 12, 5, 9, 30, 1}, {0, 0, 0, 0, 0, 0, 0}};
  const engine::Ff1Domain* domains[] = {&seven, &carrier, &seven};
  for (std::size_t i = 0; i < strings.size(); ++i) batch.add(*domains[i], domains[i]->split(strings[i]));
  batch.run(*cipher, false);
  for (std::size_t i = 0; i < strings.size(); ++i) {
    std::vector<std::uint8_t> out(7);
    batch.result(i, out);
    const std::string_view tweak = i == 1 ? "a longer tweak, of two blocks" : "national/A1";
    EXPECT_EQ(out, engine::Ff1(*cipher, domains[i]->radix(), tweak, strings[i], false)) << i;
  }
}

// `number` with its full-width forms narrowed, as the rules read it.
std::string narrowed(std::string_view number) {
  std::string ascii;
  for (std::size_t at = 0; at < number.size(); at += engine::NumberCharacterAt(number, at).size) {
    ascii += engine::NumberCharacterAt(number, at).ascii;
  }
  return ascii;
}

struct Rewritten {
  std::string text;
  std::uint64_t replaced, masked;
};

Rewritten rewrite(std::string_view text, rules::KindSet kinds, bool reveal, std::string_view context = {},
                  bool normalize = false, bool nearMisses = false) {
  engine::Pseudonyms pseudonyms(engine::OpenAes256(kNistKey), context, reveal);
  engine::ScanOptions options;
  options.kinds = kinds;
  options.normalize = normalize;
  options.nearMisses = nearMisses;
  std::string out = engine::PseudonymizedText(text, options, pseudonyms);
  return {std::move(out), pseudonyms.replaced(), pseudonyms.masked()};
}

struct WrittenCase {
  rules::IdKind kind;
  std::string_view number;  // as a text has it, valid
  std::string_view keptFront;  // what the pseudonym keeps, at its start
  bool normalize = false;
};

// Each way of writing each kind: the pseudonym is valid, differs, keeps its front, each byte that
// is no digit or letter and each character's width; it comes back as it was.
class Written : public testing::TestWithParam<WrittenCase> {};

TEST_P(Written, KeepsTheFormAndComesBack) {
  const WrittenCase& c = GetParam();
  const rules::KindSet kinds = rules::KindBit(c.kind);
  const std::string text = "x " + std::string(c.number) + " y\n";
  const Rewritten pseudonym = rewrite(text, kinds, false, {}, c.normalize);
  ASSERT_EQ(pseudonym.replaced, 1u);
  ASSERT_EQ(pseudonym.text.size(), text.size());
  const std::string made = pseudonym.text.substr(2, c.number.size());
  EXPECT_NE(made, c.number);
  EXPECT_EQ(made.substr(0, c.keptFront.size()), c.keptFront);
  EXPECT_TRUE(rules::VerifyOther(narrowed(made), c.kind).isValid() || c.normalize) << made;
  for (std::size_t i = 0; i < made.size(); ++i) {
    const bool plain = static_cast<unsigned char>(c.number[i]) < 0x80;
    const bool word = plain && engine::IsAsciiWord(c.number[i]);
    if (plain && !word && c.kind != rules::IdKind::Carrier) {
      EXPECT_EQ(made[i], c.number[i]) << i;
    }
    EXPECT_EQ(static_cast<unsigned char>(made[i]) < 0x80, plain) << i;
  }
  EXPECT_EQ(rewrite(pseudonym.text, kinds, true, {}, c.normalize).text, text);
  const Rewritten other = rewrite(text, kinds, false, "crm", c.normalize);
  EXPECT_NE(other.text, pseudonym.text);
  EXPECT_EQ(rewrite(other.text, kinds, true, "crm", c.normalize).text, text);
}

using K = rules::IdKind;
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

// A number that keeps the older rule's check keeps it, one valid by the 2023 rule alone stays so,
// and the seventh digit stays (7 gives the last digit two choices in each class).
TEST(BusinessPseudonym, KeepsTheClassOfItsRule) {
  std::string text;
  for (std::uint64_t i = 0; i < 4000; ++i) {
    text += rules::DrawBusiness(i * 2'500 + i % 10 * 10, i % 2 == 1) + "\n";
  }
  const Rewritten pseudonyms = rewrite(text, rules::KindBit(K::Business), false);
  ASSERT_EQ(pseudonyms.replaced, 4000u);
  std::set<std::string> seen;
  for (std::size_t at = 0; at < text.size(); at += 9) {
    const std::string number = text.substr(at, 8), made = pseudonyms.text.substr(at, 8);
    seen.insert(made);
    EXPECT_EQ(made[6], number[6]);
    EXPECT_TRUE(rules::VerifyOther(made, K::Business).isValid()) << made;
    EXPECT_EQ(rules::VerifyOther(made, K::Business, true).isValid(),
              rules::VerifyOther(number, K::Business, true).isValid()) << number << " " << made;
  }
  EXPECT_EQ(seen.size(), 4000u);
  EXPECT_EQ(rewrite(pseudonyms.text, rules::KindBit(K::Business), true).text, text);
}

// What cannot have a pseudonym is masked as --redact masks it, and counted: a near miss, a 捐贈碼
// below a million values, a 手機條碼 whose lower-case letters could not come back.
TEST(Pseudonyms, MaskWhatCannotComeBack) {
  struct Case {
    rules::KindSet kinds;
    std::string_view number;
    bool normalize, nearMisses;
  };
  for (const Case& c : {Case{rules::kIdentityKinds, "A123456788", false, true},
                        Case{rules::KindBit(K::Donation), "123", false, false},
                        Case{rules::KindBit(K::Donation), "12345", false, false},
                        Case{rules::KindBit(K::Carrier), "/abc+123", true, false}}) {
    SCOPED_TRACE(std::string(c.number));
    const std::string text = std::string(c.number) + "\n";
    const Rewritten out = rewrite(text, c.kinds, false, {}, c.normalize, c.nearMisses);
    EXPECT_EQ(out.replaced, 0u);
    EXPECT_EQ(out.masked, 1u);
    EXPECT_NE(out.text, text);
    EXPECT_NE(out.text.find('*'), std::string::npos);
  }
}

// A key file is 64 hexadecimal characters and a newline, nothing else.
TEST(KeyFile, TakesSixtyFourHexDigitsAndANewline) {
  const std::string hex(64, 'a');
  EXPECT_TRUE(engine::KeyOfFile(hex + "\n"));
  EXPECT_TRUE(engine::KeyOfFile(hex + "\r\n"));
  EXPECT_TRUE(engine::KeyOfFile(std::string(64, 'F') + "\n"));
  std::string notHex = hex + "\n";
  notHex[0] = 'g';
  for (const std::string& refused : {hex, hex.substr(1) + "\n", hex + "a\n", hex + "\n\n", notHex,
                                     std::string(" ").append(hex).append("\n"), std::string()}) {
    EXPECT_FALSE(engine::KeyOfFile(refused)) << refused;
  }
  const engine::Key key = keyOf("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f");
  EXPECT_EQ(engine::KeyFileText(key), "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f\n");
  EXPECT_EQ(key[31], 0x1f);
}

}  // namespace
