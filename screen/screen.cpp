// The screen's answers, from the rules and the screen's words.
#include "screen/screen.h"

#include "resources/version.h"
#include "rules/id_core.h"
#include "rules/kinds.h"
#include "rules/place_list.h"
#include "rules/text.h"
#include "rules/words.h"
#include "screen/words.h"

namespace screen {
namespace {

using rules::IdKind;
using rules::IdVerdict;
using rules::Reason;

std::string text(std::string_view words) { return std::string(words); }

// Characters `first` (from 1) to `first + count` of `typed`, in UTF-16 units.
Selection selection(std::u16string_view typed, int first, int count) {
  const auto start = static_cast<int>(rules::Utf16Offset(typed, first));
  const auto end = static_cast<int>(rules::Utf16Offset(typed, first + count));
  return {start, end - start};
}

CheckOutcome nationalCheck(std::u16string_view typed) {
  const rules::NumVerdict verdict = rules::VerifyNum(typed);
  CheckOutcome outcome;
  switch (verdict.kind) {
    case rules::VerdictKind::BadLetter:
      outcome.box = text(rules::kLetterRule) + text(words::kDone);
      outcome.select = selection(typed, 1, 1);
      return outcome;
    case rules::VerdictKind::BadSex:
      outcome.box = text(rules::kNationalSecondRule) + text(words::kDone);
      outcome.select = selection(typed, 2, 1);
      return outcome;
    case rules::VerdictKind::BadDigit:
      outcome.box = text(rules::kDigitRule) + text(words::kDone);
      outcome.select = selection(typed, 3, 8);
      return outcome;
    case rules::VerdictKind::BadCheck:
      outcome.caption = text(rules::kCheckDigitRule) + std::to_string(verdict.expectedCheckDigit);
      outcome.select = selection(typed, 10, 1);
      outcome.beep = true;
      return outcome;
    case rules::VerdictKind::ValidMale:
    case rules::VerdictKind::ValidFemale: break;
  }
  IdVerdict valid{Reason::None};
  valid.sex = verdict.kind == rules::VerdictKind::ValidMale ? rules::Sex::Male : rules::Sex::Female;
  valid.place = rules::PlaceByLetterValue(verdict.letterValue);
  valid.letter = valid.place->letter;
  outcome.valid = true;
  outcome.caption = rules::VerdictSentence(rules::Language::ZhTw, valid, {rules::KindBit(IdKind::National)});
  return outcome;
}

}  // namespace

std::string ProgramAndVersion() { return "Taloma v" + text(version::kShortVersion); }

std::string WindowTitle() { return ProgramAndVersion() + " (" + text(words::kProgramPurpose) + ")"; }

std::string WelcomeCaption() {
  return text(words::kWelcome) + ProgramAndVersion() + text(words::kLineBreak) +
         text(words::kProgramPurpose);
}

std::string AboutInfo() {
  return text(words::kProgramNameIs) + ProgramAndVersion() + text(words::kLineBreak) +
         text(words::kPurposeIs) + text(words::kProgramPurpose) + text(words::kLineBreak) +
         text(words::kCompletedOn);
}

BoxState AfterEdit(std::size_t length) {
  const bool full = length == static_cast<std::size_t>(rules::kNumberLength);
  return {length != 0, full, full};
}

CheckOutcome Check(std::u16string_view typed, rules::KindSet kinds) {
  if (kinds == rules::KindBit(IdKind::National)) return nationalCheck(typed);
  const IdVerdict verdict = rules::VerifyId(rules::Utf8Of(typed), kinds);
  CheckOutcome outcome;
  outcome.valid = verdict.isValid();
  outcome.caption = rules::VerdictSentence(rules::Language::ZhTw, verdict, {kinds});
  if (verdict.position > 0) {
    const int count = verdict.reason == Reason::Digit ? rules::kNumberLength + 1 - verdict.position : 1;
    outcome.select = selection(typed, verdict.position, count);
  }
  return outcome;
}

CheckOutcome CheckChosenOrAny(std::u16string_view typed, rules::KindSet chosen) {
  CheckOutcome outcome = Check(typed, chosen);
  if (outcome.valid || (chosen & rules::kIdentityKinds) == rules::kIdentityKinds) return outcome;
  CheckOutcome any = Check(typed, rules::kIdentityKinds);
  return any.valid ? any : outcome;
}

Panel PanelOf(int index, bool lines) {
  Panel panel;
  const auto row = rules::PlaceByIndex(index);
  if (index == 0) {
    panel.heading = text(words::kWholeCountryPostal);
    panel.paintFirst = true;
  } else {
    panel.heading = text(row ? row->name : "") + text(words::kPostalSuffix);
    panel.showAreaCode = true;
  }
  panel.areaCode = text(row ? row->areaCode : rules::kNoAreaCode);
  if (!row) return panel;
  panel.refill = true;
  if (!lines) return panel;
  panel.lines = rules::PostalEntries(*row);
  if (panel.lines.empty()) panel.lines.push_back(text(rules::kNoPostalDistricts));
  return panel;
}

std::string ProducedCaption(int count, bool placesDrawn, std::string_view last) {
  const IdVerdict verdict = rules::VerifyId(last);
  const bool unspecified = placesDrawn && count != 1;
  if (verdict.isValid() && verdict.kind != IdKind::National) {
    // Resident numbers name the place of their letter, not a household registration.
    const std::string kind = text(rules::KindLabel(verdict.kind)) + text(words::kDone);
    const std::string head = text(words::kProduced) + std::to_string(count) +
                             text(words::kProducedGroups) + text(words::kLineBreak);
    if (unspecified) return head + text(words::kLetterAndSexUnspecified) + kind;
    return head + text(words::kLetterIs) + text(verdict.place->name) + text(words::kOf) +
           text(verdict.sex == rules::Sex::Male ? words::kMale : words::kFemale) + kind;
  }
  std::string caption = text(words::kProduced) + std::to_string(count) + text(words::kProducedIn) +
                        text(words::kLineBreak);
  if (unspecified) return caption + text(words::kProducedUnspecified);
  if (!verdict.isValid()) return caption;
  return caption + text(verdict.place->name) + text(words::kOf) +
         text(verdict.sex == rules::Sex::Male ? words::kMale : words::kFemale) +
         text(rules::KindLabel(verdict.kind)) + text(words::kDone);
}

std::string_view ListTip(bool placesDrawn) { return placesDrawn ? words::kDecodeTip : ""; }

std::string Decoded(std::string_view number) {
  const IdVerdict verdict = rules::VerifyId(number);
  if (!verdict.isValid() || verdict.kind != IdKind::National) {
    return rules::VerdictSentence(rules::Language::ZhTw, verdict, {rules::kIdentityKinds});
  }
  return text(words::kDecodedIn) + text(words::kLineBreak) + text(words::kOpenQuote) +
         text(verdict.place->name) + text(words::kCloseQuote) +
         text(verdict.sex == rules::Sex::Male ? words::kSir : words::kMadam);
}

std::string ClipboardText(std::span<const std::string> numbers) {
  std::string copied;
  for (const std::string& number : numbers) copied += number + text(words::kLineBreak);
  return copied;
}

std::string_view ClearedCaption(bool cut) { return cut ? words::kCutDone : words::kCleared; }

std::span<const PageWord> PageWords() {
  static constexpr PageWord kWords[] = {
      {"purpose", words::kProgramPurpose}, {"produce", words::kProduce},
      {"produceTip", words::kProduceTip}, {"check", words::kCheck},
      {"checkTip", words::kCheckTip}, {"clear", words::kClear},
      {"clearTip", words::kClearTip}, {"cut", words::kCut}, {"cutTip", words::kCutTip},
      {"male", words::kMale}, {"female", words::kFemale}, {"numberTip", words::kNumberTip},
      {"placeTip", words::kPlaceTip}, {"howmuchTip", words::kHowmuchTip},
      {"decodeTip", words::kDecodeTip}, {"decodeHint", words::kDecodeHint},
      {"copy", words::kCopy}, {"copyTip", words::kCopyTip},
      {"selectall", words::kSelectall}, {"selectallTip", words::kSelectallTip},
      {"about", words::kAbout}, {"aboutTip", words::kAboutTip},
      {"postalTip", words::kPostalTip}, {"areacodeTip", words::kAreacodeTip},
      {"areacodeLabel", words::kAreacodeLabel}, {"numberName", words::kNumberName},
      {"placeName", words::kPlaceName}, {"howmuchName", words::kHowmuchName},
      {"listName", words::kListName}, {"errorTitle", words::kErrorTitle},
      {"copiedSelected", words::kCopiedSelected}, {"copiedAll", words::kCopiedAll},
      {"nothingSelected", words::kNothingSelected}, {"aboutTitle", words::kAboutTitle},
      {"cutDone", words::kCutDone}, {"cleared", words::kCleared},
      {"mailLabel", words::kMailLabel}, {"ok", words::kOk},
      {"optionsLegend", words::kOptionsLegend}, {"sexName", words::kSexName},
      {"kindName", words::kKindName}, {"categoryName", words::kCategoryName},
      {"allCategories", words::kAllCategories}, {"offline", words::kOffline},
      {"needsWebAssembly", words::kNeedsWebAssembly},
      {"otherLegend", words::kOtherLegend}, {"otherKindName", words::kOtherKindName},
      {"otherNumberName", words::kOtherNumberName}, {"otherNumberTip", words::kOtherNumberTip},
      {"otherCheck", words::kOtherCheck}, {"otherCheckTip", words::kOtherCheckTip},
      {"otherProduce", words::kOtherProduce}, {"otherProduceTip", words::kOtherProduceTip},
      {"otherListName", words::kOtherListName}, {"otherCopy", words::kOtherCopy},
      {"otherCopyTip", words::kOtherCopyTip}, {"otherCopied", words::kOtherCopied},
      {"otherNoMobile", words::kOtherNoMobile}};
  return kWords;
}

}  // namespace screen
