// What the npm package calls, in the same module as the page: libtaloma's C interface bound with
// embind. Checking, where speed counts, has plain exports of its own (verdict_codes.cpp).
#include <emscripten/bind.h>
#include <emscripten/emscripten.h>
#include <emscripten/val.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "rules/kinds.h"
#include "rules/place_table.h"
#include "rules/wording.h"
#include "taloma/taloma.h"

namespace {

using emscripten::val;

val text(std::string_view utf8) { return val(std::string(utf8)); }

// The names that verdict codes stand for (verdict_codes.cpp), and the places by row.
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

EMSCRIPTEN_BINDINGS(taloma_library) {
  emscripten::function("libraryNames", &libraryNames);
  emscripten::function("libraryScan", &libraryScan);
  emscripten::function("libraryRedact", &libraryRedact);
  emscripten::function("libraryGenerate", &libraryGenerate);
  emscripten::function("libraryPlaces", &libraryPlaces);
  emscripten::function("libraryDecode", &libraryDecode);
  emscripten::function("libraryKinds", &libraryKinds);
}
