// The browser page's WebAssembly module: the rules, the place list and the windows' words, asked
// through a few C functions that answer in JSON. The page shows and collects; every verdict,
// number, place and message comes from here.
#include <emscripten/emscripten.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "resources/texts.h"
#include "resources/version.h"
#include "rules/generation.h"
#include "rules/id_number.h"
#include "rules/place_list.h"
#include "rules/text.h"
#include "rules/wording.h"

namespace {

using rules::IdKind;
using rules::Sex;

// A JSON object or array written as it is built.
class Json {
 public:
  Json& open(char bracket) {
    separate();
    m_text += bracket;
    m_first = true;
    return *this;
  }
  Json& close(char bracket) {
    m_text += bracket;
    m_first = false;
    return *this;
  }
  Json& key(std::string_view name) {
    separate();
    string(name);
    m_text += ':';
    m_first = true;
    return *this;
  }
  Json& value(std::string_view text) {
    separate();
    string(text);
    return *this;
  }
  Json& value(long long number) {
    separate();
    m_text += std::to_string(number);
    return *this;
  }
  Json& flag(bool on) {
    separate();
    m_text += on ? "true" : "false";
    return *this;
  }
  Json& null() {
    separate();
    m_text += "null";
    return *this;
  }
  template <typename T>
  Json& field(std::string_view name, const T& v) {
    key(name);
    if constexpr (std::is_same_v<T, bool>) {
      return flag(v);
    } else if constexpr (std::is_integral_v<T>) {
      return value(static_cast<long long>(v));
    } else {
      return value(std::string_view(v));
    }
  }
  const char* done() { return m_text.c_str(); }

 private:
  void separate() {
    if (!m_first) m_text += ',';
    m_first = false;
  }
  void string(std::string_view text) {
    m_text += '"';
    for (const char c : text) {
      if (c == '"' || c == '\\') {
        m_text += '\\';
        m_text += c;
      } else if (static_cast<unsigned char>(c) < 0x20) {
        static constexpr char kHex[] = "0123456789abcdef";
        m_text += "\\u00";
        m_text += kHex[(c >> 4) & 15];
        m_text += kHex[c & 15];
      } else {
        m_text += c;
      }
    }
    m_text += '"';
  }

