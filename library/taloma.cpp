// The C interface over the rules and the text engine. No exception leaves it: a function
// that could meet one (memory running out) answers as its header says instead.
#include "taloma/taloma.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/fed_search.h"
#include "engine/masks.h"
#include "engine/pseudonyms.h"
#include "engine/scan.h"
#include "library/interface.h"
#include "resources/version.h"
#include "rules/kinds.h"
#include "rules/generation.h"
#include "rules/place_table.h"
#include "rules/row.h"
#include "rules/words.h"

namespace {

using rules::IdKind;

// The interface's kinds are the registry's, by value and by name, and its bit for the older rule
// of 統一編號 lies above every kind's.
constexpr std::pair<taloma_kind, std::string_view> kInterfaceKinds[] = {
    {TALOMA_NATIONAL, "national"}, {TALOMA_RESIDENT, "resident"}, {TALOMA_RESIDENT_OLD, "resident-old"},
    {TALOMA_BUSINESS, "business"}, {TALOMA_CERTIFICATE, "certificate"}, {TALOMA_CARRIER, "carrier"},
    {TALOMA_DONATION, "donation"}, {TALOMA_MOBILE, "mobile"}};
static_assert(std::size(kInterfaceKinds) == rules::kKindCount);
static_assert([] {
  for (const auto& [kind, name] : kInterfaceKinds) {
    if (rules::NameOf(static_cast<IdKind>(kind)) != name) return false;
  }
  return true;
}());
static_assert([] {
  unsigned all = 0;
  for (const auto& [kind, name] : kInterfaceKinds) {
    all |= rules::InterfaceBit(static_cast<IdKind>(kind), TALOMA_BEFORE_2023);
    if (TALOMA_KIND_BIT(kind) != rules::InterfaceBit(static_cast<IdKind>(kind), TALOMA_BEFORE_2023)) return false;
  }
  return all == TALOMA_ALL_KINDS && (all & TALOMA_BEFORE_2023) == 0;
}());
static_assert(TALOMA_IDENTITY_KINDS == rules::kIdentityKinds);

// The place table's texts are views into one constant; the interface hands out NUL-ended copies,
// made once and never changed.
struct Texts {
  std::array<char, 2 * 26> letters{};  // "A\0B\0..."
  std::vector<std::string> placeNames, areaCodes;
  std::vector<std::string> districtNames, postalCodes;

  const char* letter(char c) const { return &letters[static_cast<std::size_t>(2 * (c - 'A'))]; }
  // "0" to "9", or "" for no digit.
  const char* digit(int d) const { return d >= 0 && d <= 9 ? &digits[static_cast<std::size_t>(2 * d)] : ""; }
  std::array<char, 2 * 10> digits{};
};

const Texts& texts() {
  static const Texts made = [] {
    Texts t;
    for (int i = 0; i < 26; ++i) t.letters[static_cast<std::size_t>(2 * i)] = static_cast<char>('A' + i);
    for (int i = 0; i < 10; ++i) t.digits[static_cast<std::size_t>(2 * i)] = static_cast<char>('0' + i);
    for (const rules::Place& place : rules::Places()) {
      t.placeNames.emplace_back(place.name);
      t.areaCodes.emplace_back(place.diallingCode);
    }
    for (const rules::District& district : rules::AllDistricts()) {
      t.districtNames.emplace_back(district.name);
      t.postalCodes.emplace_back(district.postalCode);
    }
    return t;
  }();
  return made;
}

// A name of the rules' tables, which are literals and so NUL-ended; "" for none.
const char* named(std::string_view name) { return name.empty() ? "" : name.data(); }

// The interface's verdict, field by field as the row's fields have them: an absent text field
// is "", an absent position 0, an absent expected digit -1.
void fill(const rules::IdVerdict& v, taloma_verdict* out) {
  const auto text = [&v](std::size_t field) -> const char* {
    return named(rules::VerdictField(v, field).text);
  };
  out->valid = rules::VerdictField(v, 0).boolean ? 1 : 0;
  out->kind = text(1);
  out->sex = text(2);
  out->category = text(3);
  out->letter = v.letter >= 'A' && v.letter <= 'Z' ? texts().letter(v.letter) : "";
  out->place = v.place != nullptr ? texts().placeNames[static_cast<std::size_t>(v.place->index() - 1)].c_str() : "";
  out->reason = text(6);
  out->position = rules::VerdictField(v, 7).number;
  out->expected = v.expected;
}

// A set of kinds as the interface takes it, TALOMA_BEFORE_2023 included.
rules::KindChoice choiceOf(unsigned kinds) { return rules::ChoiceOf(kinds, TALOMA_BEFORE_2023); }

std::vector<std::string_view> listOf(const char* names) {
  std::vector<std::string_view> items;
  std::string_view rest = names != nullptr ? names : "";
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    std::string_view item = rest.substr(0, comma);
    while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
    while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
    items.push_back(item);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  }
  return items;
}

