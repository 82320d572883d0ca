// Pseudonyms by each kind's PseudonymShape: the characters that count read out of the number as it
// is written, some enciphered, the rest kept or finished, and the new characters written back in the
// places, widths and case of the old.
#include "engine/pseudonyms.h"

#include <algorithm>
#include <array>

#include "engine/bytes.h"
#include "engine/masks.h"
#include "engine/text_source.h"
#include "rules/kinds.h"

namespace engine {
namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The characters of a number that its kind counts, in ASCII with letters as capitals, and whether
// any was a lower-case letter.
struct Counted {
  std::array<char, 16> at{};  // no kind has more
  std::size_t count = 0;
  bool lowerCase = false;

  std::string_view text() const { return {at.data(), count}; }
};

Counted countedOf(std::string_view number, rules::IdKind kind) {
  const bool every = rules::EntryOf(kind).mask.everyCharacter;
  Counted counted;
  for (std::size_t at = 0; at < number.size();) {
    const NumberCharacter c = NumberCharacterAt(number, at);
    at += c.size;
    if (!every && !IsAsciiWord(c.ascii)) continue;
    if (counted.count == counted.at.size()) return {};
    const bool lower = c.ascii >= 'a' && c.ascii <= 'z';
    counted.lowerCase = counted.lowerCase || lower;
    counted.at[counted.count++] = lower ? static_cast<char>(c.ascii - 'a' + 'A') : c.ascii;
  }
  return counted;
}

// The value of `c` among the numerals of `alphabet` (decimal digits when `decimal`), npos when it
// is none of them.
std::size_t numeralOf(std::string_view alphabet, bool decimal, char c) {
  if (!decimal) return alphabet.find(c);
  const auto digit = static_cast<unsigned>(c - '0');
  return digit < 10 ? digit : std::string_view::npos;
}

// Where a kind's enciphered characters stand among `count` counted ones; none when the shape does
// not fit or its values are too few to hide a number among.
struct Span {
  std::size_t first = 0, length = 0;
};
std::optional<Span> enciphered(const rules::PseudonymShape& shape, std::size_t count) {
  const std::size_t length = shape.enciphered == 0 ? count - shape.after : shape.enciphered;
  if (count < shape.after + length || length == 0) return std::nullopt;
  std::uint64_t values = 1;
  for (std::size_t i = 0; i < length && values < rules::kFewestPseudonyms; ++i) values *= shape.alphabet.size();
  if (values < rules::kFewestPseudonyms) return std::nullopt;
  return Span{count - shape.after - length, length};
}

// Writes the counted characters `to` over those of `number` that differ from `from`, each in the
// width of the one it replaces, a letter in lower case where a lower-case letter stood.
void writeOver(char* number, std::size_t size, rules::IdKind kind, std::string_view from, std::string_view to) {
  const bool every = rules::EntryOf(kind).mask.everyCharacter;
  std::size_t k = 0;
  for (std::size_t at = 0; at < size;) {
    const NumberCharacter c = NumberCharacterAt(std::string_view(number, size), at);
    if (every || IsAsciiWord(c.ascii)) {
      if (from[k] != to[k]) {
        char put = to[k];
        if (c.ascii >= 'a' && c.ascii <= 'z' && put >= 'A' && put <= 'Z') put = static_cast<char>(put - 'A' + 'a');
        if (c.size == 3) {
          PutFullWidth(put, number + at);
        } else {
          number[at] = put;
        }
      }
      ++k;
    }
    at += c.size;
  }
}

}  // namespace

