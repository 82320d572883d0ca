// libFuzzer target: any bytes through taloma-id's line reader and VerifyId, and through its scanner
// and redaction, against a plain split into lines, a plain reading of the three kinds of number
// and a plain search for numbers that stand alone, all kept here apart from the program; and the
// same bytes read as a document made of the pieces people's data holds, in which every number of
// the kinds that must not leak is found and masked.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cli/rows.h"
#include "engine/identity_finder.h"
#include "engine/line_reader.h"
#include "engine/masks.h"
#include "engine/other_finder.h"
#include "rules/other_kinds.h"
#include "rules/id_core.h"
#include "rules/place_table.h"
#include "rules/text.h"

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

void checkLine(std::string_view whole, const engine::Line& got, unsigned kinds) {
  const bool long_ = whole.size() > engine::LineReader::kKeep;
  require(got.cut == long_, "cut", whole);
  require(got.text == whole.substr(0, long_ ? engine::LineReader::kKeep : whole.size()), "text",
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

// A character of the input for the plain search: where it starts, how long, and the ASCII letter
// or digit it stands for (full-width ones folded), 0 for any other.
struct Plain {
  std::size_t at, size;
  char ascii;
};

std::vector<Plain> plainCharacters(std::string_view text) {
  std::vector<Plain> out;
  std::size_t at = 0;
  for (const long c : plainDecode(text)) {
    const std::size_t size = c < 0 ? 1 : c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    char ascii = 0;
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
      ascii = static_cast<char>(c);
    } else if ((c >= 0xFF10 && c <= 0xFF19) || (c >= 0xFF21 && c <= 0xFF3A) ||
               (c >= 0xFF41 && c <= 0xFF5A)) {
      ascii = static_cast<char>(c - 0xFF00 + 0x20);
    }
    // The letter that ends an escape sequence (ESC [ 3 1 m, ESC ( B) is no letter of the text.
    if (c >= 'A' && c <= 'z' && ascii != 0) {
      std::size_t k = out.size();
      while (k > 0 && out.size() - k < 16 && text[out[k - 1].at] >= 0x20 && text[out[k - 1].at] <= 0x3F) --k;
      const bool escape = (k > 0 && text[out[k - 1].at] == 0x1B) ||
                          (k > 1 && text[out[k - 1].at] == '[' && text[out[k - 2].at] == 0x1B);
      if (escape) ascii = 0;
    }
    out.push_back({at, size, ascii});
    at += size;
  }
  return out;
}

// Every number that stands alone, as the scanner should report it.
std::vector<engine::Found> plainScan(std::string_view input, unsigned kinds, bool nearMisses) {
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  const auto isLetter = [&](char c) { return c != 0 && !isDigit(c); };
  const std::vector<Plain> c = plainCharacters(input);
  const bool bom = input.starts_with("\xEF\xBB\xBF");
  std::vector<engine::Found> found;
  for (std::size_t i = 0; i + 10 <= c.size(); ++i) {
    bool shape = isLetter(c[i].ascii) && c[i + 1].ascii != 0 && (i == 0 || c[i - 1].ascii == 0) &&
                 (i + 10 == c.size() || c[i + 10].ascii == 0);
    for (std::size_t k = 2; shape && k < 10; ++k) shape = isDigit(c[i + k].ascii);
    if (!shape) continue;
    engine::Found f;
    for (std::size_t k = 0; k < 10; ++k) f.ascii[k] = c[i + k].ascii;
    f.verdict = rules::VerifyTen(reinterpret_cast<const unsigned char*>(f.ascii), kinds);
    if (!f.verdict.isValid() && !nearMisses) continue;
    f.offset = c[i].at;
    f.text = input.substr(c[i].at, c[i + 9].at + c[i + 9].size - c[i].at);
    const std::size_t lineStart = input.rfind('\n', f.offset == 0 ? 0 : f.offset - 1);
    std::size_t from = lineStart == std::string_view::npos || f.offset == 0 ? 0 : lineStart + 1;
    if (from == 0 && bom) from = 3;
    f.line = 1;
    for (std::size_t k = 0; k < f.offset; ++k) f.line += input[k] == '\n';
    f.column = 1 + plainDecode(input.substr(from, f.offset - from)).size();
    found.push_back(f);
  }
  return found;
}

// The scanner over the same input, its reports against the plain search, and its redaction
// against the input with exactly those numbers masked.
void checkScan(std::string_view input, unsigned kinds, std::size_t block, std::size_t step) {
  const bool nearMisses = (kinds & 1) != 0;
  std::size_t offered = 0, calls = 0;
  engine::IdentityFinder scanner(
      [&](char* into, std::size_t room) -> long {
        const std::size_t n = std::min({room, input.size() - offered, step + calls++ % 3});
        std::copy_n(input.data() + offered, n, into);
        offered += n;
        return static_cast<long>(n);
      },
      engine::ScanOptions{kinds, nearMisses, false, true}, block);
  std::vector<engine::Found> got;
  std::string passed, redacted;
  scanner.run([&](std::string_view bytes, const engine::Found* number) {
    passed += bytes;
    redacted += number != nullptr && number->verdict.isValid() ? engine::MaskedNumber(bytes, rules::IdKind::National) : bytes;
    if (number == nullptr) return;
    require(bytes == number->text, "scanned bytes", input);
    engine::Found kept = *number;
    kept.text = input.substr(kept.offset, kept.text.size());
    require(kept.text == number->text, "found where it stands", input);
    got.push_back(kept);
  });
  require(passed == input, "scanned input passes whole", input);
  const std::vector<engine::Found> want = plainScan(input, kinds, nearMisses);
  require(got.size() == want.size(), "numbers found", input);
  for (std::size_t i = 0; i < got.size(); ++i) {
    require(got[i].offset == want[i].offset && got[i].text == want[i].text, "number", input);
    require(got[i].line == want[i].line && got[i].column == want[i].column, "line, column", input);
    require(got[i].verdict.reason == want[i].verdict.reason, "scanned verdict", input);
  }
  // Redacted, the input differs only inside valid numbers, each as its letter and nine masks.
  std::string expected(input);
  for (const engine::Found& f : want) {
    if (!f.verdict.isValid()) continue;
    const std::size_t first = f.text[0] == '\xEF' ? 3 : 1;
    std::string mask;
    for (const Plain& c : plainCharacters(f.text.substr(first))) mask += c.size == 3 ? "\uFF0A" : "*";
    expected.replace(f.offset + first, f.text.size() - first, mask);
  }
  require(redacted == expected, "redacted", input);
}

// With invisible formatting characters allowed inside numbers: each number reported stands where
// it is said to, is its letter and nine digits with nothing else but such characters, and the
// redacted text differs from the input only inside the numbers.
void checkNormalizedScan(std::string_view input, unsigned kinds, std::size_t block) {
  std::size_t offered = 0;
  engine::IdentityFinder scanner(
      [&](char* into, std::size_t room) -> long {
        const std::size_t n = std::min({room, input.size() - offered, block / 3 + 1});
        std::copy_n(input.data() + offered, n, into);
        offered += n;
        return static_cast<long>(n);
      },
      engine::ScanOptions{kinds, true, true, true}, block);
  std::string redacted;
  std::size_t end = 0;
  scanner.run([&](std::string_view bytes, const engine::Found* number) {
    if (number == nullptr) {
      redacted += bytes;
      return;
    }
    require(number->offset >= end && input.substr(number->offset, bytes.size()) == bytes,
            "normalized number where it stands", input);
    end = number->offset + bytes.size();
    std::string visible;
    for (const Plain& c : plainCharacters(bytes)) {
      // --normalize takes a lower-case letter for its capital.
      if (c.ascii != 0) visible += visible.size() < 2 && c.ascii >= 'a' ? static_cast<char>(c.ascii - 32) : c.ascii;
    }
    require(visible == std::string_view(number->ascii, 10), "normalized number's characters", input);
    const std::string masked = engine::MaskedNumber(bytes, rules::IdKind::National);
    require(masked.size() == bytes.size() && masked.substr(0, 1) == bytes.substr(0, 1),
            "normalized mask", input);
    redacted += masked;
  });
  require(redacted.size() == input.size(), "normalized redaction keeps the length", input);
}

// The other kinds' finder, handed the input in small pieces and whole: the same numbers, each
// where it stands with the verdict its text gets from the rules, and all of the input passed on.
void checkOtherFinder(std::string_view input, const rules::KindChoice& choice, bool nearMisses,
                      bool labelled, std::size_t step) {
  const auto findAll = [&](std::size_t piece) {
    std::vector<engine::Found> found;
    std::string passed;
    engine::ScanOptions options{choice.kinds, nearMisses, false, true, true, labelled};
    options.before2023 = choice.before2023;
    engine::OtherFinder finder(options,
                           [&](std::string_view bytes, const engine::Found* number) {
                             passed += bytes;
                             if (number != nullptr) found.push_back(*number);
                           });
    std::size_t offered = 0;
    finder.run([&](char* into, std::size_t room) -> long {
      const std::size_t n = std::min({room, input.size() - offered, piece});
      std::copy_n(input.data() + offered, n, into);
      offered += n;
      return static_cast<long>(n);
    });
    require(passed == input, "the finder passes the input whole", input);
    return found;
  };
  const std::vector<engine::Found> pieces = findAll(step), whole = findAll(input.size() + 1);
  require(pieces.size() == whole.size(), "the same numbers in pieces", input);
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const engine::Found& f = pieces[i];
    require(f.offset == whole[i].offset && f.line == whole[i].line && f.column == whole[i].column,
            "found at the same place in pieces", input);
    // The rules take the number's ASCII form: full-width forms narrowed.
    std::string text;
    for (const long c : plainDecode(input.substr(f.offset, whole[i].text.size()))) {
      text += static_cast<char>(c >= 0xFF01 && c <= 0xFF5E ? c - 0xFEE0 : c == 0x3000 ? ' ' : c);
    }
    const rules::IdVerdict verdict =
        rules::VerifyOther(text, f.verdict.kind, choice.before2023);
    require(verdict.reason == f.verdict.reason && verdict.position == f.verdict.position,
            "the finder's verdict is the rules'", input);
  }
}

