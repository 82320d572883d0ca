// libFuzzer target: any bytes through taloma-id's line reader and VerifyId, against a plain split
// into lines and a plain reading of the three kinds of number, both kept here apart from the
// program.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cli/line_reader.h"
#include "cli/output.h"
#include "rules/id_kinds.h"

namespace {

constexpr std::string_view kLettersByValue = "ABCDEFGHJKLMNPQRSTUVXYWZIO";

void require(bool holds, const char* what, std::string_view line) {
  if (holds) return;
  std::fprintf(stderr, "disagreement: %s; line of %zu bytes:", what, line.size());
  for (const char c : line.substr(0, 80))
    std::fprintf(stderr, " %02X", static_cast<unsigned char>(c));
  std::fprintf(stderr, "\n");
  std::abort();
}

// Code points of UTF-8 text, -1 for each byte that starts no well-formed sequence.
std::vector<long> plainDecode(std::string_view text) {
  std::vector<long> out;
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const std::size_t n = b < 0x80         ? 1
                          : (b >> 5) == 6  ? 2
                          : (b >> 4) == 14 ? 3
                          : (b >> 3) == 30 ? 4
                                           : 0;
    long cp = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
    bool ok = n != 0 && i + n <= text.size();
    for (std::size_t k = 1; ok && k < n; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      ok = (c >> 6) == 2;
      cp = (cp << 6) | (c & 0x3F);
    }
    constexpr long kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    ok = ok && cp >= kLeast[n] && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
    out.push_back(ok ? cp : -1);
    i += ok ? n : 1;
  }
  return out;
}

// The verdict the rules give `line` read plainly, for the kinds in the bits of `kinds`.
rules::IdVerdict plainVerdict(std::string_view line, unsigned kinds) {
  const std::vector<long> c = plainDecode(line);
  if (c.size() != 10) return {rules::Reason::Length};
  const std::size_t letter = c[0] >= 'A' && c[0] <= 'Z'
                                 ? kLettersByValue.find(static_cast<char>(c[0]))
                                 : std::string_view::npos;
  if (letter == std::string_view::npos) return {rules::Reason::Letter, 1};
  const int value = 10 + static_cast<int>(letter);
  int kind = -1, second = 0;
  if (c[1] == '1' || c[1] == '2') kind = 0, second = static_cast<int>(c[1] - '0');
  if (c[1] == '8' || c[1] == '9') kind = 1, second = static_cast<int>(c[1] - '0');
  if (c[1] >= 'A' && c[1] <= 'D') kind = 2, second = static_cast<int>(c[1] - 'A');
  if (kind < 0 || (kinds & (1u << kind)) == 0) return {rules::Reason::Second, 2};
  for (int p = 3; p <= 10; ++p) {
    if (c[static_cast<std::size_t>(p - 1)] < '0' || c[static_cast<std::size_t>(p - 1)] > '9') {
      return {rules::Reason::Digit, static_cast<std::int8_t>(p)};
    }
  }
  int sum = value / 10 + 9 * (value % 10) + 8 * second;
  for (int p = 3; p <= 9; ++p)
    sum += (10 - p) * static_cast<int>(c[static_cast<std::size_t>(p - 1)] - '0');
  const int expected = (10 - sum % 10) % 10;
  if (c[9] - '0' != expected) return {rules::Reason::Check, 10, static_cast<std::int8_t>(expected)};
  rules::IdVerdict valid{rules::Reason::None};
  valid.kind = static_cast<rules::IdKind>(kind);
  valid.sex = (c[1] == '1' || c[1] == '8' || c[1] == 'A' || c[1] == 'C') ? rules::Sex::Male
                                                                         : rules::Sex::Female;
  valid.letter = static_cast<char>(c[0]);
  return valid;
}

void checkLine(std::string_view whole, const cli::Line& got, unsigned kinds) {
  const bool long_ = whole.size() > cli::LineReader::kKeep;
  require(got.cut == long_, "cut", whole);
  require(got.text == whole.substr(0, long_ ? cli::LineReader::kKeep : whole.size()), "text",
          whole);

  const rules::IdVerdict verdict = rules::VerifyId(got.text, kinds);
  const rules::IdVerdict plain = plainVerdict(whole, kinds);
  require(verdict.reason == plain.reason, "reason", whole);
  require(verdict.position == plain.position && verdict.expected == plain.expected, "position",
          whole);
  if (verdict.isValid()) {
    require(
        verdict.kind == plain.kind && verdict.sex == plain.sex && verdict.letter == plain.letter,
        "valid number", whole);
    require(verdict.place && verdict.place->letter == static_cast<char16_t>(plain.letter), "place",
            whole);
    char again[10];
    rules::ComposeId(rules::MakePrefix(*verdict.place, whole[1]),
                     static_cast<std::uint32_t>(std::stoul(std::string(whole.substr(2, 7)))),
                     again);
    require(std::string_view(again, 10) == whole, "ComposeId", whole);
  }

  // What output shows is valid UTF-8 of at most 64 characters, and "…" when anything is left out.
  std::string scratch;
  const std::string_view shown = cli::shown(got.text, got.cut, scratch);
  const std::vector<long> characters = plainDecode(shown);
  for (const long c : characters) require(c >= 0, "shown UTF-8", whole);
  const bool cut = plainDecode(whole).size() > 64;
  require(characters.size() == (cut ? 65u : plainDecode(whole).size()), "shown length", whole);
  require(!cut || characters.back() == 0x2026, "shown ellipsis", whole);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first byte picks the kinds and a small block, so lines outgrow it; the second the sizes
  // the source hands out, so lines and line ends fall across reads.
  const unsigned kinds = 1 + data[0] % 7;
  const std::size_t block = cli::LineReader::kKeep + 2 + data[0] % 61;
  const std::size_t step = 1 + data[1] % 97;
  const std::string_view input(reinterpret_cast<const char*>(data) + 2, size - 2);

  std::size_t offered = 0, calls = 0;
  cli::LineReader reader(
      [&](char* into, std::size_t room) -> long {
        const std::size_t n = std::min({room, input.size() - offered, step + calls++ % 3});
        std::copy_n(input.data() + offered, n, into);
        offered += n;
        return static_cast<long>(n);
      },
      block);

  std::size_t start = 0;
  cli::Line line;
  while (reader.next(line)) {
    require(start < input.size(), "a line past the end", {});
    const std::size_t newline = input.find('\n', start);
    std::string_view whole = input.substr(
        start, newline == std::string_view::npos ? std::string_view::npos : newline - start);
    if (newline != std::string_view::npos && whole.ends_with('\r')) whole.remove_suffix(1);
    checkLine(whole, line, kinds);
    start = newline == std::string_view::npos ? input.size() : newline + 1;
  }
  require(start == input.size() && reader.error() == 0, "lines missing at the end",
          input.substr(start));
  return 0;
}