std::optional<Key> KeyOfFile(std::string_view contents) {
  if (contents.size() == kKeyFileSize + 1 && contents.substr(kKeyFileSize - 1) == "\r\n") {
    contents.remove_suffix(2);
  } else if (contents.size() == kKeyFileSize && contents.back() == '\n') {
    contents.remove_suffix(1);
  } else {
    return std::nullopt;
  }
  Key key{};
  for (std::size_t i = 0; i < key.size(); ++i) {
    const int high = hexValue(contents[2 * i]), low = hexValue(contents[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    key[i] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return key;
}

std::string KeyFileText(const Key& key) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (const std::uint8_t byte : key) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text + '\n';
}

Pseudonyms::Pseudonyms(std::unique_ptr<BlockCipher> cipher, std::string_view context, bool reveal)
    : m_cipher(std::move(cipher)), m_context(context), m_reveal(reveal) {}

const Ff1Domain& Pseudonyms::domainOf(rules::IdKind kind, std::string_view tweakKept, unsigned length) {
  std::uint64_t packed = static_cast<std::uint64_t>(kind) | std::uint64_t{length} << 8;
  for (std::size_t i = 0; i < tweakKept.size(); ++i) {
    packed |= std::uint64_t{static_cast<unsigned char>(tweakKept[i])} << (16 + 8 * i);
  }
  // Most numbers find their domain among the few used last, without the map.
  auto& [recentKey, recent] = m_recent[(packed * 0x9E3779B97F4A7C15u) >> 58];
  if (recentKey == packed) return *recent;
  std::unique_ptr<Ff1Domain>& domain = m_domains[packed];
  if (!domain) {
    // The tweak: [context/]kind[/kept], in ASCII.
    std::string tweak;
    if (!m_context.empty()) (tweak += m_context) += '/';
    tweak += rules::NameOf(kind);
    if (!tweakKept.empty()) (tweak += '/') += tweakKept;
    const auto radix = static_cast<unsigned>(rules::EntryOf(kind).pseudonym.alphabet.size());
    domain = std::make_unique<Ff1Domain>(*m_cipher, radix, length, tweak);
  }
  recentKey = packed;
  recent = domain.get();
  return *domain;
}

void Pseudonyms::add(std::string& out, std::string_view number, const rules::IdVerdict& verdict) {
  const rules::PseudonymShape& shape = rules::EntryOf(verdict.kind).pseudonym;
  const Counted counted = verdict.isValid() ? countedOf(number, verdict.kind) : Counted{};
  const std::optional<Span> span = enciphered(shape, counted.count);
  // A lower-case letter that the cipher might turn into a digit could not come back in its case.
  const bool decimal = shape.alphabet == rules::kDecimal;
  const bool caseKept = !counted.lowerCase || decimal;
  if (!span || !caseKept) {
    out += MaskedNumber(number, verdict.kind);
    ++m_masked;
    return;
  }
  std::array<std::uint8_t, 32> numerals{};
  for (std::size_t i = 0; i < span->length; ++i) {
    const std::size_t place = numeralOf(shape.alphabet, decimal, counted.at[span->first + i]);
    if (place == std::string_view::npos) {
      out += MaskedNumber(number, verdict.kind);
      ++m_masked;
      return;
    }
    numerals[i] = static_cast<std::uint8_t>(place);
  }
  std::string_view kept;
  if (shape.tweak == rules::TweakKeeps::Before) kept = counted.text().substr(0, span->first);
  if (shape.tweak == rules::TweakKeeps::After) kept = counted.text().substr(span->first + span->length, 1);
  const Ff1Domain& domain = domainOf(verdict.kind, kept, static_cast<unsigned>(span->length));
  m_batch.add(domain, domain.split({numerals.data(), span->length}));
  m_jobs.push_back({out.size(), number.size(), verdict.kind, static_cast<std::uint8_t>(counted.count),
                    static_cast<std::uint8_t>(span->first), static_cast<std::uint8_t>(span->length), counted.at});
  out += number;
}

void Pseudonyms::finish(std::string& out) {
  if (m_jobs.empty()) return;
  m_batch.run(*m_cipher, m_reveal);
  std::array<std::uint8_t, 32> numerals{};
  for (std::size_t j = 0; j < m_jobs.size(); ++j) {
    const Job& job = m_jobs[j];
    const rules::PseudonymShape& shape = rules::EntryOf(job.kind).pseudonym;
    m_batch.result(j, {numerals.data(), job.length});
    const std::string_view from(job.counted.data(), job.count);
    std::array<char, 16> to = job.counted;
    for (std::size_t i = 0; i < job.length; ++i) to[job.first + i] = shape.alphabet[numerals[i]];
    if (shape.finish != nullptr) shape.finish(from, to.data());
    writeOver(out.data() + job.offset, job.size, job.kind, from, {to.data(), job.count});
  }
  m_replaced += m_jobs.size();
  m_batch.clear();
  m_jobs.clear();
}

std::string PseudonymizedText(std::string_view text, const ScanOptions& options, Pseudonyms& pseudonyms) {
  std::string out;
  out.reserve(text.size());
  ScanOptions scan = options;
  scan.text = true;
  // The text is taken as UTF-8 as it stands, every byte passed on; Redaction holds it while the
  // numbers wait to be enciphered together, as it does for taloma-id.
  TextSource source(
      [text](char* into, std::size_t room) mutable -> long {
        const std::size_t n = std::min(room, text.size());
        std::copy_n(text.data(), n, into);
        text.remove_prefix(n);
        return static_cast<long>(n);
      },
      {}, Encoding::Utf8);
  Redaction written(source, &pseudonyms);
  ScanWith(
      scan, [&source](char* into, std::size_t size) { return source.read(into, size); },
      [&](std::string_view bytes, const Found* number) { out += written.put(bytes, number); });
  out += written.end();
  return out;
}

}  // namespace engine
