// The browser page's WebAssembly module: the screen's answers and the seeded generator, bound to
// JavaScript with embind. The page shows and collects; every verdict, number, place and word comes
// from here.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdint>
#include <string>
#include <vector>

#include "resources/version.h"
#include "rules/kinds.h"
#include "rules/generation.h"
#include "rules/place_list.h"
#include "rules/text.h"
#include "rules/words.h"
#include "screen/screen.h"
#include "screen/words.h"

namespace {

using emscripten::val;
using rules::IdKind;
using rules::Sex;

// embind passes a std::string to JavaScript as UTF-8.
val text(std::string_view utf8) { return val(std::string(utf8)); }

template <typename Items, typename Each>
val array(const Items& items, Each each) {
  val out = val::array();
  for (const auto& item : items) out.call<void>("push", each(item));
  return out;
}

// The screen's words, the place list, the batch sizes, the kinds and categories, the version.
val pageWords() {
  val out = val::object();
  out.set("version", text(version::kVersion));
  out.set("title", text(screen::WindowTitle()));
  out.set("welcome", text(screen::WelcomeCaption()));
  out.set("aboutInfo", text(screen::AboutInfo()));
  val texts = val::object();
  for (const screen::PageWord& word : screen::PageWords()) texts.set(std::string(word.key), text(word.text));
  out.set("texts", texts);
  std::vector<int> rows(rules::kPlaceRowCount);
  for (int index = 0; index < rules::kPlaceRowCount; ++index) rows[index] = index;
  out.set("places", array(rows, [](int index) { return text(rules::PlaceByIndex(index)->name); }));
  out.set("batchSizes", array(words::kBatchSizes, [](int size) { return val(size); }));
  out.set("kinds", array(rules::kIdentityKindNames, [](const auto& kind) { return text(kind.name); }));
  out.set("kindLabels",
          array(rules::kIdentityKindNames, [](const auto& kind) { return text(rules::KindLabel(kind.value)); }));
  out.set("formKinds", array(rules::kOtherKindNames, [](const auto& kind) {
            return val(static_cast<int>(kind.value));
          }));
  out.set("formKindLabels", array(rules::kOtherKindNames, [](const auto& kind) {
            return text(rules::KindLabel(kind.value));
          }));
  out.set("otherBatch", words::kOtherBatch);
  out.set("categories", array(rules::kCategoryNames, [](const auto& c) { return text(c.name); }));
  out.set("categoryLabels", array(rules::kCategoryNames, [](const auto& c) {
            return text(rules::CategoryLabel(rules::Language::ZhTw, c.value));
          }));
  out.set("contact", text(TALOMA_CONTACT_ADDRESS));
  return out;
}

// The postal panel for row `index` of the place list; the area code null when the panel hides it.
val panel(int index) {
  const screen::Panel shown = screen::PanelOf(index);
  val out = val::object();
  out.set("heading", text(shown.heading));
  out.set("areaCode", shown.showAreaCode ? text(shown.areaCode) : val::null());
  out.set("lines", array(shown.lines, [](const std::string& line) { return text(line); }));
  return out;
}

// A check's outcome as the page takes it.
val outcomeOf(const screen::CheckOutcome& outcome) {
  val out = val::object();
  out.set("valid", outcome.valid);
  if (!outcome.box.empty()) {
    out.set("box", text(outcome.box));
    out.set("title", text(words::kErrorTitle));
  } else {
    out.set("caption", text(outcome.caption));
  }
  if (outcome.select.length > 0) {
    const std::vector<int> select = {outcome.select.start, outcome.select.length};
    out.set("select", array(select, [](int n) { return val(n); }));
  }
  out.set("beep", outcome.beep);
  return out;
}

// What 檢測錯誤 shows for the typed text and the kinds in the bits of `kinds`.
val check(const std::string& typed, int kinds) {
  return outcomeOf(screen::Check(rules::Utf16Of(typed), static_cast<rules::KindSet>(kinds)));
}

// The page's 檢測錯誤: the kinds chosen, or any identity kind that takes the number.
val checkTyped(const std::string& typed, int kinds) {
  return outcomeOf(
      screen::CheckChosenOrAny(rules::Utf16Of(typed), static_cast<rules::KindSet>(kinds)));
}

// A batch for 產生號碼: `count` numbers of `kind` for row `place` of the place list (0 for any
// place and either sex), of `sex` (0 male, 1 female) when a place is chosen, of the resident
// categories in the bits of `categories` (0 for all), drawn from the seed given in two halves,
// as taloma-id gen draws them for the same choices.
val generate(int count, int place, int sex, int kind, int categories, unsigned seedHigh,
             unsigned seedLow) {
  const IdKind idKind = static_cast<IdKind>(kind);
  std::vector<const rules::Place*> places;
  for (const rules::Place& each : rules::Places()) {
    if (place == 0 || each.index() == place) places.push_back(&each);
  }
  std::vector<Sex> sexes;
  if (place == 0 || sex == 0) sexes.push_back(Sex::Male);
  if (place == 0 || sex == 1) sexes.push_back(Sex::Female);
  std::vector<rules::Category> chosen;
  for (std::size_t bit = 0; bit < std::size(rules::kCategoryNames); ++bit) {
    if (idKind == IdKind::Resident && (categories & (1 << bit)) != 0) {
      chosen.push_back(rules::kCategoryNames[bit].value);
    }
  }
  const std::uint64_t seed = (std::uint64_t{seedHigh} << 32) | seedLow;
  rules::NumberDraw draw(rules::Choices(idKind, places, sexes), rules::SerialSpace(chosen), seed,
                         false);
  std::vector<std::string> numbers;
  for (int n = 0; n < count; ++n) numbers.push_back(draw.nextNumber());
  val out = val::object();
  out.set("numbers", array(numbers, [](const std::string& number) { return text(number); }));
  if (!numbers.empty()) {
    out.set("caption", text(screen::ProducedCaption(count, place == 0, numbers.back())));
    out.set("tip", text(screen::ListTip(place == 0)));
  }
  return out;
}

// The other panel's verdict on `typed` as a number of `kind` (Business to Mobile).
val formCheck(const std::string& typed, int kind) {
  const rules::IdVerdict verdict = rules::VerifyOther(typed, static_cast<IdKind>(kind));
  val out = val::object();
  out.set("valid", verdict.isValid());
  out.set("caption", text(rules::VerdictSentence(rules::Language::ZhTw, verdict,
                                                 {rules::KindBit(static_cast<IdKind>(kind))})));
  return out;
}

// `count` numbers of `kind` from the seed given in two halves, as taloma-id gen -k draws them;
// none of a kind that is not drawn (mobile numbers).
val formGenerate(int count, int kind, unsigned seedHigh, unsigned seedLow) {
  const IdKind formKind = static_cast<IdKind>(kind);
  std::vector<std::string> numbers;
  if (rules::OtherNumbers(formKind) != 0) {
    rules::OtherDraw draw(formKind, (std::uint64_t{seedHigh} << 32) | seedLow, false);
    for (int n = 0; n < count; ++n) numbers.push_back(draw.next());
  }
  return array(numbers, [](const std::string& number) { return text(number); });
}

// The number box after its text changed to `length` UTF-16 units.
val afterEdit(int length) {
  const screen::BoxState box = screen::AfterEdit(static_cast<std::size_t>(length));
  val out = val::object();
  out.set("clearEnabled", box.clearEnabled);
  out.set("checkEnabled", box.checkEnabled);
  out.set("checkTakesFocus", box.checkTakesFocus);
  return out;
}

std::string decode(const std::string& number) { return screen::Decoded(number); }

std::string clipboardText(const val& numbers) {
  return screen::ClipboardText(emscripten::vecFromJSArray<std::string>(numbers));
}

// Text typed into the number box: a to z upper-cased, as the window's key filter does.
std::string typed(std::string text) {
  for (char& c : text) c = static_cast<char>(rules::UpperCased(static_cast<unsigned char>(c)));
  return text;
}

// Text pasted or dropped into the number box: without what nobody sees, case kept.
std::string pasted(const std::string& text) { return rules::WithoutInvisibles(text); }

}  // namespace

EMSCRIPTEN_BINDINGS(taloma) {
  emscripten::function("words", &pageWords);
  emscripten::function("panel", &panel);
  emscripten::function("check", &check);
  emscripten::function("checkTyped", &checkTyped);
  emscripten::function("generate", &generate);
  emscripten::function("afterEdit", &afterEdit);
  emscripten::function("formCheck", &formCheck);
  emscripten::function("formGenerate", &formGenerate);
  emscripten::function("decode", &decode);
  emscripten::function("clipboardText", &clipboardText);
  emscripten::function("typed", &typed);
  emscripten::function("pasted", &pasted);
}
