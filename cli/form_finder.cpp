// The other kinds are anchored where they start: a run of digits (統一編號, 捐贈碼, mobile numbers,
// and a certificate's digits after its two letters), a "+" (+886 mobile numbers) or a "/" (手機條碼).
#include "cli/form_finder.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#include "rules/form_numbers.h"

namespace cli {
namespace {

// A number and the character after it fit in kTail bytes; the bytes kept before where scanning goes
// on hold a label 20 characters back.
constexpr std::size_t kTail = 32;
constexpr std::size_t kHistory = 96;
constexpr std::size_t kLongestRun = 16;
// A certificate starts two letters before its digits: the text passed on stops that far short of
// where scanning goes on.
constexpr std::size_t kLettersBefore = 2;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLabels[] = {"統編", "統一編號"};
constexpr std::uint64_t kLabelReach = 20;  // characters between a label and its number

constexpr bool isDigit(unsigned c) { return c - '0' <= 9u; }
constexpr bool isLetter(unsigned c) { return (c | 0x20) - 'a' < 26u; }
constexpr bool isSeparator(unsigned c) { return c == ' ' || c == '-'; }
// What joins digits into one number: 1.5, 1,000, 02-2345, 12:30, 2023/12/07.
constexpr bool joinsDigits(unsigned c) {
  return c == '.' || c == ',' || c == '-' || c == ':' || c == '/';
}
constexpr bool inCarrier(unsigned c, bool nearMisses) {
  return rules::kCarrierCharacters.find(static_cast<char>(c)) != std::string_view::npos ||
         (nearMisses && c - 'a' < 26u);
}

}  // namespace

std::string FormMasked(std::string_view number, rules::IdKind kind) {
  using rules::IdKind;
  std::size_t front = 0;
  std::size_t back = 3;
  bool everyCharacter = false;  // else digits and letters alone are masked
  switch (kind) {
    case IdKind::Certificate: front = 2; break;
    case IdKind::Carrier: front = 1, back = 2, everyCharacter = true; break;
    case IdKind::Donation: back = 1; break;
    case IdKind::Mobile: front = number.starts_with("09") ? 2 : 4; break;
    default: break;
  }
  const auto counts = [everyCharacter](char c) {
    return everyCharacter || isDigit(static_cast<unsigned char>(c)) ||
           isLetter(static_cast<unsigned char>(c));
  };
  const auto total = static_cast<std::size_t>(std::count_if(number.begin(), number.end(), counts));
  std::string masked(number);
  std::size_t seen = 0;
  for (char& c : masked) {
    if (!counts(c)) continue;
    if (seen >= front && seen + back < total) c = '*';
    ++seen;
  }
  return masked;
}

int ScanWith(const ScanOptions& options, const Scanner::Source& source, const Scanner::Sink& sink) {
  if ((options.kinds & rules::kFormKinds) == 0) return Scanner(source, options).run(sink);
  FormFinder finder(options, sink);
  if ((options.kinds & rules::kIdentityKinds) == 0) return finder.run(source);
  ScanOptions identity = options;
  identity.kinds &= rules::kIdentityKinds | rules::kBusinessBefore2023;
  identity.text = true;
  const int error = Scanner(source, identity).run(
      [&finder](std::string_view bytes, const Found* number) { finder.take(bytes, number); });
  finder.finish();
  return error;
}

std::string MaskedNumber(std::string_view number, rules::IdKind kind) {
  return rules::IsIdentityKind(kind) ? Masked(number) : FormMasked(number, kind);
}

FormFinder::FormFinder(const ScanOptions& options, Scanner::Sink sink)
    : m_options(options), m_sink(std::move(sink)) {}

int FormFinder::run(const Scanner::Source& source) {
  // Each block is read straight into what is held.
  for (;;) {
    const std::size_t held = m_buffer.size();
    m_buffer.resize(held + Scanner::kBlockSize);
    const long got = source(m_buffer.data() + held, Scanner::kBlockSize);
    m_buffer.resize(held + static_cast<std::size_t>(std::max(got, 0L)));
    if (got < 0) {
      const int error = errno;
      finish();
      return error;
    }
    if (got == 0) break;
    advance();
  }
  finish();
  return 0;
}

void FormFinder::take(std::string_view bytes, const Found* number) {
  if (number == nullptr) {
    m_buffer.append(bytes);
    advance();
    return;
  }
  // An identity number starts with a letter, which no number before it may touch.
  scan(true, true);
  pass(m_buffer.size());
  m_sink(bytes, number);
  m_buffer.append(bytes);
  m_next = m_passed = m_buffer.size();
  m_inLongRun = false;
}

// Scans what is held as far as a number cannot still be cut, and passes the text before it on.
void FormFinder::advance() {
  scan(false, false);
  pass(m_next > kLettersBefore ? m_next - kLettersBefore : 0);
  compact();
}

void FormFinder::finish() {
  scan(true, false);
  pass(m_buffer.size());
}

void FormFinder::scan(bool final, bool wordAfterEnd) {
  const std::size_t size = m_buffer.size();
  const std::size_t limit = final ? size : (size > kTail ? size - kTail : 0);
  std::size_t p = m_next;
  if (m_inLongRun) {
    while (p < size && isDigit(*at(p))) ++p;
    m_inLongRun = p == size && !final;
  }
  const bool plus = asked(rules::IdKind::Mobile);
  const bool mobileAlone = (m_options.kinds & rules::kFormKinds) == rules::KindBit(rules::IdKind::Mobile);
  const bool slash = asked(rules::IdKind::Carrier);
  // The bytes that may start a number: digits, and "+" and "/" when asked for.
  const std::uint64_t plusMask = plus ? ~std::uint64_t{0} : 0;
  const std::uint64_t slashMask = slash ? ~std::uint64_t{0} : 0;
  const auto interesting = [plusMask, slashMask](std::uint64_t word) {
    return digitBytes(word) | (zeroBytes(word ^ (kOnes * '+')) & plusMask) |
           (zeroBytes(word ^ (kOnes * '/')) & slashMask);
  };
  if (mobileAlone) {
    // Mobile numbers alone start only at a 0 or 8 that starts a run of digits, or at a "+".
    while (p < limit) {
      while (std::endian::native == std::endian::little && limit - p >= 8) {
        const std::uint64_t word = cli::wordAt(at(p));
        const std::uint64_t found = zeroBytes(word ^ (kOnes * '0')) |
                                    zeroBytes(word ^ (kOnes * '8')) |
                                    zeroBytes(word ^ (kOnes * '+'));
        if (found != 0) {
          p += static_cast<std::size_t>(std::countr_zero(found) / 8);
          break;
        }
        p += 8;
      }
      if (p >= limit) break;
      const unsigned c = *at(p);
      const bool starts = (c == '0' || c == '8' || c == '+') &&
                          (c == '+' || p == 0 || !isDigit(*at(p - 1)));
      const std::size_t found = starts ? tryMobile(p, wordAfterEnd) : 0;
      p = found != 0 ? found : p + 1;
    }
    m_next = std::max(m_next, p);
    return;
  }
  while (p < limit) {
    // Eight bytes at a time to the next byte that may start one, on the little-endian machines
    // this runs on.
    while (std::endian::native == std::endian::little && limit - p >= 8) {
      const std::uint64_t found = interesting(cli::wordAt(at(p)));
      if (found != 0) {
        p += static_cast<std::size_t>(std::countr_zero(found) / 8);
        break;
      }
      p += 8;
    }
    if (p >= limit) break;
    const unsigned c = *at(p);
    if (isDigit(c)) {
      std::size_t end = p + 1;
      while (std::endian::native == std::endian::little && size - end >= 8) {
        const std::uint64_t others = ~digitBytes(cli::wordAt(at(end))) & kHighs;
        if (others != 0) {
          end += static_cast<std::size_t>(std::countr_zero(others) / 8);
          break;
        }
        end += 8;
      }
      while (end < size && isDigit(*at(end))) ++end;
      if (end == size && !final) {
        // A run at the end of what is held waits for the rest, unless it is already too long.
        m_inLongRun = end - p > kLongestRun;
        if (m_inLongRun) p = end;
        break;
      }
      const std::size_t found = tryRun(p, end, wordAfterEnd);
      p = found != 0 ? found : end;
    } else if ((plus && c == '+') || (slash && c == '/')) {
      const std::size_t found = c == '+' ? tryMobile(p, wordAfterEnd) : tryCarrier(p, wordAfterEnd);
      p = found != 0 ? found : p + 1;
    } else {
      ++p;
    }
  }
  m_next = std::max(m_next, p);
}

bool FormFinder::wordBefore(std::size_t i) const {
  if (i == 0) return false;
  const unsigned c = *at(i - 1);
  if (c < 0x80) return isLetter(c) || isDigit(c);
  return i >= 3 && FullWidthForm(at(i - 3)) != 0;
}

bool FormFinder::wordAt(std::size_t i, bool wordAfterEnd) const {
  if (i >= m_buffer.size()) return wordAfterEnd;
  const unsigned c = *at(i);
  if (c < 0x80) return isLetter(c) || isDigit(c);
  return m_buffer.size() - i >= 3 && FullWidthForm(at(i)) != 0;
}

// Digits that stand alone: no letter or digit touches them, and they are no part of a longer
// number such as 1.5, 02-2345678 or a date.
bool FormFinder::alone(std::size_t start, std::size_t end, bool wordAfterEnd) const {
  if (wordBefore(start) || wordAt(end, wordAfterEnd)) return false;
  if (start >= 1 && (*at(start - 1) == '+' ||
                     (start >= 2 && joinsDigits(*at(start - 1)) && isDigit(*at(start - 2))))) {
    return false;
  }
  return !(end + 1 < m_buffer.size() && joinsDigits(*at(end)) && isDigit(*at(end + 1)));
}

std::size_t FormFinder::tryRun(std::size_t start, std::size_t end, bool wordAfterEnd) {
  using rules::IdKind;
  const std::size_t length = end - start;
  if (asked(IdKind::Mobile) && (*at(start) == '0' || *at(start) == '8')) {
    if (const std::size_t found = tryMobile(start, wordAfterEnd)) return found;
  }
  if (asked(IdKind::Certificate) && length == rules::kCertificateLength - 2 && start >= 2 &&
      isLetter(*at(start - 1)) && isLetter(*at(start - 2)) && !wordBefore(start - 2) &&
      !wordAt(end, wordAfterEnd)) {
    const rules::IdVerdict verdict = rules::VerifyForm(
        std::string_view(m_buffer).substr(start - 2, length + 2), IdKind::Certificate);
    if (verdict.isValid() || m_options.nearMisses) {
      emit(start - 2, end, verdict);
      return end;
    }
  }
  if (!(asked(IdKind::Business) || asked(IdKind::Donation)) || !alone(start, end, wordAfterEnd)) {
    return 0;
  }
  const std::string_view digits = std::string_view(m_buffer).substr(start, length);
  if (asked(IdKind::Business) && length == rules::kBusinessLength &&
      (!m_options.labelled || labelled(start))) {
    const rules::IdVerdict verdict = rules::VerifyForm(
        digits, IdKind::Business, (m_options.kinds & rules::kBusinessBefore2023) != 0);
    if (verdict.isValid() || m_options.nearMisses) {
      emit(start, end, verdict);
      return end;
    }
  }
  if (asked(IdKind::Donation) && length >= rules::kDonationShortest &&
      length <= rules::kDonationLongest) {
    emit(start, end, rules::VerifyForm(digits, IdKind::Donation));
    return end;
  }
  return 0;
}

// 09 and eight digits, or +886 (886) and 9 and eight digits, single spaces or hyphens between.
std::size_t FormFinder::tryMobile(std::size_t start, bool wordAfterEnd) {
  const std::size_t size = m_buffer.size();
  const auto byte = [this, size](std::size_t i) -> unsigned { return i < size ? *at(i) : 0u; };
  std::size_t p = start;
  int digits = 0;  // after the 9
  if (byte(p) == '0' && byte(p + 1) == '9') {
    p += 2;
  } else {
    if (byte(p) == '+') ++p;
    if (byte(p) != '8' || byte(p + 1) != '8' || byte(p + 2) != '6') return 0;
    p += 3;
    if (isSeparator(byte(p))) ++p;
    if (byte(p) != '9') return 0;
    ++p;
  }
  while (digits < 8) {
    if (isSeparator(byte(p)) && isDigit(byte(p + 1)) && isDigit(byte(p - 1))) ++p;
    if (!isDigit(byte(p))) return 0;
    ++p, ++digits;
  }
  if (!alone(start, p, wordAfterEnd)) return 0;
  // What was read is a valid mobile number: the form above is the one the verdict takes.
  rules::IdVerdict verdict{rules::Reason::None};
  verdict.kind = rules::IdKind::Mobile;
  emit(start, p, verdict);
  return p;
}

// "/" and seven of its characters, with none of them, no letter and no "/" around.
std::size_t FormFinder::tryCarrier(std::size_t start, bool wordAfterEnd) {
  const std::size_t end = start + rules::kCarrierLength;
  if (end > m_buffer.size()) return 0;
  const bool nearMisses = m_options.nearMisses;
  for (std::size_t i = start + 1; i < end; ++i) {
    if (!inCarrier(*at(i), nearMisses)) return 0;
  }
  if (wordBefore(start) || (start > 0 && *at(start - 1) == '/') || wordAt(end, wordAfterEnd)) {
    return 0;
  }
  if (end < m_buffer.size() && (inCarrier(*at(end), true) || *at(end) == '/')) return 0;
  const rules::IdVerdict verdict = rules::VerifyForm(
      std::string_view(m_buffer).substr(start, end - start), rules::IdKind::Carrier);
  if (!verdict.isValid() && !nearMisses) return 0;
  emit(start, end, verdict);
  return end;
}

// 統編 or 統一編號 earlier on the number's line, at most kLabelReach characters before it.
bool FormFinder::labelled(std::size_t start) const {
  const std::size_t from = start > kHistory ? start - kHistory : 0;
  std::string_view before = std::string_view(m_buffer).substr(from, start - from);
  if (const std::size_t newline = before.rfind('\n'); newline != std::string_view::npos) {
    before.remove_prefix(newline + 1);
  }
  for (const std::string_view label : kLabels) {
    const std::size_t found = before.rfind(label);
    if (found != std::string_view::npos &&
        CharacterCount(before.substr(found + label.size())) <= kLabelReach) {
      return true;
    }
  }
  return false;
}

void FormFinder::emit(std::size_t start, std::size_t end, const rules::IdVerdict& verdict) {
  pass(start);
  Found found;
  found.offset = m_base + start;
  found.text = std::string_view(m_buffer).substr(start, end - start);
  found.verdict = verdict;
  if (m_options.positions) {
    countUpTo(found.offset);
    found.line = m_line;
    found.column = m_column + 1;
  }
  m_sink(found.text, &found);
  m_passed = end;
}

void FormFinder::pass(std::size_t upTo) {
  if (upTo <= m_passed) return;
  if (m_options.text) m_sink(std::string_view(m_buffer).substr(m_passed, upTo - m_passed), nullptr);
  m_passed = upTo;
}

void FormFinder::countUpTo(std::uint64_t offset) {
  // A byte-order mark that opens the input is no character of the first line.
  if (m_counted == 0 && m_base == 0 && std::string_view(m_buffer).starts_with(kByteOrderMark)) {
    m_counted = kByteOrderMark.size();
  }
  if (offset <= m_counted) return;
  const std::string_view counted =
      std::string_view(m_buffer).substr(m_counted - m_base, offset - m_counted);
  const char* lastNewline = nullptr;
  for (const char* p = counted.data(), *end = p + counted.size(); p < end;) {
    const void* newline = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
    if (newline == nullptr) break;
    ++m_line;
    lastNewline = static_cast<const char*>(newline);
    p = lastNewline + 1;
  }
  if (lastNewline == nullptr) {
    m_column += CharacterCount(counted);
  } else {
    m_column = CharacterCount({lastNewline + 1, static_cast<std::size_t>(counted.data() + counted.size() - lastNewline - 1)});
  }
  m_counted = offset;
}

// Drops what has been passed on, but for the history that labels and boundaries look back at.
void FormFinder::compact() {
  const std::size_t settled = std::min(m_next, m_passed);
  if (settled < 4 * Scanner::kBlockSize) return;
  std::size_t cut = settled - kHistory;
  // Cut between characters, so that columns count whole ones.
  while (cut > 0 && (*at(cut) & 0xC0) == 0x80) --cut;
  if (m_options.positions) countUpTo(m_base + cut);
  m_buffer.erase(0, cut);
  m_base += cut;
  m_next -= cut;
  m_passed -= cut;
}

}  // namespace cli