// Hands `text` to a scanner as one read; a stopped scan reads nothing more.
engine::Source sourceOf(std::string_view text, const bool& stopped) {
  return [text, &stopped, given = false](char* into, std::size_t room) mutable -> long {
    if (given || stopped) return 0;
    const std::size_t n = std::min(room, text.size());
    std::memcpy(into, text.data(), n);
    text.remove_prefix(n);
    given = text.empty();
    return static_cast<long>(n);
  };
}

}  // namespace

namespace taloma_c {

engine::ScanOptions scanOptionsOf(const taloma_scan_options* options, bool text) {
  engine::ScanOptions scan;
  const rules::KindChoice choice = choiceOf(options != nullptr ? options->kinds : 0);
  scan.kinds = choice.kinds;
  scan.before2023 = choice.before2023;
  scan.nearMisses = options != nullptr && options->near_misses != 0;
  scan.normalize = options != nullptr && options->normalize != 0;
  scan.labelled = options != nullptr && options->labelled != 0;
  scan.positions = true;
  scan.text = text;
  return scan;
}

char* copied(std::string_view text) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy == nullptr) return nullptr;
  std::memcpy(copy, text.data(), text.size());
  copy[text.size()] = '\0';
  return copy;
}

}  // namespace taloma_c

using taloma_c::copied;
using taloma_c::scanOptionsOf;

struct taloma_generator {
  rules::PlannedDraw draw;
  std::uint64_t drawn = 0;
  bool unique = false;
  std::string held;  // a number drawn for a buffer too small for it, given by the next call
};

// The search fed in pieces, with the caller's callbacks: the first nonzero answer stops it.
struct taloma_scanner {
  explicit taloma_scanner(const taloma_scanner_options& options)
      : options(options),
        pseudonyms(options.key != nullptr
                       ? taloma_c::pseudonymsOf(options.key, options.context, options.reveal != 0)
                       : nullptr),
        search(scanOptionsOf(&options.scan, true), numberOf(), redactedOf(), pseudonyms.get()) {
    this->options.key = nullptr;
  }

  // Runs `work`, unless the scan has stopped or failed already; the interface's answer.
  template <typename Work>
  int run(const Work& work) {
    if (state != 0) return state;
    try {
      work();
    } catch (const std::bad_alloc&) {
      state = -1;
      search.stop();
    }
    return state;
  }

  taloma_scanner_options options;
  int state = 0;  // 1 once a callback has stopped the scan, -1 once memory has run out
  std::unique_ptr<engine::Pseudonyms> pseudonyms;
  engine::FedSearch search;

 private:
  void stopIf(int answer) {
    if (answer == 0 || state != 0) return;
    state = 1;
    search.stop();
  }
  engine::FedSearch::Number numberOf() {
    if (options.number == nullptr) return {};
    return [this](const engine::Found& number) {
      taloma_found found{};
      found.offset = static_cast<std::size_t>(number.offset);
      found.length = number.text.size();
      found.line = number.line;
      found.column = number.column;
      fill(number.verdict, &found.verdict);
      stopIf(options.number(&found, number.text.data(), options.user));
    };
  }
  engine::FedSearch::Text redactedOf() {
    if (options.redacted == nullptr) return {};
    return [this](std::string_view bytes) {
      if (!bytes.empty()) stopIf(options.redacted(bytes.data(), bytes.size(), options.user));
    };
  }
};

