// Every kind of number Taloma knows, each with its facts in one entry: its name and Chinese label,
// the reasons its verdict can give, how the text engine finds it and --redact masks it, the words
// that label it in text, the words its failed verdicts say, how it is checked and drawn. Every
// list of kinds in the program is made from these entries or checked against them here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "rules/id_kinds.h"
#include "rules/other_kinds.h"
#include "rules/words.h"

namespace rules {

constexpr unsigned ReasonBit(Reason reason) noexcept { return 1u << static_cast<unsigned>(reason); }

// How the text engine finds a kind in text.
enum class Anchor : std::uint8_t {
  Identity,  // a letter, a letter or digit and eight digits (the identity finder)
  Digits,    // a run of digits that stands alone
  Letters,   // two letters, then a run of digits (the two letters as its first characters)
  Mobile,    // 09, or +886 or 886 and 9, then eight digits, single spaces or hyphens between
  Slash,     // "/", then the kind's characters
};

// How --redact masks a number: of the characters that count (its digits and letters, or every
// character), `front` stay at the start (`countryFront` after a country code) and `back` at the
// end; the rest become asterisks of their own width.
struct MaskShape {
  std::uint8_t front = 0;
  std::uint8_t back = 0;
  bool everyCharacter = false;
  std::uint8_t countryFront = 0;
};

// What a failed verdict of the other kinds says of their rules.
struct RuleWords {
  std::string_view zhLength, enLength;
  std::string_view zhCharacter, enCharacter;  // for Letter, Digit and Character
};

// How many digits a kind found by a run of digits has in that run.
struct RunLength {
  std::uint8_t shortest = 0, longest = 0;
};

struct KindEntry {
  IdKind kind;
  std::string_view name;   // as options, rows and the bindings name it
  std::string_view label;  // what the kind is called in Chinese
  unsigned reasons;        // ReasonBit of each reason its verdict can give
  Anchor anchor;
  RunLength run;           // for Digits and Letters
  MaskShape mask;
  // Words that label it in text; a kind that has them is found under --labelled only with one.
  std::array<std::string_view, 3> labels{};
  RuleWords words{};
  // The other kinds' verdict on a text, and how many numbers `draw` makes from an index (0 for a
  // kind that is never drawn).
  IdVerdict (*verify)(std::string_view text, bool before2023) noexcept = nullptr;
  std::uint64_t drawable = 0;
  std::string (*draw)(std::uint64_t index, bool since2023) = nullptr;
};

inline constexpr unsigned kIdentityReasons = ReasonBit(Reason::Length) | ReasonBit(Reason::Letter) |
                                             ReasonBit(Reason::Second) | ReasonBit(Reason::Digit) |
                                             ReasonBit(Reason::Check);

inline constexpr KindEntry kKinds[] = {
    {IdKind::National, "national", "身分證字號", kIdentityReasons, Anchor::Identity, {}, {1, 0}},
    {IdKind::Resident, "resident", "新式居留證號", kIdentityReasons, Anchor::Identity, {}, {1, 0}},
    {IdKind::ResidentOld, "resident-old", "舊式居留證號", kIdentityReasons, Anchor::Identity, {}, {1, 0}},
    {IdKind::Business, "business", "統一編號",
     ReasonBit(Reason::Length) | ReasonBit(Reason::Digit) | ReasonBit(Reason::Check), Anchor::Digits,
     {kBusinessLength, kBusinessLength}, {0, 3},
     {"統一編號", "統編", "UBN"},
     {"統一編號應為八碼數字", "not eight digits", "統一編號應為數字０～９", "must be a digit 0-9"},
     VerifyBusiness, kBusinessNumbers, DrawBusiness},
    {IdKind::Certificate, "certificate", "自然人憑證號碼",
     ReasonBit(Reason::Length) | ReasonBit(Reason::Letter) | ReasonBit(Reason::Digit), Anchor::Letters,
     {kCertificateLength - kCertificateLetters, kCertificateLength - kCertificateLetters}, {2, 3},
     {"憑證"},
     {"自然人憑證號碼應為兩個大寫英文字母及十四碼數字", "not two letters and fourteen digits",
      "自然人憑證號碼前兩碼應為大寫英文字母、其後為數字",
      "breaks the form: two capital letters A-Z, then digits 0-9"},
     VerifyCertificate, kCertificateNumbers, DrawCertificate},
    {IdKind::Carrier, "carrier", "手機條碼", ReasonBit(Reason::Length) | ReasonBit(Reason::Character),
     Anchor::Slash, {}, {1, 2, true},
     {},
     {"手機條碼應為「/」加七個字元", "not \"/\" and seven characters",
      "手機條碼第一碼應為「/」，其後為０～９、Ａ～Ｚ、「.」「-」「+」",
      "breaks the form: \"/\", then seven of 0-9, A-Z, \".\", \"-\" and \"+\""},
     VerifyCarrier, kCarrierNumbers, DrawCarrier},
    {IdKind::Donation, "donation", "捐贈碼", ReasonBit(Reason::Length) | ReasonBit(Reason::Digit),
     Anchor::Digits, {kDonationShortest, kDonationLongest}, {0, 1},
     {"捐贈碼", "愛心碼", "捐贈代碼"},
     {"捐贈碼應為三到七碼數字", "not three to seven digits", "捐贈碼應為數字０～９", "must be a digit 0-9"},
     VerifyDonation, kDonationNumbers, DrawDonation},
    // Checked for form only, and never drawn: any of them may be someone's.
    {IdKind::Mobile, "mobile", "手機號碼",
     ReasonBit(Reason::Length) | ReasonBit(Reason::Digit) | ReasonBit(Reason::Character),
     Anchor::Mobile, {}, {2, 3, false, 4},
     {},
     {"手機號碼應為 09 開頭的十碼數字（或 +886 9 開頭）",
      "not 09 and eight digits (or +886 9 and eight digits)",
      "手機號碼應以 09 或 +886 9 開頭，其後為數字，可用空格或連字號分組",
      "breaks the form: 09 or +886 9, then digits, grouped by single spaces or hyphens"},
     VerifyMobile},
};

// The entries stand in the order of IdKind, the identity kinds first, as the sets below take them.
// (Their functions are checked by the tests: a sanitized build cannot compare them while compiling.)
static_assert(std::size(kKinds) == kKindCount);
static_assert([] {
  for (std::size_t i = 0; i < std::size(kKinds); ++i) {
    if (static_cast<std::size_t>(kKinds[i].kind) != i) return false;
    if ((kKinds[i].anchor == Anchor::Identity) != IsIdentityKind(kKinds[i].kind)) return false;
  }
  return true;
}());

constexpr const KindEntry& EntryOf(IdKind kind) noexcept { return kKinds[static_cast<std::size_t>(kind)]; }

// The kinds whose numbers --labelled finds only where a label names them.
inline constexpr KindSet kNeedLabels = [] {
  KindSet set = 0;
  for (const KindEntry& entry : kKinds) set |= entry.labels[0].empty() ? 0 : KindBit(entry.kind);
  return set;
}();

// Names by kind, the identity kinds first, for options, help and the bindings.
inline constexpr auto kKindNames = [] {
  std::array<Named<IdKind>, std::size(kKinds)> names{};
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = {kKinds[i].name, kKinds[i].kind};
  return names;
}();
inline constexpr std::span<const Named<IdKind>> kIdentityKindNames{kKindNames.data(), kIdentityKindCount};
inline constexpr std::span<const Named<IdKind>> kOtherKindNames{kKindNames.data() + kIdentityKindCount,
                                                                kKindNames.size() - kIdentityKindCount};
constexpr std::string_view NameOf(IdKind kind) noexcept { return EntryOf(kind).name; }

// What a kind of number is called in Chinese: 身分證字號, 統一編號, ...
constexpr std::string_view KindLabel(IdKind kind) noexcept { return EntryOf(kind).label; }

// Whether a number of a kind in `kinds` can fail by `reason`: the columns of a count.
constexpr bool CanFailBy(KindSet kinds, Reason reason) noexcept {
  for (const KindEntry& entry : kKinds) {
    if ((kinds & KindBit(entry.kind)) != 0 && (entry.reasons & ReasonBit(reason)) != 0) return true;
  }
  return false;
}

}  // namespace rules
