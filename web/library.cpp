// What the npm package calls, in the same module as the page: libtaloma's C interface bound with
// embind, and for checking, where speed counts, two plain exports that read numbers the package
// wrote into the module's memory and answer with one integer per verdict.
#include <emscripten/bind.h>
#include <emscripten/emscripten.h>
#include <emscripten/val.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "rules/form_numbers.h"
#include "rules/place_table.h"
#include "rules/wording.h"
#include "taloma/taloma.h"

namespace {

using emscripten::val;

// A verdict as one integer, which the package turns into a row's fields through the names that
// libraryNames gives: bits 0-2 the reason, 3-5 the kind, 6 whether the kind is shown, 7 the sex
// (shown when 8 is set), 9-11 the category, 12-16 the place's row (0 for none), 17-22 the
// position, 23-26 the expected digit plus one.
std::int32_t codeOf(const rules::IdVerdict& v) {
  const bool valid = v.isValid();
  const bool identity = rules::IsIdentityKind(v.kind);
  std::uint32_t code = static_cast<std::uint32_t>(v.reason);
  code |= static_cast<std::uint32_t>(v.kind) << 3;
  code |= (valid || !identity ? 1u : 0u) << 6;
  code |= static_cast<std::uint32_t>(v.sex) << 7;
  code |= (valid && identity ? 1u : 0u) << 8;
  code |= static_cast<std::uint32_t>(v.category) << 9;
  code |= static_cast<std::uint32_t>(v.place != nullptr ? v.place->index() : 0) << 12;
  code |= static_cast<std::uint32_t>(v.position & 63) << 17;
  code |= static_cast<std::uint32_t>(v.expected + 1) << 23;
  return static_cast<std::int32_t>(code);
}

rules::KindSet kindsOf(unsigned kinds) {
  rules::KindSet set = kinds & (rules::kIdentityKinds | rules::kFormKinds);
  return (set == 0 ? rules::kIdentityKinds : set) | (kinds & rules::kBusinessBefore2023);
}

val text(std::string_view utf8) { return val(std::string(utf8)); }

// The names the codes stand for, and the places by row.
val libraryNames() {
  val out = val::object();
  const auto list = [](const auto& names) {
    val items = val::array();
    for (const auto& named : names) items.set(static_cast<unsigned>(named.value), text(named.name));
    return items;
  };
  out.set("kinds", list(rules::kKindNames));
  out.set("sexes", list(rules::kSexNames));
  out.set("categories", list(rules::kCategoryNames));
  out.set("reasons", list(rules::kReasonNames));
  val places = val::array();
  places.set(0, val::null());
  for (const rules::Place& place : rules::Places()) {
    val row = val::object();
    row.set("letter", text(std::string(1, place.letter)));
    row.set("place", text(place.name));
    places.set(static_cast<unsigned>(place.index()), row);
  }
  out.set("places", places);
  out.set("version", text(taloma_version()));
  return out;
}

// The row taloma-id's jsonl writes for a verdict, without the input.
void setVerdict(val& row, const taloma_verdict& v) {
  row.set("valid", v.valid != 0);
  for (const auto& [name, field] : {std::pair{"kind", v.kind}, {"sex", v.sex},
                                    {"category", v.category}, {"letter", v.letter},
                                    {"place", v.place}, {"reason", v.reason}}) {
    if (*field != '\0') row.set(name, text(field));
  }
  if (v.position > 0) row.set("position", v.position);
  if (v.expected >= 0) row.set("expected", text(std::to_string(v.expected)));
}

taloma_scan_options scanOptions(unsigned kinds, bool nearMisses, bool normalize, bool labelled) {
  return {kinds, nearMisses ? 1 : 0, normalize ? 1 : 0, labelled ? 1 : 0};
}

// Rows with line and column, as taloma-id scan -f jsonl writes them.
val libraryScan(const std::string& input, unsigned kinds, bool nearMisses, bool normalize,
                bool labelled) {
  val rows = val::array();
  const taloma_scan_options options = scanOptions(kinds, nearMisses, normalize, labelled);
  struct Context {
    val* rows;
    const std::string* input;
  } context{&rows, &input};
  taloma_scan(input.data(), input.size(), &options,
              [](const taloma_found* found, void* user) {
                auto* c = static_cast<Context*>(user);
                val row = val::object();
                row.set("line", static_cast<double>(found->line));
                row.set("column", static_cast<double>(found->column));
                row.set("input", text(std::string_view(*c->input).substr(found->offset, found->length)));
                setVerdict(row, found->verdict);
                c->rows->call<void>("push", row);
                return 0;
              },
              &context);
  return rows;
}

val libraryRedact(const std::string& input, unsigned kinds, bool nearMisses, bool normalize,
                  bool labelled) {
  const taloma_scan_options options = scanOptions(kinds, nearMisses, normalize, labelled);
  char* out = nullptr;
  std::size_t length = 0;
  if (taloma_redact(input.data(), input.size(), &options, &out, &length) == static_cast<std::size_t>(-1)) {
    return val::null();
  }
  val redacted = text(std::string_view(out, length));
  taloma_free(out);
  return redacted;
}

// The numbers taloma-id gen prints for the same options, one a line; null for wrong options.
val libraryGenerate(double count, unsigned seedHigh, unsigned seedLow, int kind,
                    const std::string& places, int sex, const std::string& categories,
                    bool unique, bool current, bool since2023) {
  taloma_gen_options options = taloma_gen_defaults((std::uint64_t{seedHigh} << 32) | seedLow);
  options.kind = static_cast<taloma_kind>(kind);
  options.places = places.c_str();
  options.sex = sex;
  options.categories = categories.c_str();
  options.unique = unique ? 1 : 0;
  options.current = current ? 1 : 0;
  options.since_2023 = since2023 ? 1 : 0;
  taloma_generator* generator = taloma_generator_new(&options);
  if (generator == nullptr) return val::null();
  if (unique && count > static_cast<double>(taloma_generator_size(generator))) {
    taloma_generator_free(generator);
    return val::null();
  }
  std::string lines;
  char number[32];
  for (double n = 0; n < count; ++n) {
    const std::size_t length = taloma_generator_next(generator, number, sizeof number);
    lines.append(number, length).push_back('\n');
  }
  taloma_generator_free(generator);
  if (!lines.empty()) lines.pop_back();
  return text(lines);
}

val libraryPlaces(bool postal) {
  val rows = val::array();
  if (postal) {
    taloma_district d;
    for (std::size_t i = 0; taloma_district_at(i, &d) == 0; ++i) {
      val row = val::object();
      if (*d.letter != '\0') row.set("letter", text(d.letter));
      if (*d.place != '\0') row.set("place", text(d.place));
      row.set("district", text(d.district));
      row.set("postal_code", text(d.postal_code));
      rows.call<void>("push", row);
    }
    return rows;
  }
  taloma_place p;
  for (std::size_t i = 0; taloma_place_at(i, &p) == 0; ++i) {
    val row = val::object();
    row.set("letter", text(p.letter));
    row.set("value", p.value);
    row.set("place", text(p.name));
    if (*p.area_code != '\0') row.set("area_code", text(p.area_code));
    row.set("postal_count", p.postal_count);
    if (p.last_issued != 0) row.set("last_issued", p.last_issued);
    rows.call<void>("push", row);
  }
  return rows;
}

std::string libraryDecode(const std::string& input, unsigned kinds, bool chinese) {
  std::string sentence(taloma_decode(input.data(), input.size(), kinds, chinese ? 1 : 0, nullptr, 0), '\0');
  taloma_decode(input.data(), input.size(), kinds, chinese ? 1 : 0, sentence.data(), sentence.size() + 1);
  return sentence;
}

int libraryKinds(const std::string& names) {
  unsigned kinds = 0;
  return taloma_kinds(names.c_str(), &kinds) == 0 ? static_cast<int>(kinds) : -1;
}

}  // namespace