// A document of pieces, three input bytes each: a separator of fields or lists, then a noise
// piece (an amount, a date, a landline, a word) or a valid number of a kind that must not leak,
// in ASCII or full width. Every number put in is found where it was put, and masked.
void checkPieces(std::string_view choices) {
  static constexpr std::string_view kBetween[] = {" ", ",", "，", "、", "|", ";", "/", "\t", "\n",
                                                  "\r\n", "　", "電話", "統編：", "（", "）", "\"", " , "};
  static constexpr std::string_view kNoise[] = {"NT$12,345,678", "1,234,567,890", "2023/12/07",
                                                "2023-12-07", "02-2345-6789", "(02)2345-6789",
                                                "12345.67", "王小明", "A12345678X"};
  std::string text;
  std::vector<std::pair<std::size_t, std::string>> numbers;
  for (std::size_t i = 0; i + 3 <= choices.size(); i += 3) {
    const auto what = static_cast<unsigned char>(choices[i]), a = static_cast<unsigned char>(choices[i + 1]),
               b = static_cast<unsigned char>(choices[i + 2]);
    text += kBetween[a % std::size(kBetween)];
    std::string number(10, '0');
    switch (what % 6) {
      case 0: text += kNoise[b % std::size(kNoise)]; continue;
      case 1: number = rules::OtherNumber(rules::IdKind::Business, 1000u * a + b); break;
      case 2: number = "09" + std::to_string(10000000 + 3331u * a * b).substr(0, 8); break;
      default:
        rules::ComposeId(rules::MakePrefix(rules::Places()[a % 26], "12898ABCD"[b % 9]), 9973u * a * b % 10000000,
                         number.data());
    }
    std::string written = number;
    if ((what & 0x80) != 0) {
      written.clear();
      for (const char c : number) rules::AppendUtf8(written, static_cast<char32_t>(c + 0xFEE0));
    }
    numbers.emplace_back(text.size(), written);
    text += written;
  }
  std::string redacted;
  std::vector<std::pair<std::size_t, std::size_t>> found;
  std::size_t offered = 0;
  const auto kinds = rules::kIdentityKinds | rules::KindBit(rules::IdKind::Business) | rules::KindBit(rules::IdKind::Mobile);
  engine::ScanWith(engine::ScanOptions{kinds, false, false, true, true, false},
                [&](char* into, std::size_t room) -> long {
                  const std::size_t n = std::min(room, text.size() - offered);
                  std::copy_n(text.data() + offered, n, into);
                  offered += n;
                  return static_cast<long>(n);
                },
                [&](std::string_view bytes, const engine::Found* number) {
                  if (number != nullptr) found.emplace_back(number->offset, bytes.size());
                  redacted += number != nullptr ? engine::MaskedNumber(bytes, number->verdict.kind) : std::string(bytes);
                });
  for (const auto& [at, written] : numbers) {
    require(std::find(found.begin(), found.end(), std::pair{at, written.size()}) != found.end(),
            "a number put in is found", text);
    require(redacted.substr(at, written.size()) != written, "a number put in is masked", text);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first byte picks the kinds and a small block, so lines outgrow it; the second the sizes
  // the source hands out, so lines and line ends fall across reads.
  const unsigned kinds = 1 + data[0] % 7;
  const std::size_t block = engine::LineReader::kKeep + 2 + data[0] % 61;
  const std::size_t step = 1 + data[1] % 97;
  const std::string_view input(reinterpret_cast<const char*>(data) + 2, size - 2);
  const unsigned formKinds = (static_cast<unsigned>(data[1]) << 3) & rules::kOtherKinds;
  checkOtherFinder(input, {formKinds != 0 ? formKinds : rules::kOtherKinds, (data[1] & 0x80u) != 0},
                   (data[0] & 1u) != 0, (data[0] & 2u) != 0, step);

  std::size_t offered = 0, calls = 0;
  engine::LineReader reader(
      [&](char* into, std::size_t room) -> long {
        const std::size_t n = std::min({room, input.size() - offered, step + calls++ % 3});
        std::copy_n(input.data() + offered, n, into);
        offered += n;
        return static_cast<long>(n);
      },
      block);

  std::size_t start = 0;
  engine::Line line;
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
  checkScan(input, kinds, block, step);
  checkNormalizedScan(input, kinds, block);
  checkPieces(input.substr(0, 3 * 300));
  return 0;
}
