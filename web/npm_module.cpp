// The npm package's WebAssembly module: libtaloma's C interface bound with embind, its pseudonyms
// over Node's AES (aes_node.cpp). Checking, where speed counts, has plain exports of its own
// (verdict_codes.cpp).
#include <emscripten/bind.h>
#include <emscripten/emscripten.h>
#include <emscripten/val.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/aes.h"
#include "engine/pseudonyms.h"
#include "rules/kinds.h"
#include "rules/place_table.h"
#include "rules/row.h"
#include "rules/words.h"
#include "taloma/taloma.h"
#include "web/verdict_codes.h"

namespace {

using emscripten::val;

val text(std::string_view utf8) { return val(std::string(utf8)); }

// The names the package asks for: the kinds and sexes by their values, and the version.
val libraryNames() {
  val out = val::object();
  const auto list = [](const auto& names) {
    val items = val::array();
    for (const auto& named : names) items.set(static_cast<unsigned>(named.value), text(named.name));
    return items;
  };
  out.set("kinds", list(rules::kKindNames));
  out.set("sexes", list(rules::kSexNames));
  out.set("version", text(taloma_version()));
  return out;
}

// The verdict a code of the checks stands for (verdict_codes.cpp), as a row's fields but the input,
// those the verdict has, in the row's order.
val libraryTemplate(int code) {
  const rules::IdVerdict v = VerdictOfCode(code);
  val row = val::object();
  for (std::size_t field = 0; field < std::size(rules::kVerdictFields); ++field) {
    const rules::FieldValue value = rules::VerdictField(v, field);
    if (!value.present) continue;
    const std::string name(rules::kVerdictFields[field].name);
    switch (rules::kVerdictFields[field].type) {
      case rules::FieldType::Boolean: row.set(name, value.boolean); break;
      case rules::FieldType::Number: row.set(name, value.number); break;
      case rules::FieldType::Text: row.set(name, text(value.text)); break;
    }
  }
  return row;
}

// The fields of a verdict of the C interface on `row`, as the interface walks them.
void setVerdict(val& row, const taloma_verdict& v) {
  for (std::size_t field = 0; const char* name = taloma_field_name(field); ++field) {
    int number = 0;
    const char* value = nullptr;
    switch (taloma_verdict_field(&v, field, &number, &value)) {
      case TALOMA_FIELD_ABSENT: break;
      case TALOMA_FIELD_BOOLEAN: row.set(name, number != 0); break;
      case TALOMA_FIELD_NUMBER: row.set(name, number); break;
      case TALOMA_FIELD_TEXT: row.set(name, text(value)); break;
    }
  }
}

taloma_scan_options scanOptions(unsigned kinds, bool nearMisses, bool normalize, bool labelled) {
  return {kinds, nearMisses ? 1 : 0, normalize ? 1 : 0, labelled ? 1 : 0};
}

// Rows as taloma-id scan -f jsonl writes them, the offset and length in UTF-16 units, which a
// JavaScript string counts.
val libraryScan(const std::string& input, unsigned kinds, bool nearMisses, bool normalize,
                bool labelled) {
  val rows = val::array();
  const taloma_scan_options options = scanOptions(kinds, nearMisses, normalize, labelled);
  struct Context {
    val* rows;
    const std::string* input;
    std::size_t byte = 0, unit = 0;
    // UTF-16 units of the UTF-8 bytes from `from` to `to`: one for each character, two for each
    // beyond the first plane.
    std::size_t units(std::size_t from, std::size_t to) const {
      std::size_t count = 0;
      for (std::size_t i = from; i < to; ++i) {
        const auto b = static_cast<unsigned char>((*input)[i]);
        count += (b & 0xC0) == 0x80 ? 0 : b >= 0xF0 ? 2 : 1;
      }
      return count;
    }
  } context{&rows, &input};
  taloma_scan(input.data(), input.size(), &options,
              [](const taloma_found* found, void* user) {
                auto* c = static_cast<Context*>(user);
                c->unit += c->units(c->byte, found->offset);
                c->byte = found->offset;
                val row = val::object();
                row.set("line", static_cast<double>(found->line));
                row.set("column", static_cast<double>(found->column));
                row.set("offset", static_cast<double>(c->unit));
                row.set("length", static_cast<double>(c->units(found->offset, found->offset + found->length)));
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

// The text with each valid number replaced by its pseudonym under the 32 bytes of `key` and
// `context`, or with `reveal` each pseudonym turned back, as taloma-id scan --pseudonymize and
// --reveal write it; null when memory ran out.
val libraryRewrite(const std::string& input, unsigned kinds, bool nearMisses, bool normalize, bool labelled,
                   const std::string& key, const std::string& context, bool reveal) {
  const taloma_scan_options options = scanOptions(kinds, nearMisses, normalize, labelled);
  char* out = nullptr;
  std::size_t length = 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(key.data());
  if ((reveal ? taloma_reveal : taloma_pseudonymize)(input.data(), input.size(), &options, bytes, key.size(),
                                                     context.c_str(), &out, &length, nullptr) ==
      static_cast<std::size_t>(-1)) {
    return val::null();
  }
  val rewritten = text(std::string_view(out, length));
  taloma_free(out);
  return rewritten;
}

// The key a key file holds (as taloma-id key writes it), or null.
val libraryKeyOfFile(const std::string& contents) {
  const std::optional<engine::Key> key = engine::KeyOfFile(contents);
  if (!key) return val::null();
  val bytes = val::global("Uint8Array").new_(key->size());
  for (std::size_t i = 0; i < key->size(); ++i) bytes.set(i, (*key)[i]);
  return bytes;
}

// The numbers taloma-id gen prints for the same options, one a line, or {error} saying why the
// options draw none.
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
  char* reason = nullptr;
  taloma_generator* generator = taloma_generator_open(&options, &reason);
  const auto refused = [](const char* why) {
    val out = val::object();
    out.set("error", text(why));
    return out;
  };
  if (generator == nullptr) {
    const val out = refused(reason != nullptr ? reason : "out of memory");
    taloma_free(reason);
    return out;
  }
  if (unique && count > static_cast<double>(taloma_generator_size(generator))) {
    taloma_generator_free(generator);
    return refused("fewer different numbers than asked for");
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
  emscripten::function("libraryTemplate", &libraryTemplate);
  emscripten::function("libraryScan", &libraryScan);
  emscripten::function("libraryRedact", &libraryRedact);
  emscripten::function("libraryRewrite", &libraryRewrite);
  emscripten::function("libraryKeyOfFile", &libraryKeyOfFile);
  emscripten::function("libraryGenerate", &libraryGenerate);
  emscripten::function("libraryPlaces", &libraryPlaces);
  emscripten::function("libraryDecode", &libraryDecode);
  emscripten::function("libraryKinds", &libraryKinds);
}
