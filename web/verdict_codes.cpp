// Checking for the npm package, where speed counts: plain exports that read the numbers the
// package wrote into the module's memory and answer with one integer per verdict. Compiled for
// speed, apart from the rest of the module, which is compiled for size.
#include <emscripten/emscripten.h>

#include <array>
#include <cstdint>
#include <string_view>

#include "web/verdict_codes.h"

#include "rules/other_kinds.h"
#include "rules/place_table.h"
#include "rules/words.h"
#include "taloma/taloma.h"

namespace {

// The kinds as the package gives them: bits by kind, and 0x100 (TALOMA_BEFORE_2023 of the C
// interface) for 統一編號 by the older rule.
rules::KindChoice choiceOf(unsigned kinds) { return rules::ChoiceOf(kinds, TALOMA_BEFORE_2023); }

}  // namespace

// A verdict as one integer, which the package turns into a row's fields through libraryTemplate:
// bits 0-2 the reason, 3-6 the kind, 7 the sex, 8-10 the category, 11-15 the place's row (0 for
// none), 16-21 the position, 22-25 the expected digit plus one.
static_assert(std::size(rules::kReasonNames) < 8 && rules::kKindCount <= 16 && rules::kPlaceCount < 32);
std::int32_t CodeOf(const rules::IdVerdict& v) {
  std::uint32_t code = static_cast<std::uint32_t>(v.reason);
  code |= static_cast<std::uint32_t>(v.kind) << 3;
  code |= static_cast<std::uint32_t>(v.sex) << 7;
  code |= static_cast<std::uint32_t>(v.category) << 8;
  code |= static_cast<std::uint32_t>(v.place != nullptr ? v.place->index() : 0) << 11;
  code |= static_cast<std::uint32_t>(v.position & 63) << 16;
  code |= static_cast<std::uint32_t>(v.expected + 1) << 22;
  return static_cast<std::int32_t>(code);
}

rules::IdVerdict VerdictOfCode(std::int32_t value) {
  const auto code = static_cast<std::uint32_t>(value);
  rules::IdVerdict v{static_cast<rules::Reason>(code & 7)};
  v.kind = static_cast<rules::IdKind>((code >> 3) & 15);
  v.sex = static_cast<rules::Sex>((code >> 7) & 1);
  v.category = static_cast<rules::Category>((code >> 8) & 7);
  const unsigned place = (code >> 11) & 31;
  v.place = place > 0 ? &rules::Places()[place - 1] : nullptr;
  v.letter = v.place != nullptr ? static_cast<char>(v.place->letter) : 0;
  v.position = static_cast<std::int8_t>((code >> 16) & 63);
  v.expected = static_cast<std::int8_t>(static_cast<int>((code >> 22) & 15) - 1);
  return v;
}

extern "C" {

// The verdict on `length` bytes at `text`, as a code.
[[gnu::flatten]] EMSCRIPTEN_KEEPALIVE std::int32_t taloma_js_check(const char* text,
                                                                   std::size_t length,
                                                                   unsigned kinds) {
  return CodeOf(rules::VerifyAny(std::string_view(text, length), choiceOf(kinds)));
}

// The verdicts on `count` texts, as columns: valid[i] 1 or 0, and verdicts[i] the index of its
// verdict among the different ones, whose codes go to distinct[]. The i-th text is the first
// lengths[i] bytes of the 16 at slots + 16 i, or for a length of 255 the next of the texts laid
// end to end at spilt, the j-th of them ending at ends[j]. Returns how many different verdicts
// there are, or -1 past kMostDistinct (then the columns are incomplete).
[[gnu::flatten]] EMSCRIPTEN_KEEPALIVE std::int32_t taloma_js_check_many(
    const std::uint8_t* lengths, const char* slots, std::size_t count, const std::uint32_t* ends,
    const char* spilt, unsigned kinds, std::uint8_t* valid, std::uint16_t* verdicts, std::int32_t* distinct) {
  // Far more than there are verdicts: kinds, sexes, categories and places, reasons and positions.
  constexpr std::size_t kTable = 8192;
  constexpr std::int32_t kMostDistinct = 4096;
  std::array<std::int32_t, kTable> codes;
  std::array<std::uint16_t, kTable> indexes;
  codes.fill(-1);
  std::int32_t found = 0;
  const rules::KindChoice set = choiceOf(kinds);
  std::uint32_t start = 0;
  for (std::size_t i = 0; i < count; ++i) {
    std::string_view text(slots + 16 * i, lengths[i]);
    if (lengths[i] == 255) {
      text = std::string_view(spilt + start, *ends - start);
      start = *ends++;
    }
    const rules::IdVerdict verdict = rules::VerifyAny(text, set);
    const std::int32_t code = CodeOf(verdict);
    std::size_t at = (static_cast<std::uint32_t>(code) * 2654435761u >> 19) & (kTable - 1);
    while (codes[at] != code && codes[at] != -1) at = (at + 1) & (kTable - 1);
    if (codes[at] == -1) {
      if (found == kMostDistinct) return -1;
      codes[at] = code;
      indexes[at] = static_cast<std::uint16_t>(found);
      distinct[found++] = code;
    }
    valid[i] = verdict.isValid() ? 1 : 0;
    verdicts[i] = indexes[at];
  }
  return found;
}

}  // extern "C"