extern "C" {

// The verdict on `length` bytes at `text`, as a code.
EMSCRIPTEN_KEEPALIVE std::int32_t taloma_js_check(const char* text, std::size_t length,
                                                  unsigned kinds) {
  return codeOf(rules::VerifyAny(std::string_view(text, length), kindsOf(kinds)));
}

// The verdicts on `count` texts laid end to end at `texts`, the i-th ending at ends[i], as codes
// in codes[0 .. count).
EMSCRIPTEN_KEEPALIVE void taloma_js_check_many(const char* texts, const std::uint32_t* ends,
                                               std::size_t count, unsigned kinds,
                                               std::int32_t* codes) {
  const rules::KindSet set = kindsOf(kinds);
  std::uint32_t start = 0;
  for (std::size_t i = 0; i < count; ++i) {
    codes[i] = codeOf(rules::VerifyAny(std::string_view(texts + start, ends[i] - start), set));
    start = ends[i];
  }
}

}  // extern "C"

EMSCRIPTEN_BINDINGS(taloma_library) {
  emscripten::function("libraryNames", &libraryNames);
  emscripten::function("libraryScan", &libraryScan);
  emscripten::function("libraryRedact", &libraryRedact);
  emscripten::function("libraryGenerate", &libraryGenerate);
  emscripten::function("libraryPlaces", &libraryPlaces);
  emscripten::function("libraryDecode", &libraryDecode);
  emscripten::function("libraryKinds", &libraryKinds);
}