  std::string m_text;
  bool m_first = true;
};

// The answer of the last call, kept until the next.
Json g_answer;

const char* answer(Json json) {
  g_answer = std::move(json);
  return g_answer.done();
}

std::u16string utf16(std::string_view utf8) {
  std::u16string out;
  for (std::size_t at = 0; at < utf8.size();) {
    const rules::Utf8Character character = rules::Utf8At(utf8, at);
    char32_t c = character.code;
    at += character.size;
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

Json& selection(Json& json, const std::u16string& text, int first, int count) {
  const auto start = static_cast<long long>(rules::Utf16Offset(text, first));
  const auto end = static_cast<long long>(rules::Utf16Offset(text, first + count));
  return json.key("select").open('[').value(start).value(end - start).close(']');
}

std::string placeName(int index) {
  const auto row = rules::PlaceByIndex(index);
  return row ? std::string(row->name) : std::string();
}

// The caption 產生號碼 leaves: the window's, with the kind's word for resident numbers.
std::string producedCaption(int count, bool unspecified, const std::string& number, IdKind kind) {
  const rules::IdVerdict verdict = rules::VerifyId(number);
  const std::string end = std::string(rules::KindLabel(kind)) + "!!";
  return texts::ProducedCaption(count, unspecified, verdict.place->name, verdict.sex == Sex::Male,
                                end);
}

}  // namespace

extern "C" {

// The windows' words, the place list, the batch sizes and the version.
EMSCRIPTEN_KEEPALIVE const char* taloma_texts() {
  Json json;
  json.open('{');
  json.field("version", std::string(version::kVersion));
  json.field("short", std::string(version::kShortVersion));
  const std::pair<std::string_view, std::string_view> words[] = {
      {"purpose", texts::kProgramPurpose}, {"produce", texts::kProduce},
      {"produceTip", texts::kProduceTip}, {"check", texts::kCheck},
      {"checkTip", texts::kCheckTip}, {"clear", texts::kClear},
      {"clearTip", texts::kClearTip}, {"cut", texts::kCut}, {"cutTip", texts::kCutTip},
      {"male", texts::kMale}, {"female", texts::kFemale}, {"numberTip", texts::kNumberTip},
      {"placeTip", texts::kPlaceTip}, {"howmuchTip", texts::kHowmuchTip},
      {"decodeTip", texts::kDecodeTip}, {"copy", texts::kCopy}, {"copyTip", texts::kCopyTip},
      {"selectall", texts::kSelectall}, {"selectallTip", texts::kSelectallTip},
      {"about", texts::kAbout}, {"aboutTip", texts::kAboutTip},
      {"postalTip", texts::kPostalTip}, {"areacodeTip", texts::kAreacodeTip},
      {"areacodeLabel", texts::kAreacodeLabel}, {"numberName", texts::kNumberName},
      {"placeName", texts::kPlaceName}, {"howmuchName", texts::kHowmuchName},
      {"listName", texts::kListName}, {"welcome", texts::kWelcome},
      {"errorTitle", texts::kErrorTitle}, {"cutDone", texts::kCutDone},
      {"cleared", texts::kCleared}, {"copiedSelected", texts::kCopiedSelected},
      {"copiedAll", texts::kCopiedAll}, {"nothingSelected", texts::kNothingSelected},
      {"aboutTitle", texts::kAboutTitle}, {"programNameIs", texts::kProgramNameIs},
      {"purposeIs", texts::kPurposeIs}, {"completedOn", texts::kCompletedOn},
      {"mailLabel", texts::kMailLabel}, {"ok", texts::kOk}};
  json.key("texts").open('{');
  for (const auto& [name, word] : words) json.field(name, word);
  json.close('}');
  json.key("places").open('[');
  for (int index = 0; index < rules::kPlaceRowCount; ++index) json.value(placeName(index));
  json.close(']');
  json.key("batchSizes").open('[');
  for (const int size : texts::kBatchSizes) json.value(size);
  json.close(']');
  json.key("kinds").open('[');
  for (const auto& [name, kind] : rules::kKindNames) json.value(name);
  json.close(']');
  json.key("kindLabels").open('[');
  for (const auto& [name, kind] : rules::kKindNames) json.value(rules::KindLabel(kind));
  json.close(']');
  json.key("categories").open('[');
  for (const auto& [name, category] : rules::kCategoryNames) json.value(name);
  json.close(']');
  json.key("categoryLabels").open('[');
  for (const auto& [name, category] : rules::kCategoryNames) {
    json.value(rules::CategoryLabel(rules::Language::ZhTw, category));
  }
  json.close(']');
  json.field("contact", std::string_view(TALOMA_CONTACT_ADDRESS));
  return answer(std::move(json.close('}')));
}

// The postal-code panel for row `index` of the place list: heading, area code (null when the
// panel hides it) and the lines of the postal list.
EMSCRIPTEN_KEEPALIVE const char* taloma_panel(int index) {
  Json json;
  json.open('{');
  const auto row = rules::PlaceByIndex(index);
  if (!row) return answer(std::move(json.close('}')));
  json.field("heading", index == 0 ? std::string(texts::kWholeCountryPostal)
                                   : std::string(row->name) + std::string(texts::kPostalSuffix));
  json.key("areaCode");
  if (index == 0) {
    json.null();
  } else {
    json.value(row->areaCode);
  }
  json.key("lines").open('[');
  if (row->place != nullptr && row->place->districts.empty()) json.value(rules::kNoPostalDistricts);
  for (const std::string& line : rules::PostalEntries(*row)) json.value(line);
  json.close(']');
  return answer(std::move(json.close('}')));
}

// The check of 檢測錯誤 on the text typed (UTF-8). For national numbers alone, the window's: a
// fault of form as a message box, a wrong check digit or a valid number as a caption, and the
// characters to select. For other kinds, the shared verdict sentence.
EMSCRIPTEN_KEEPALIVE const char* taloma_check(const char* typed, int kinds) {
  const std::string_view utf8(typed);
  const std::u16string text = utf16(utf8);
  Json json;
  json.open('{');
  if (static_cast<rules::KindSet>(kinds) == rules::kindBit(IdKind::National)) {
    const rules::NumVerdict verdict = rules::VerifyNum(text);
    json.field("valid", verdict.isValid());
    if (const auto fault = texts::FormFaultOf(verdict.kind)) {
      json.field("box", fault->prompt);
      selection(json, text, fault->first, fault->count);
      json.field("title", texts::kErrorTitle);
    } else if (verdict.kind == rules::VerdictKind::BadCheck) {
      json.field("caption", texts::CheckDigitCaption(verdict.expectedCheckDigit));
      json.field("beep", true);
      selection(json, text, 10, 1);
    } else {
      json.field("caption", texts::ValidCaption(verdict.kind == rules::VerdictKind::ValidMale,
                                                placeName(verdict.placeIndex)));
    }
    return answer(std::move(json.close('}')));
  }
  const rules::IdVerdict verdict = rules::VerifyId(utf8, static_cast<rules::KindSet>(kinds));
  json.field("valid", verdict.isValid());
  json.field("caption", rules::VerdictSentence(rules::Language::ZhTw, verdict,
                                               static_cast<rules::KindSet>(kinds)));
  if (verdict.isValid()) json.field("category", rules::NameOf(verdict.category));
  if (verdict.position > 0) {
    selection(json, text, verdict.position, verdict.reason == rules::Reason::Digit ? 11 - verdict.position : 1);
  }
  return answer(std::move(json.close('}')));
}

// A batch for 產生號碼: `count` numbers of `kind` for row `place` of the place list (0 for any
// place and either sex), of `sex` (0 male, 1 female) when a place is chosen, of the resident
// categories in the bits of `categories` (0 for all), drawn from the seed given in two halves,
// as taloma-id gen draws them for the same choices.
EMSCRIPTEN_KEEPALIVE const char* taloma_generate(int count, int place, int sex, int kind,
                                                 int categories, unsigned seedHigh,
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
  Json json;
  json.open('{');
  json.key("numbers").open('[');
  std::string last;
  for (int n = 0; n < count; ++n) json.value(last = draw.nextNumber());
  json.close(']');
  if (!last.empty()) json.field("caption", producedCaption(count, place == 0, last, idKind));
  return answer(std::move(json.close('}')));
}

// What a listed number encodes, in the window's words for a national number.
EMSCRIPTEN_KEEPALIVE const char* taloma_decode(const char* number) {
  const rules::IdVerdict verdict = rules::VerifyId(number);
  Json json;
  json.open('{');
  if (verdict.isValid() && verdict.kind == IdKind::National) {
    json.field("caption", texts::DecodedCaption(verdict.place->name, verdict.sex == Sex::Male));
  } else {
    json.field("caption", rules::VerdictSentence(rules::Language::ZhTw, verdict, rules::kAllKinds));
  }
  return answer(std::move(json.close('}')));
}

// Text typed into the number box: a to z upper-cased, as the window's key filter does.
EMSCRIPTEN_KEEPALIVE const char* taloma_typed(const char* typed) {
  std::string text(typed);
  for (char& c : text) c = static_cast<char>(rules::upperCased(static_cast<unsigned char>(c)));
  Json json;
  return answer(std::move(json.value(text)));
}

// Text pasted or dropped into the number box: without what nobody sees, case kept.
EMSCRIPTEN_KEEPALIVE const char* taloma_pasted(const char* pasted) {
  Json json;
  return answer(std::move(json.value(rules::WithoutInvisibles(pasted))));
}

}  // extern "C"