namespace {

// Why a generator's options draw nothing, in a sentence that names what was wrong.
std::string refusalOf(const rules::GenPlan& plan) {
  const std::string quoted = "\"" + plan.detail + "\"";
  switch (plan.refusal) {
    case rules::GenRefusal::None: break;
    case rules::GenRefusal::NotDrawn: return "mobile numbers are not generated: any of them may be a real person's";
    case rules::GenRefusal::SinceNeedsBusiness: return "since_2023 is for business numbers only";
    case rules::GenRefusal::IdentityOnly: {
      // The option as the interface names it.
      const std::string option = plan.detail == "place" ? "places" : plan.detail == "category" ? "categories" : plan.detail;
      return "the option " + option + " is for identity and resident numbers only";
    }
    case rules::GenRefusal::UnknownPlace: return "unknown place " + quoted + ": give letters A-Z or place names such as 台北市";
    case rules::GenRefusal::NoneCurrent: return "current leaves out the letters no longer issued: " + plan.detail;
    case rules::GenRefusal::CategoryNeedsResident: return "categories are for resident numbers only";
    case rules::GenRefusal::UnknownCategory:
      return "unknown category " + quoted + ": foreign, unregistered, hong-kong-macao or mainland-china";
  }
  return {};
}

// The generator for `options`, or null with the reason in `reason` (a copy, when asked for).
taloma_generator* openGenerator(const taloma_gen_options* options, char** reason) try {
  const auto refused = [reason](std::string_view why) -> taloma_generator* {
    if (reason != nullptr) *reason = copied(why);
    return nullptr;
  };
  if (options == nullptr) return refused("no options");
  if (options->kind < 0 || static_cast<std::size_t>(options->kind) >= rules::kKindCount) {
    return refused("unknown kind");
  }
  if (options->sex < -1 || options->sex > 1) return refused("sex is 0 (male), 1 (female) or -1 (either)");
  const std::vector<std::string_view> places = listOf(options->places);
  const std::vector<std::string_view> categories = listOf(options->categories);
  rules::GenRequest request;
  request.kind = static_cast<IdKind>(options->kind);
  request.places = places;
  if (options->sex != -1) request.sex = static_cast<rules::Sex>(options->sex);
  request.categories = categories;
  request.current = options->current != 0;
  request.since2023 = options->since_2023 != 0;
  request.placesGiven = !places.empty();
  request.sexGiven = options->sex != -1;
  request.categoriesGiven = !categories.empty();
  request.currentGiven = request.current;
  const rules::GenPlan plan = rules::PlanGen(request);
  if (plan.refusal != rules::GenRefusal::None) return refused(refusalOf(plan));
  const bool unique = options->unique != 0;
  return new taloma_generator{rules::PlannedDraw(plan, options->seed, unique), 0, unique, {}};
} catch (const std::bad_alloc&) {
  if (reason != nullptr) *reason = nullptr;
  return nullptr;
}

}  // namespace

extern "C" {

const char* taloma_version(void) { return version::kVersion; }

int taloma_kinds(const char* names, unsigned* kinds) try {
  unsigned set = 0;
  for (const std::string_view name : listOf(names)) {
    bool known = false;
    for (const auto& [each, kind] : rules::kKindNames) {
      if (each == name) set |= rules::InterfaceBit(kind, TALOMA_BEFORE_2023), known = true;
    }
    if (!known) return -1;
  }
  if (kinds != nullptr) *kinds = set;
  return 0;
} catch (const std::bad_alloc&) {
  return -1;
}

int taloma_check(const char* text, size_t length, unsigned kinds, taloma_verdict* verdict) {
  const rules::IdVerdict v = rules::VerifyAny(std::string_view(text, length), choiceOf(kinds));
  if (verdict != nullptr) fill(v, verdict);
  return v.isValid() ? 1 : 0;
}

size_t taloma_check_many(const char* const* texts, const size_t* lengths, size_t count,
                         unsigned kinds, taloma_verdict* verdicts) {
  const rules::KindChoice set = choiceOf(kinds);
  std::size_t valid = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const rules::IdVerdict v = rules::VerifyAny(std::string_view(texts[i], lengths[i]), set);
    fill(v, &verdicts[i]);
    valid += v.isValid() ? 1 : 0;
  }
  return valid;
}

size_t taloma_decode(const char* text, size_t length, unsigned kinds, int chinese, char* buffer,
                     size_t capacity) {
  try {
    const rules::KindChoice set = choiceOf(kinds);
    const std::string sentence =
        rules::VerdictSentence(chinese != 0 ? rules::Language::ZhTw : rules::Language::En,
                               rules::VerifyAny(std::string_view(text, length), set), set);
    if (buffer != nullptr && sentence.size() < capacity) {
      std::memcpy(buffer, sentence.c_str(), sentence.size() + 1);
    }
    return sentence.size();
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

taloma_gen_options taloma_gen_defaults(uint64_t seed) {
  taloma_gen_options options{};
  options.seed = seed;
  options.kind = TALOMA_NATIONAL;
  options.sex = -1;
  return options;
}

taloma_generator* taloma_generator_new(const taloma_gen_options* options) {
  return openGenerator(options, nullptr);
}

taloma_generator* taloma_generator_open(const taloma_gen_options* options, char** reason) {
  if (reason != nullptr) *reason = nullptr;
  return openGenerator(options, reason);
}

uint64_t taloma_generator_size(const taloma_generator* generator) { return generator->draw.size(); }

size_t taloma_generator_next(taloma_generator* generator, char* buffer, size_t capacity) {
  try {
    if (generator->held.empty()) {
      if (generator->unique && generator->drawn == generator->draw.size()) return 0;
      generator->held = generator->draw.next();
      ++generator->drawn;
    }
    // A caller that retries with a bigger buffer gets this number, not the one after it.
    const std::size_t length = generator->held.size();
    if (length >= capacity) return 0;
    std::memcpy(buffer, generator->held.c_str(), length + 1);
    generator->held.clear();
    return length;
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

void taloma_generator_free(taloma_generator* generator) { delete generator; }

size_t taloma_scan(const char* text, size_t length, const taloma_scan_options* options,
                   taloma_found_fn each, void* user) {
  std::size_t reported = 0;
  bool stopped = false;
  try {
    engine::ScanWith(scanOptionsOf(options, false), sourceOf(std::string_view(text, length), stopped),
                  [&](std::string_view, const engine::Found* number) {
                    if (number == nullptr || stopped) return;
                    taloma_found found{};
                    found.offset = static_cast<std::size_t>(number->offset);
                    found.length = number->text.size();
                    found.line = number->line;
                    found.column = number->column;
                    fill(number->verdict, &found.verdict);
                    ++reported;
                    stopped = each != nullptr && each(&found, user) != 0;
                  });
  } catch (const std::bad_alloc&) {
  }
  return reported;
}

size_t taloma_redact(const char* text, size_t length, const taloma_scan_options* options,
                     char** out, size_t* out_length) {
  try {
    std::string redacted;
    redacted.reserve(length);
    std::size_t masked = 0;
    const bool stopped = false;
    engine::ScanWith(scanOptionsOf(options, true), sourceOf(std::string_view(text, length), stopped),
                  [&](std::string_view bytes, const engine::Found* number) {
                    if (number == nullptr) {
                      redacted += bytes;
                      return;
                    }
                    redacted += engine::MaskedNumber(bytes, number->verdict.kind);
                    ++masked;
                  });
    char* copy = static_cast<char*>(std::malloc(redacted.size() + 1));
    if (copy == nullptr) return static_cast<std::size_t>(-1);
    std::memcpy(copy, redacted.c_str(), redacted.size() + 1);
    *out = copy;
    if (out_length != nullptr) *out_length = redacted.size();
    return masked;
  } catch (const std::bad_alloc&) {
    return static_cast<std::size_t>(-1);
  }
}

void taloma_free(void* memory) { std::free(memory); }

taloma_scanner* taloma_scanner_new(const taloma_scanner_options* options) {
  if (options == nullptr || options->size != sizeof(taloma_scanner_options)) return nullptr;
  try {
    return new taloma_scanner(*options);
  } catch (const std::bad_alloc&) {
    return nullptr;
  } catch (const std::runtime_error&) {  // no AES from the system
    return nullptr;
  }
}

int taloma_scanner_feed(taloma_scanner* scanner, const char* bytes, size_t length) {
  return scanner->run([&] { scanner->search.feed(std::string_view(bytes, length)); });
}

int taloma_scanner_finish(taloma_scanner* scanner) {
  return scanner->run([scanner] { scanner->search.finish(); });
}

void taloma_scanner_free(taloma_scanner* scanner) { delete scanner; }

const char* taloma_kind_name(unsigned kind) {
  return kind < rules::kKindCount ? named(rules::kKinds[kind].name) : nullptr;
}

const char* taloma_field_value(size_t field, size_t index) {
  // NUL-ended copies of the rules' texts, made once.
  static const auto values = [] {
    std::vector<std::vector<std::string>> all(std::size(rules::kVerdictFields));
    for (std::size_t f = 0; f < all.size(); ++f) {
      for (std::size_t i = 0; !rules::FieldText(f, i).empty(); ++i) all[f].emplace_back(rules::FieldText(f, i));
    }
    return all;
  }();
  return field < values.size() && index < values[field].size() ? values[field][index].c_str() : nullptr;
}

const char* taloma_field_name(size_t field) {
  return field < std::size(rules::kVerdictFields) ? named(rules::kVerdictFields[field].name) : nullptr;
}

taloma_field_type taloma_verdict_field(const taloma_verdict* v, size_t field, int* number,
                                       const char** text) {
  if (v == nullptr || field >= std::size(rules::kVerdictFields)) return TALOMA_FIELD_ABSENT;
  // The struct's members in the order of the row's fields.
  const char* const members[] = {nullptr, v->kind, v->sex, v->category, v->letter, v->place, v->reason};
  int value = 0;
  const char* said = nullptr;
  taloma_field_type type = TALOMA_FIELD_TEXT;
  switch (rules::kVerdictFields[field].type) {
    case rules::FieldType::Boolean: type = TALOMA_FIELD_BOOLEAN, value = v->valid != 0; break;
    case rules::FieldType::Number:
      type = v->position > 0 ? TALOMA_FIELD_NUMBER : TALOMA_FIELD_ABSENT, value = v->position;
      break;
    case rules::FieldType::Text:
      said = field < std::size(members) ? members[field] : texts().digit(v->expected);
      if (said == nullptr || *said == '\0') type = TALOMA_FIELD_ABSENT;
      break;
  }
  if (number != nullptr) *number = value;
  if (text != nullptr) *text = said;
  return type;
}

size_t taloma_place_count(void) { return rules::kPlaceCount; }

int taloma_place_at(size_t index, taloma_place* out) {
  if (index >= rules::kPlaceCount) return -1;
  const rules::Place& place = rules::Places()[index];
  out->letter = texts().letter(place.letter);
  out->value = place.letterValue;
  out->name = texts().placeNames[index].c_str();
  out->area_code = texts().areaCodes[index].c_str();
  out->postal_count = static_cast<int>(place.districts.size());
  out->last_issued = place.lastIssued;
  return 0;
}

size_t taloma_district_count(void) { return rules::kDistrictCount; }

int taloma_district_at(size_t index, taloma_district* out) {
  if (index >= rules::kDistrictCount) return -1;
  const rules::District& district = rules::AllDistricts()[index];
  const rules::Place* place = rules::PlaceOfDistrict(district);
  out->letter = place != nullptr ? texts().letter(place->letter) : "";
  out->place = place != nullptr ? texts().placeNames[static_cast<std::size_t>(place->index() - 1)].c_str() : "";
  out->district = texts().districtNames[index].c_str();
  out->postal_code = texts().postalCodes[index].c_str();
  return 0;
}

}  // extern "C"
